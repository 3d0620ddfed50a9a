// Looking a word up from anywhere: copied twice in another program (here a
// second thread with a window of its own writes the clipboard), shown as
// Enter shows it, from behind or from the notification area.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "resources/ids.h"
#include "shell/shell_fixture.h"
#include "shell/word_from_clipboard.h"
#include "support/child_process.h"

namespace quill::testing {
namespace {

// Writes the clipboard from another thread, as another program would:
// put fills it once it is open and emptied.
void WriteClipboard(const std::function<void()>& put) {
  std::thread writer([&put] {
    HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
    for (int i = 0; i < 50 && !OpenClipboard(owner); ++i) Sleep(10);
    EmptyClipboard();
    put();
    CloseClipboard();
    DestroyWindow(owner);
  });
  writer.join();
}

void CopyText(const std::wstring& text) {
  WriteClipboard([&text] {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
  });
}

void CopyImage() {
  WriteClipboard([] { SetClipboardData(CF_BITMAP, CreateBitmap(2, 2, 1, 32, nullptr)); });
}

class LookupAnywhereTest : public ShellTest {
 protected:
  void StartWithWords() {
    StartWithBook({{u"alpha", u"first letter"},
                   {u"beta", u"second letter"},
                   {u"gamma", u"third letter"},
                   {u"\u03c3\u03c0\u03af\u03c4\u03b9", u"house"}});
  }
  // Lets the clipboard watch read a change and the window answer it.
  static void Settle(DWORD milliseconds = 150) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
      Pump();
      Sleep(5);
    }
    Pump();
  }
  // Copies twice, pause milliseconds apart, and lets the window answer.
  void CopyTwice(const std::function<void()>& copy, DWORD pause = 0) {
    copy();
    Settle();
    if (pause != 0) Sleep(pause);
    copy();
    Settle();
  }
  // Another program copies text twice, 100 ms apart. Meanwhile this
  // window answers its messages, or (busy) does not until the program has
  // ended, as when its thread is held up; then it has a moment to answer.
  void CopyTwiceInAnotherProgram(const std::string& text, bool busy = false) {
    ChildOptions options;
    options.timeoutMilliseconds = 30000;
    options.pumpMessages = !busy;
    const ChildRun run =
        RunChild(TestProgramFolder() / "clipboard_writer.exe", {text, "2", "100"}, options);
    ASSERT_EQ(run.code, 0);
    Settle(300);
  }
  std::wstring WText(HWND window) {
    wchar_t text[16384] = {};
    GetWindowTextW(window, text, 16384);
    return text;
  }
};

TEST_F(LookupAnywhereTest, TheSameTextCopiedTwiceQuicklyIsLookedUpAndNothingElseIs) {
  StartWithWords();
  struct Case {
    const char* what;
    std::function<void()> copies;  // what reaches the clipboard, at once
    std::wstring input;            // the input box afterwards
    std::wstring pane;             // the pane afterwards; empty: any entry
  };
  const std::wstring longText(10000, L'q');
  const Case cases[] = {
      {"twice", [this] { CopyTwice([] { CopyText(L"beta"); }); }, L"beta", L"second letter\r\n"},
      {"trimmed, its first line", [this] { CopyTwice([] { CopyText(L"  gamma \r\nrest"); }); },
       L"gamma", L"third letter\r\n"},
      {"Greek", [this] { CopyTwice([] { CopyText(L"\u03c3\u03c0\u03af\u03c4\u03b9"); }); },
       L"\u03c3\u03c0\u03af\u03c4\u03b9", L"house\r\n"},
      {"once", [] { CopyText(L"beta"); Settle(); }, L"alpha", L"first letter\r\n"},
      // Two texts one after the other, the window answering only after both.
      {"two texts", [] { CopyText(L"beta"); CopyText(L"gamma"); Settle(); }, L"alpha",
       L"first letter\r\n"},
      {"a second apart", [this] { CopyTwice([] { CopyText(L"beta"); }, 1000); }, L"alpha",
       L"first letter\r\n"},
      {"an image", [this] { CopyTwice(CopyImage); }, L"alpha", L"first letter\r\n"},
      {"empty", [this] { CopyTwice([] { CopyText(L" \r\n "); }); }, L"alpha",
       L"first letter\r\n"},
      // Cut to the input box's limit: the nearest entry, and nothing broken.
      {"10,000 characters", [&, this] { CopyTwice([&] { CopyText(longText); }); },
       longText.substr(0, kTextUnits - 1), L""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LookUp("alpha");
    Sleep(kDoubleCopyMilliseconds + 100);  // the last case's copies are old
    const std::size_t history = static_cast<std::size_t>(history_.Count());
    c.copies();
    EXPECT_EQ(WText(Input()), c.input);
    if (!c.pane.empty()) {
      EXPECT_EQ(WText(Pane()), c.pane);
    }
    // A look-up is recorded as Enter records it.
    EXPECT_EQ(static_cast<std::size_t>(history_.Count()), history + (c.input != L"alpha"));
  }
  // The program only ever reads the clipboard: nothing changes it while
  // the window answers the copies.
  Sleep(kDoubleCopyMilliseconds + 100);
  for (int copy = 0; copy < 2; ++copy) {
    CopyText(L"beta");
    const DWORD sequence = GetClipboardSequenceNumber();
    Settle();
    EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
  }
  EXPECT_EQ(WText(Input()), L"beta");
}

TEST_F(LookupAnywhereTest, ACopiedWordBringsTheWindowBackFromTheTray) {
  StartWithWords();
  SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  ASSERT_FALSE(IsWindowVisible(Main()));
  CopyTwice([] { CopyText(L"gamma"); });
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_NE(GetWindowLongPtrW(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(WText(Pane()), L"third letter\r\n");
  // The icon is gone: pressing where it was does nothing more.
  SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  CopyTwice([] { CopyText(L"beta"); });
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_EQ(WText(Pane()), L"second letter\r\n");
}

// The writer is a process of its own, as the user's other program is: the
// clipboard changes hands between processes, which a thread of this test
// would not show. Each time the window has gone into the tray; the copies
// come while the window answers at once, and while its thread is held up
// (under Wine, hiding a window into the tray holds it up for two seconds,
// and both copies are made by then).
TEST_F(LookupAnywhereTest, EveryReturnFromTheTrayTakesTheFirstWordCopiedTwiceInAnotherProgram) {
  StartWithWords();
  struct Case {
    const char* word;
    std::wstring pane;
    bool busy;
  };
  const Case cases[] = {{"gamma", L"third letter\r\n", false},
                        {"beta", L"second letter\r\n", true},
                        {"gamma", L"third letter\r\n", false},
                        {"alpha", L"first letter\r\n", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.word) + (c.busy ? ", busy" : ""));
    if (c.busy) {
      // Going into the tray is what holds the window up: the copies come
      // before it has answered anything.
      PostMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else {
      SendMessageW(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      Pump();
      ASSERT_FALSE(IsWindowVisible(Main()));
    }
    CopyTwiceInAnotherProgram(c.word, c.busy);
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(WText(Pane()), c.pane);
  }
  // And while the window is shown and busy, the same.
  CopyTwiceInAnotherProgram("beta", true);
  EXPECT_EQ(WText(Pane()), L"second letter\r\n");
}

TEST_F(LookupAnywhereTest, ClipboardLookupZeroTurnsItOff) {
  SetDword("ClipboardLookup", 0);
  StartWithWords();
  CopyTwice([] { CopyText(L"beta"); });
  EXPECT_EQ(WText(Input()), L"alpha");
}

// The command line's word is looked up once the first book is open; white
// space alone is no word.
TEST_F(LookupAnywhereTest, AWordAtStartIsLookedUp) {
  for (const auto& [word, pane] : {std::pair<std::u16string, std::wstring>{u"gamma", L"third letter\r\n"},
                                   {u"  ", L"first letter\r\n"}}) {
    options_.startWord = word;
    StartWithWords();
    EXPECT_EQ(WText(Pane()), pane);
    Close();
  }
}

TEST(WordFromCopiedText, TrimsTakesTheFirstLineAndCutsWhole) {
  struct Case {
    std::u16string text;
    std::size_t most;
    std::u16string word;
  };
  const Case cases[] = {
      {u"  word \t", 10, u"word"},
      {u"\r\n\r\n  two words  \nnext line", 20, u"two words"},
      {u"abcdef", 4, u"abcd"},
      // Never half a surrogate pair.
      {u"ab\U0001F600", 3, u"ab"},
      {u"ab\U0001F600", 4, u"ab\U0001F600"},
      {u"\u00a0\u3000", 10, u""},
      {std::u16string(u"cut\0here", 8), 10, u"cut"},
  };
  for (const Case& c : cases) EXPECT_EQ(WordFromCopiedText(c.text, c.most), c.word);
}

TEST(DoubleCopy, OnlyTheSameTextTwiceWithinHalfASecond) {
  DoubleCopy copies;
  const std::optional<std::u16string> none;
  EXPECT_EQ(copies.Changed(1000, u"a"), none);
  EXPECT_EQ(copies.Changed(1500, u"a"), std::optional<std::u16string>(u"a"));
  // A third copy starts over.
  EXPECT_EQ(copies.Changed(1600, u"a"), none);
  EXPECT_EQ(copies.Changed(2101, u"a"), none);  // 501 ms later
  EXPECT_EQ(copies.Changed(2200, u"b"), none);
  EXPECT_EQ(copies.Changed(2300, none), none);  // not text
  EXPECT_EQ(copies.Changed(2400, u"b"), none);
  // The tick count wraps around.
  EXPECT_EQ(copies.Changed(0xFFFFFF00u, u"c"), none);
  EXPECT_EQ(copies.Changed(0x00000010u, u"c"), std::optional<std::u16string>(u"c"));
}

}  // namespace
}  // namespace quill::testing
