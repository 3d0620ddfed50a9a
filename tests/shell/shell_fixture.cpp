#include "shell/shell_fixture.h"

#include <commctrl.h>

#include <cstring>
#include <filesystem>

#include "support/test_books.h"

namespace quill::testing {

void ShellTest::SetUp() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
  options_.splashMilliseconds = 0;
  options_.settings = {HKEY_CURRENT_USER, kSettingsPath};
  options_.history = &history_;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  folder_ = ScratchDir() + "\\" + info->name();
  std::filesystem::create_directories(folder_);
  dialogs_ = std::make_unique<DialogAnswerer>();
}

void ShellTest::TearDown() {
  Close();
  dialogs_.reset();
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
}

int ShellTest::Start() {
  window_ = std::make_unique<MainWindow>(options_);
  const bool started = window_->StartInstance(GetModuleHandleA(nullptr), SW_SHOW);
  Pump();
  return started ? 1 : 0;
}

void ShellTest::Close() {
  if (window_ && IsWindow(Main())) DestroyWindow(Main());
  Pump();
  window_.reset();
}

HWND ShellTest::StatusBar() const {
  return FindWindowExA(Main(), nullptr, STATUSCLASSNAMEA, nullptr);
}

HWND ShellTest::Tree() const { return FindWindowExA(ShelfPanel(), nullptr, WC_TREEVIEWA, nullptr); }

int ShellTest::ShownPanel() const {
  if (IsWindowVisible(FindPanel())) return 1;
  if (IsWindowVisible(ShelfPanel())) return 2;
  return 0;
}

std::string ShellTest::RememberedBookAtExit() {
  Close();
  const std::vector<BYTE> bytes = ValueBytes("XQB_PATH");
  return std::string(reinterpret_cast<const char*>(bytes.data()),
                     strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string ShellTest::MakeBook(const std::string& name, const std::u16string& title,
                                std::initializer_list<const char*> entries) {
  return MakeBook(name, title, Entries(entries));
}

std::string ShellTest::MakeBook(const std::string& name, const std::u16string& title,
                                const std::vector<BookEntry>& entries) {
  BookLayout layout;
  layout.title = title;
  const std::vector<std::uint8_t> image = BuildImage(entries, layout);
  const std::string path = folder_ + "\\" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(image.data(), 1, image.size(), file);
  std::fclose(file);
  return path;
}

void ShellTest::StartWithBook(const std::vector<BookEntry>& entries) {
  MakeBook("deflex_a.xqb", u"Default A", entries);
  SetInstallFolder(Folder());
  ASSERT_EQ(Start(), 1);
}

void ShellTest::Command(int id) {
  SendMessageA(Main(), WM_COMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(Toolbar()));
  Pump();
}

std::wstring ShellTest::Wide(const std::string& ansi) {
  std::wstring wide(ansi.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(),
                                    static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
  return wide;
}

void ShellTest::OpenShelfBook(const std::string& folder, const std::string& file) {
  const std::wstring wideFolder = Wide(folder);
  const std::wstring wideFile = Wide(file);
  SendMessageW(Main(), MSG_OPEN_SHELF_BOOK, reinterpret_cast<WPARAM>(wideFolder.c_str()),
               reinterpret_cast<LPARAM>(wideFile.c_str()));
  Pump();
}

LRESULT ShellTest::LookUp(const std::string& word) {
  const std::wstring wide = Wide(word);
  const LRESULT result =
      SendMessageW(Main(), MSG_LOOKUP_WORD, reinterpret_cast<WPARAM>(wide.c_str()), 0);
  Pump();
  return result;
}

void ShellTest::SetString(const char* name, const std::string& value) {
  std::vector<BYTE> bytes(value.begin(), value.end());
  bytes.push_back(0);
  SetBinary(name, bytes, REG_SZ);
}

void ShellTest::SetDword(const char* name, DWORD value) {
  std::vector<BYTE> bytes(sizeof value);
  std::memcpy(bytes.data(), &value, sizeof value);
  SetBinary(name, bytes, REG_DWORD);
}

void ShellTest::SetBinary(const char* name, const std::vector<BYTE>& bytes, DWORD type) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

DWORD ShellTest::ValueType(const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, kSettingsPath, name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                   nullptr, &size) != ERROR_SUCCESS) {
    return 0;
  }
  return type;
}

std::vector<BYTE> ShellTest::ValueBytes(const char* name) {
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, kSettingsPath, name, RRF_RT_ANY | RRF_NOEXPAND, nullptr,
                   nullptr, &size) != ERROR_SUCCESS) {
    return {};
  }
  std::vector<BYTE> bytes(size);
  RegGetValueA(HKEY_CURRENT_USER, kSettingsPath, name, RRF_RT_ANY | RRF_NOEXPAND, nullptr,
               bytes.data(), &size);
  bytes.resize(size);
  return bytes;
}

LONG ShellTest::ValueLong(const char* name) {
  const std::vector<BYTE> bytes = ValueBytes(name);
  LONG value = 0;
  if (bytes.size() == sizeof value) std::memcpy(&value, bytes.data(), sizeof value);
  return value;
}

void ShellTest::Pump() {
  // Twice, with a pause, so that posted follow-ups get their turn too.
  for (int round = 0; round < 2; ++round) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(10);
  }
}

std::string ShellTest::Text(HWND window) {
  const auto length = static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string ShellTest::StatusText() {
  char text[512] = {};
  SendMessageA(StatusBar(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  return text;
}

bool ShellTest::PaneEnabled() {
  return (GetWindowLongPtrA(Pane(), GWL_STYLE) & WS_DISABLED) == 0;
}

RECT ShellTest::ChildRect(HWND child) {
  RECT rect;
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::vector<std::string> ShellTest::DialogTexts() {
  std::vector<std::string> texts;
  for (const SeenDialog& seen : dialogs_->Seen()) {
    texts.push_back(seen.text.empty() ? "[" + seen.caption + "]"
                                      : seen.caption + ": " + seen.text);
  }
  return texts;
}

}  // namespace quill::testing
