// A test process takes its scratch folder away when it ends, also after a
// shell test whose open-file dialog made a folder in it the current one.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/child_process.h"
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
// folder: its exit code and what it printed.
ChildRun RunSelf(const std::string& filter, const fs::path& temp) {
  const ScopedEnvironment tmp(L"TMP", temp.wstring());
  const ScopedEnvironment tempVariable(L"TEMP", temp.wstring());
  return RunChild(TestProgram(), {"--gtest_filter=" + filter});
}

TEST(ScratchFolderTest, GoesWhenTheProcessEnds) {
  const fs::path temp = fs::path(ScratchDir()) / "child-temp";
  fs::create_directories(temp);
  // A shell test that opens a book, picks a file in the open-file dialog
  // and leaves a window behind for its fixture to close.
  const ChildRun run = RunSelf("FindPanelTest.ClosedBookListsNothingFoundAndReadsNothing", temp);
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("[  PASSED  ] 1 test."), std::string::npos) << run.out << run.err;
  std::string left;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(temp)) {
    left += entry.path().string() + "\n";
  }
  EXPECT_EQ(left, "");
}

}  // namespace
}  // namespace quill::testing
