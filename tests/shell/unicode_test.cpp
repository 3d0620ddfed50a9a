// Text outside every single code page, from a book made by xqb out of a
// UTF-8 word list to the screen and back: typed, listed, shown, found,
// remembered, spoken, and books in folders named in any script.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "cli/console.h"
#include "resources/ids.h"
#include "shell/shell_fixture.h"
#include "speech/fake_speech.h"
#include "tools/xqb.h"

namespace quill::testing {
namespace {

using WStrings = std::vector<std::wstring>;

// Greek, Czech, Cyrillic, Chinese and IPA keys, in the order a book keeps
// them (by UTF-16 unit), with contents of the same scripts.
const char kWordList[] =
    "house\t[h\xcb\x88\x61\xca\x8as]\\n\xcf\x83\xcf\x80\xce\xaf\xcf\x84\xce\xb9 (\xcf\x84\xce\xbf "
    "\xcf\x87\xcf\x84\xce\xaf\xcf\x81\xce\xb9\xce\xbf), \xce\xbf\xce\xaf\xce\xba\xce\xbf\xcf\x82\n"
    "\xc5\x99\x65ka\t\xc4\x8d\x65sk\xc3\xa1 \xc5\x99\x65ka, \xc4\x9bš\n"
    "\xc9\xaapa\tthe IPA letter\n"
    "\xcf\x83\xcf\x80\xce\xaf\xcf\x84\xce\xb9\thouse, home\n"
    "\xd0\xb4\xd0\xbe\xd0\xbc\t\xd0\xb6\xd0\xb8\xd0\xbb\xd0\xb8\xd1\x89\xd0\xb5\n"
    "\xe4\xb8\xad\xe6\x96\x87\t\xe6\xb1\x89\xe5\xad\x97 Chinese\n";
const std::wstring kKeys[] = {L"house", L"\u0159eka", L"\u026apa", L"\u03c3\u03c0\u03af\u03c4\u03b9",
                              L"\u0434\u043e\u043c", L"\u4e2d\u6587"};
const std::wstring kTitle = L"\u039b\u03b5\u03be\u03b9\u03ba\u03cc";  // Λεξικό

class NullOutput : public Output {
 public:
  void Write(const char*, std::size_t) override {}
};

// Makes book (a UTF-8 path) from the word list with xqb, as a user would.
void BuildWithXqb(const std::string& folder, const std::string& book) {
  const std::string list = folder + "\\words.txt";
  std::ofstream(list, std::ios::binary) << kWordList;
  NullOutput out;
  const Console console{&out, &out, [] { return 0.0; }};
  // The title as UTF-8: Λεξικό.
  ASSERT_EQ(xqb::RunXqb({"build", list, "-o", book, "--title",
                         "\xce\x9b\xce\xb5\xce\xbe\xce\xb9\xce\xba\xcf\x8c"},
                        console),
            kExitOk);
}

std::wstring WText(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

std::string Utf8(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

class UnicodeTest : public ShellTest {
 protected:
  void StartWithUnicodeBook() {
    BuildWithXqb(Folder(), Folder() + "\\deflex_a.xqb");
    SetInstallFolder(Folder());
    options_.speech = &speech_;
    ASSERT_EQ(Start(), 1);
  }
  // Types as the keyboard does, one UTF-16 character message at a time.
  void TypeW(const std::wstring& text) {
    SendMessageW(Input(), EM_SETSEL, 0, -1);
    SendMessageW(Input(), WM_CHAR, VK_BACK, 1);
    for (wchar_t c : text) SendMessageW(Input(), WM_CHAR, c, 1);
    Pump();
  }
  void Enter() {
    SendMessageW(Input(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
  }
  std::wstring StatusW() {
    wchar_t text[256] = {};
    SendMessageW(StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return text;
  }
  WStrings ListRowsW() {
    WStrings rows;
    for (int i = 0; i < ListRows(); ++i) {
      wchar_t text[256] = {};
      LVITEMW item{};
      item.pszText = text;
      item.cchTextMax = 256;
      SendMessageW(WordList(), LVM_GETITEMTEXTW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&item));
      rows.push_back(text);
    }
    return rows;
  }

  FakeSpeech speech_;
};

TEST_F(UnicodeTest, AGreekWordTypedShowsItsEntryAndIsSpokenAsItIs) {
  StartWithUnicodeBook();
  EXPECT_EQ(WText(Main()), L"Orvelle Quillpad");
  EXPECT_EQ(StatusW(), kTitle);
  EXPECT_EQ(WText(Input()), L"house");
  EXPECT_EQ(WText(Pane()), L"\u03c3\u03c0\u03af\u03c4\u03b9 (\u03c4\u03bf \u03c7\u03c4\u03af\u03c1\u03b9\u03bf), "
                           L"\u03bf\u03af\u03ba\u03bf\u03c2\r\n");
  EXPECT_EQ(ListRowsW(), WStrings(std::begin(kKeys), std::end(kKeys)));

  TypeW(L"\u03c3\u03c0");
  EXPECT_TRUE(ListShown());
  TypeW(kKeys[3]);
  Enter();
  EXPECT_EQ(WText(Input()), kKeys[3]);
  EXPECT_EQ(WText(Pane()), L"house, home\r\n");
  Command(IDM_SPEAK);
  ASSERT_FALSE(speech_.spoken.empty());
  EXPECT_EQ(speech_.spoken.back(), kKeys[3]);
  // The arrow keys put the neighbouring keys into the box whole.
  SendMessageW(Main(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(WText(Input()), kKeys[4]);
  SendMessageW(Main(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(WText(Input()), kKeys[5]);
  EXPECT_EQ(WText(Pane()), L"\u6c49\u5b57 Chinese\r\n");
}

TEST_F(UnicodeTest, TheFindPanelSearchesCyrillicAndTheHistoryKeepsCzech) {
  StartWithUnicodeBook();
  Command(IDM_FIND_PANEL);
  const HWND edit = GetDlgItem(FindPanel(), IDC_FIND_EDIT);
  const HWND results = GetDlgItem(FindPanel(), IDC_RESULT_LIST);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u0436\u0438\u043b"));
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  Pump();
  ASSERT_EQ(SendMessageW(results, LB_GETCOUNT, 0, 0), 1);
  wchar_t row[64] = {};
  SendMessageW(results, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
  EXPECT_EQ(std::wstring(row), kKeys[4]);
  SendMessageW(results, LB_SETCURSEL, 0, 0);
  SendMessageW(FindPanel(), WM_COMMAND, MAKEWPARAM(IDC_RESULT_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(results));
  Pump();
  EXPECT_EQ(WText(Input()), kKeys[4]);
  EXPECT_EQ(WText(Pane()), L"\u0436\u0438\u043b\u0438\u0449\u0435\r\n");

  // A Czech word looked up is kept whole and picked again from the history.
  TypeW(kKeys[1]);
  Enter();
  TypeW(L"house");
  Enter();
  char16_t newest[64] = {};
  ASSERT_TRUE(history_.ItemAt(history_.Count() - 2, newest, 64));
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(newest)), kKeys[1]);
  SendMessageW(Main(), WM_COMMAND, IDM_HISTORY_FIRST + 1, 0);
  Pump();
  EXPECT_EQ(WText(Input()), kKeys[1]);
  EXPECT_EQ(WText(Pane()), L"\u010desk\u00e1 \u0159eka, \u011b\u0161\r\n");
}

// XQB_PATH naming a book in a folder of several scripts opens it, and the
// window stores it back whole.
TEST_F(UnicodeTest, ABookInAFolderOfAnyScriptOpensAndIsRemembered) {
  const std::wstring folder = Wide(Folder()) + L"\\Ji\u0159\u00ed \u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u0421\u043b\u043e\u0432\u0430";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring book = folder + L"\\\u4e2d\u6587.xqb";
  BuildWithXqb(Folder(), Utf8(book));
  MakeBook("deflex_a.xqb", u"Default A", {"a=1"});
  SetInstallFolder(Folder());
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"XQB_PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(book.c_str()),
                 static_cast<DWORD>((book.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(StatusW(), kTitle);
  Close();
  wchar_t stored[300] = {};
  DWORD size = sizeof stored;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Wide(kSettingsPath).c_str(), L"XQB_PATH",
                         RRF_RT_REG_SZ, nullptr, stored, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(stored), book);
}

// A path the previous version stored with the ANSI functions is read, and
// what this one stores reads back the same through them.
TEST_F(UnicodeTest, SettingsOfTheAnsiFunctionsReadBothWays) {
  // "Café" is in every Western code page; the test machine runs one.
  const std::string cafe = Folder() + "\\Caf\xe9";
  ASSERT_TRUE(CreateDirectoryA(cafe.c_str(), nullptr));
  MakeBook("deflex_a.xqb", u"Default A", {"a=1"});
  SetInstallFolder(Folder());
  std::wstring wideCafe = Wide(cafe);
  BuildWithXqb(Folder(), Utf8(wideCafe) + "\\book.xqb");
  SetString("XQB_PATH", cafe + "\\book.xqb");
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(StatusW(), kTitle);
  EXPECT_EQ(RememberedBookAtExit(), cafe + "\\book.xqb");
}

}  // namespace
}  // namespace quill::testing
