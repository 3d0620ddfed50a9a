// Runs a program as a process of its own, as a user's shell or another
// program would, for the tests that must see what crosses processes: a
// thread of the test would share its clipboard, its windows and its
// message queue, and hide the faults that only another process shows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace quill::testing {

struct ChildOptions {
  // The arguments as the command line carries them after the program's
  // name, used as they stand instead of quoting the argument list
  // (Windows: a user's own quoting, or none).
  std::wstring rawArguments;
  // At most this long, then the process is ended; 0: as long as it takes.
  std::uint32_t timeoutMilliseconds = 0;
  // Windows: this thread's messages are handled while waiting, so that a
  // window of the test can answer the child.
  bool pumpMessages = false;
  // Called now and then while waiting, with the child's process id.
  std::function<void(std::uint32_t processId)> whileWaiting;
};

struct ChildRun {
  // The exit code; -1 when the process was ended for taking too long, -2
  // when it could not be started.
  int code = -2;
  std::string out;  // standard output, as bytes
  std::string err;  // standard error, as bytes
};

// Runs program with args (UTF-8, each quoted on Windows, where they
// travel as UTF-16) and waits for it.
ChildRun RunChild(const std::filesystem::path& program, const std::vector<std::string>& args,
                  const ChildOptions& options = {});

// The folder of the running test program.
std::filesystem::path TestProgramFolder();
std::filesystem::path TestProgram();

}  // namespace quill::testing
