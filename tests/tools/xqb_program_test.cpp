// The xqb program as users run it: its own process, arguments from the
// command line, results as bytes on standard output and the exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

#include "support/test_books.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int code = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// xqb lies beside this test program.
fs::path Program() {
#ifdef _WIN32
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(std::wstring(self, n)).parent_path() / "xqb.exe";
#else
  return fs::read_symlink("/proc/self/exe").parent_path() / "xqb";
#endif
}

Outcome RunProgram(const std::vector<std::string>& args) {
  static int serial = 0;
  const fs::path dir = quill::testing::ScratchDir();
  const fs::path outPath = dir / ("out" + std::to_string(serial) + ".txt");
  const fs::path errPath = dir / ("err" + std::to_string(serial++) + ".txt");
  Outcome outcome;
#ifdef _WIN32
  // Arguments travel as UTF-16, as a user's shell passes them.
  std::wstring line = L"\"" + Program().wstring() + L"\"";
  for (const std::string& arg : args) {
    line += L" \"" + fs::path(std::u8string(arg.begin(), arg.end())).wstring() + L"\"";
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(Program().c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                     nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    outcome.code = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
#else
  const std::string program = Program().string();
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
#endif
  outcome.out = ReadAll(outPath);
  outcome.err = ReadAll(errPath);
  return outcome;
}

TEST(XqbProgram, BuildsLooksUpFindsAndDumps) {
  ASSERT_TRUE(fs::exists(Program())) << Program();
  const fs::path dir = quill::testing::ScratchDir();
  const std::string input = (dir / "program.tsv").string();
  std::ofstream(input, std::ios::binary) << "été\tsummer\\nline two\nabc\talpha\nzèbre\tstripes\n";
  const std::string book = (dir / "program.xqb").string();

  Outcome r = RunProgram({"build", input, "-o", book, "--title", "Programme"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");

  // A non-ASCII word from the command line, UTF-8 out, LF line ends.
  r = RunProgram({"lookup", book, "été"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "found 2\nété\nsummer\nline two\n");

  r = RunProgram({"find", book, "E"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "1\tzèbre\n2\tété\n");
  r = RunProgram({"find", book, "nowhere"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");

  r = RunProgram({"dump", book});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "abc\talpha\nzèbre\tstripes\nété\tsummer\\nline two\n");

  const std::string missing = (dir / "missing.xqb").string();
  r = RunProgram({"info", missing});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, missing + ": cannot open the file (No such file or directory)\n");
}

}  // namespace
