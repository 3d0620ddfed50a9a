#include "support/child_process.h"

#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
extern char** environ;
#endif

#include "support/test_books.h"

namespace quill::testing {

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Scratch files for one run's output.
struct OutputFiles {
  OutputFiles() {
    static int serial = 0;
    const fs::path dir = ScratchDir();
    out = dir / ("child-out" + std::to_string(serial) + ".txt");
    err = dir / ("child-err" + std::to_string(serial++) + ".txt");
  }
  fs::path out;
  fs::path err;
};

#ifdef _WIN32
void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
#endif

}  // namespace

fs::path TestProgram() {
#ifdef _WIN32
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(std::wstring(self, n));
#else
  return fs::read_symlink("/proc/self/exe");
#endif
}

fs::path TestProgramFolder() { return TestProgram().parent_path(); }

ChildRun RunChild(const fs::path& program, const std::vector<std::string>& args,
                  const ChildOptions& options) {
  const OutputFiles files;
  ChildRun run;
#ifdef _WIN32
  std::wstring line = L"\"" + program.wstring() + L"\"";
  if (!options.rawArguments.empty()) {
    line += L" " + options.rawArguments;
  } else {
    for (const std::string& arg : args) {
      line += L" \"" + fs::path(std::u8string(arg.begin(), arg.end())).wstring() + L"\"";
    }
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(files.out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE err = CreateFileW(files.err.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                     nullptr, nullptr, &startup, &process)) {
    const DWORD start = GetTickCount();
    for (;;) {
      const DWORD waited = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 50,
                                                     options.pumpMessages ? QS_ALLINPUT : 0);
      if (waited == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.code = static_cast<int>(code);
        break;
      }
      if (options.pumpMessages) Pump();
      if (options.whileWaiting) options.whileWaiting(process.dwProcessId);
      if (options.timeoutMilliseconds != 0 &&
          GetTickCount() - start >= options.timeoutMilliseconds) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
        run.code = -1;
        break;
      }
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  CloseHandle(err);
#else
  const std::string path = program.string();
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, files.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, files.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    std::uint32_t waited = 0;
    for (;;) {
      int status = 0;
      const pid_t done = waitpid(pid, &status, options.timeoutMilliseconds != 0 ? WNOHANG : 0);
      if (done == pid) {
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (done < 0) break;
      if (options.whileWaiting) options.whileWaiting(static_cast<std::uint32_t>(pid));
      if (waited >= options.timeoutMilliseconds) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        run.code = -1;
        break;
      }
      const timespec pause{0, 20 * 1000 * 1000};
      nanosleep(&pause, nullptr);
      waited += 20;
    }
  }
  posix_spawn_file_actions_destroy(&actions);
#endif
  run.out = ReadAll(files.out);
  run.err = ReadAll(files.err);
  return run;
}

}  // namespace quill::testing
