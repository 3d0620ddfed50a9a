// A test process takes its scratch folder away when it ends, also after a
// shell test whose open-file dialog made a folder in it the current one.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/test_books.h"

namespace quill::testing {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for the life of the object, then puts the
// old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    wchar_t old[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(name, old, MAX_PATH);
    had_ = n > 0 && n < MAX_PATH;
    old_.assign(old, had_ ? n : 0);
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const wchar_t* name_;
  std::wstring old_;
  bool had_ = false;
};

// Runs this test program on the tests of filter, with temp as its temporary
// folder and its output into output: the exit code, or -1.
int RunSelf(const std::wstring& filter, const fs::path& temp, const fs::path& output) {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self, n) + L"\" --gtest_filter=" + filter;
  const ScopedEnvironment tmp(L"TMP", temp.wstring());
  const ScopedEnvironment tempVariable(L"TEMP", temp.wstring());
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process{};
  int code = -1;
  if (CreateProcessW(self, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process.hProcess, &exitCode)) code = static_cast<int>(exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(out);
  return code;
}

TEST(ScratchFolderTest, GoesWhenTheProcessEnds) {
  const fs::path temp = fs::path(ScratchDir()) / "child-temp";
  const fs::path output = fs::path(ScratchDir()) / "child-output.txt";
  fs::create_directories(temp);
  // A shell test that opens a book, picks a file in the open-file dialog
  // and leaves a window behind for its fixture to close.
  EXPECT_EQ(RunSelf(L"FindPanelTest.ClosedBookListsNothingFoundAndReadsNothing", temp, output),
            0);
  std::ifstream in(output, std::ios::binary);
  const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(said.find("[  PASSED  ] 1 test."), std::string::npos) << said;
  std::string left;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(temp)) {
    left += entry.path().string() + "\n";
  }
  EXPECT_EQ(left, "");
}

}  // namespace
}  // namespace quill::testing
