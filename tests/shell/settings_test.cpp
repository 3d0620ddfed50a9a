#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "panels/history_store.h"
#include "shell/settings.h"
#include "shell/shell_fixture.h"
#include "support/child_process.h"

namespace quill::testing {
namespace {

class SettingsTest : public ShellTest {
 protected:
  void StartWithBook() {
    MakeBook("deflex_a.xqb", u"Default A", {"Alpha=first", "beta=second"});
    SetInstallFolder(Folder());
    ASSERT_EQ(Start(), 1);
  }
};

TEST_F(SettingsTest, StartReadsTheExitRectangleAndExitStoresIt) {
  SetDword("Pos_X", 30);
  SetDword("Pos_Y", 20);
  SetDword("Pos_Right", 30 + 700);
  SetDword("Pos_Bottom", 20 + 450);
  StartWithBook();
  RECT rect;
  GetWindowRect(Main(), &rect);
  EXPECT_EQ(rect.left, 30);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.right, 730);
  EXPECT_EQ(rect.bottom, 470);

  // Moving stores the current rectangle at once, and only that.
  SetWindowPos(Main(), nullptr, 50, 60, 640, 480, SWP_NOZORDER);
  Pump();
  EXPECT_EQ(ValueType("Now_LEFT"), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(ValueBytes("Now_LEFT").size(), 4u);
  EXPECT_EQ(ValueLong("Now_LEFT"), 50);
  EXPECT_EQ(ValueLong("Now_TOP"), 60);
  EXPECT_EQ(ValueLong("Now_RIGHT"), 690);
  EXPECT_EQ(ValueLong("Now_BOTTOM"), 540);
  EXPECT_EQ(ValueLong("Pos_X"), 30);

  // The book the window opened: the default, as no other was remembered.
  const std::string path = Folder() + "\\deflex_a.xqb";
  Close();
  EXPECT_EQ(ValueType("Pos_X"), static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(ValueLong("Pos_X"), 50);
  EXPECT_EQ(ValueLong("Pos_Y"), 60);
  EXPECT_EQ(ValueLong("Pos_Right"), 690);
  EXPECT_EQ(ValueLong("Pos_Bottom"), 540);
  // XQB_PATH is the whole 260-byte buffer.
  EXPECT_EQ(ValueType("XQB_PATH"), static_cast<DWORD>(REG_SZ));
  const std::vector<BYTE> stored = ValueBytes("XQB_PATH");
  ASSERT_EQ(stored.size(), 260u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored.data())), path);
  // The installation folder is only ever read.
  EXPECT_EQ(ValueBytes("InstallPath").size(), Folder().size() + 1);
}

TEST_F(SettingsTest, FirstRunGetsASizeThatFitsTheScreen) {
  StartWithBook();
  RECT rect;
  GetWindowRect(Main(), &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_GT(rect.right - rect.left, 300);
  EXPECT_GT(rect.bottom - rect.top, 200);
  EXPECT_LE(rect.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_LE(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(SettingsTest, OddValuesAreIgnored) {
  // An eight-byte edge does not fit its four bytes; a size that is not a
  // size falls back to the default; a path without its terminator would be
  // a cut path.
  SetBinary("Pos_X", {1, 0, 0, 0, 0, 0, 0, 0}, REG_QWORD);
  SetDword("Pos_Y", 10);
  SetDword("Pos_Right", 5);
  SetDword("Pos_Bottom", static_cast<DWORD>(-100000));
  const std::string other = MakeBook("other.xqb", u"Other", {"o=1"});
  std::vector<BYTE> unterminated(other.begin(), other.end());
  unterminated.resize(260, 'x');
  SetBinary("XQB_PATH", unterminated, REG_SZ);
  StartWithBook();
  RECT rect;
  GetWindowRect(Main(), &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 10);
  EXPECT_GT(rect.right - rect.left, 300);
  EXPECT_GT(rect.bottom - rect.top, 200);
  EXPECT_EQ(StatusText(), "Default A");

  // An overlong path value is refused whole.
  Close();
  SetString("XQB_PATH", other + std::string(300, 'y'));
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(StatusText(), "Default A");
}

TEST_F(SettingsTest, CurrentRectangleDefaultsForASecondInstance) {
  const SettingsKey key{HKEY_CURRENT_USER, kSettingsPath};
  RECT rect = LoadCurrentRect(key);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 600);
  EXPECT_EQ(rect.bottom, 400);
  SetDword("Now_LEFT", 7);
  SetDword("Now_TOP", 8);
  SetDword("Now_RIGHT", 307);
  rect = LoadCurrentRect(key);
  EXPECT_EQ(rect.left, 7);
  EXPECT_EQ(rect.right, 307);
  EXPECT_EQ(rect.bottom, 400);
}

TEST_F(SettingsTest, TheKeyIsCreatedToSurviveARestart) {
  const SettingsKey key{HKEY_CURRENT_USER, kSettingsPath};
  SaveCurrentRect(key, RECT{1, 2, 3, 4});
  // A volatile key takes only volatile sub-keys.
  HKEY child = nullptr;
  const std::string childPath = std::string(kSettingsPath) + "\\Probe";
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, childPath.c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &child, nullptr),
            ERROR_SUCCESS);
  if (child != nullptr) RegCloseKey(child);
  EXPECT_EQ(ValueLong("Now_BOTTOM"), 4);
}

TEST(HistoryCapacity, MissingOrOverlongValuesBecomeOneHundred) {
  const HistoryKey key{HKEY_CURRENT_USER, "Software\\QuillpadTest\\Quill"};
  RegDeleteTreeA(HKEY_CURRENT_USER, key.path);
  EXPECT_EQ(LoadCapacity(key), 100);
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, key.path, "HistoryRecord", RRF_RT_ANY, &type, &value,
                         &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 100u);

  HKEY handle = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.path, 0, KEY_ALL_ACCESS, &handle), ERROR_SUCCESS);
  const BYTE eight[8] = {3, 0, 0, 0, 0, 0, 0, 0};
  RegSetValueExA(handle, "HistoryRecord", 0, REG_BINARY, eight, sizeof eight);
  EXPECT_EQ(LoadCapacity(key), 100);
  // A shorter value is taken zero-extended; no bound is applied on reading.
  const BYTE two[2] = {3, 1};
  RegSetValueExA(handle, "HistoryRecord", 0, REG_BINARY, two, sizeof two);
  EXPECT_EQ(LoadCapacity(key), 0x103);
  const DWORD negative = 0xFFFFFFFFu;
  RegSetValueExA(handle, "HistoryRecord", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&negative),
                 sizeof negative);
  EXPECT_EQ(LoadCapacity(key), -1);
  RegCloseKey(handle);
  // Storing raises small counts to ten.
  StoreCapacity(3, key);
  EXPECT_EQ(LoadCapacity(key), 10);
  RegDeleteTreeA(HKEY_CURRENT_USER, key.path);
}

// The program itself, started as a second process while this one's window
// runs, under the settings key the program really uses.
class SecondInstanceTest : public ShellTest {
 protected:
  static constexpr const char* kProgramKey = "Software\\Orvelle\\Quillpad";

  void SetUp() override {
    ShellTest::SetUp();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgramKey);
  }
  void TearDown() override {
    ShellTest::TearDown();
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgramKey);
  }
  // Runs quillpad.exe from the build tree, pumping this thread's messages
  // until it ends (the running window answers its calls): its exit code,
  // or -1 when it did not end within the time.
  // arguments follow the program's name on its command line.
  static int RunProgram(DWORD waitMilliseconds, HWND* ownWindow = nullptr,
                        const std::wstring& arguments = L"") {
    ChildOptions options;
    options.rawArguments = arguments;
    options.timeoutMilliseconds = waitMilliseconds;
    options.pumpMessages = true;
    options.whileWaiting = [ownWindow](std::uint32_t processId) {
      if (ownWindow == nullptr || *ownWindow != nullptr) return;
      HWND found = FindWindowA("Quillpad", "Orvelle Quillpad");
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (found != nullptr && owner == processId) {
        *ownWindow = found;
        PostMessageA(found, WM_CLOSE, 0, 0);
      }
    };
    const std::filesystem::path program =
        TestProgramFolder().parent_path() / "shell" / "quillpad.exe";
    const ChildRun run = RunChild(program, {}, options);
    if (run.code == -2) ADD_FAILURE() << "cannot start " << program;
    return run.code;
  }
  static void SetProgramDword(const char* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
  }
};

// A second start with a word hands it to the running window, which shows
// its entry; an empty or over-long one does no harm.
TEST_F(SecondInstanceTest, HandsTheWordOfItsCommandLineToTheRunningWindow) {
  MakeBook("deflex_a.xqb", u"Default A",
           {"Alpha=first", "beta=second", "gamma=third", "two words=fourth"});
  SetInstallFolder(Folder());
  ASSERT_EQ(Start(), 1);
  struct Case {
    std::wstring arguments;
    std::string input;  // the running window's input box afterwards
    std::string pane;
  };
  const Case cases[] = {
      {L"gamma", "gamma", "third\r\n"},
      {L"\"two words\"", "two words", "fourth\r\n"},
      {L"two words", "two words", "fourth\r\n"},
      {L"\"\"", "two words", "fourth\r\n"},  // no word: as before
      {L"beta", "beta", "second\r\n"},
      {std::wstring(600, L'z'), std::string(511, 'z'), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input.substr(0, 20));
    EXPECT_EQ(RunProgram(30000, nullptr, c.arguments), 0);
    Pump();
    EXPECT_EQ(InputText(), c.input);
    if (!c.pane.empty()) {
      EXPECT_EQ(PaneText(), c.pane);
    }
  }
}

TEST_F(SecondInstanceTest, BringsTheRunningWindowForwardAtTheStoredRectangle) {
  MakeBook("deflex_a.xqb", u"Default A", {"Alpha=first"});
  SetInstallFolder(Folder());
  // This window is the running instance; its title and class are the
  // program's.
  ASSERT_EQ(Start(), 1);
  HWND running = Main();
  ShowWindow(running, SW_HIDE);
  SetProgramDword("Now_LEFT", 40);
  SetProgramDword("Now_TOP", 50);
  SetProgramDword("Now_RIGHT", 540);
  SetProgramDword("Now_BOTTOM", 450);
  EXPECT_EQ(RunProgram(30000), 0);
  Pump();
  EXPECT_TRUE(IsWindowVisible(running));
  RECT rect;
  GetWindowRect(running, &rect);
  EXPECT_EQ(rect.left, 40);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right, 540);
  EXPECT_EQ(rect.bottom, 450);

  // Without a stored rectangle: 0, 0, 600 x 400.
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kProgramKey);
  EXPECT_EQ(RunProgram(30000), 0);
  Pump();
  GetWindowRect(running, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, 600);
  EXPECT_EQ(rect.bottom, 400);
}

TEST_F(SecondInstanceTest, AWindowWithAnotherTitleDoesNotCount) {
  MakeBook("deflex_a.xqb", u"Default A", {"Alpha=first"});
  // A window of the program's class under another title.
  RegisterWindowClass(GetModuleHandleA(nullptr), L"Quillpad");
  HWND impostor = CreateWindowExA(0, "Quillpad", "Another Title", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(impostor, nullptr);
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                  nullptr);
  const std::string folder = Folder();
  RegSetValueExA(key, "InstallPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>(folder.size() + 1));
  RegCloseKey(key);
  // The program starts a window of its own, which the test then closes.
  HWND own = nullptr;
  EXPECT_EQ(RunProgram(60000, &own), 0);
  EXPECT_NE(own, nullptr);
  DestroyWindow(impostor);
}

}  // namespace
}  // namespace quill::testing
