// What a user sees while typing, reading and stepping through entries.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ids.h"
#include "shell/shell_fixture.h"
#include "speech/fake_speech.h"

namespace quill::testing {
namespace {

// Enough keys that the word list scrolls.
const char* const kKeys[] = {"abc", "about", "above", "b1", "b2", "b3", "b4", "b5", "b6", "b7",
                             "b8", "b9", "book", "booking", "boot", "c1", "c2", "c3", "c4", "c5",
                             "c6", "c7", "c8", "c9", "d1", "d2", "d3", "d4", "zebra"};

class TypingTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeBook("deflex_a.xqb", u"Typing",
             {"abc=first", "about=near", "above=over", "b1=x", "b2=x", "b3=x", "b4=x", "b5=x",
              "b6=x", "b7=x", "b8=x", "b9=x", "book=[bUk]\npages bound together", "booking=a reservation",
              "boot=a shoe", "c1=x", "c2=x", "c3=x", "c4=x", "c5=x", "c6=x", "c7=x", "c8=x",
              "c9=x", "d1=x", "d2=x", "d3=x", "d4=x", "zebra=stripes"});
    SetInstallFolder(Folder());
    options_.speech = &speech_;
    ASSERT_EQ(Start(), 1);
  }

  // Types text into the input box the way the keyboard does: WM_CHAR, so
  // that the edit control itself raises its change notifications.
  void Type(const std::string& text) {
    for (const char c : text) SendMessageA(Input(), WM_CHAR, static_cast<WPARAM>(c), 1);
    Pump();
  }
  void Key(WPARAM key) {
    SendMessageA(Input(), WM_KEYDOWN, key, 1);
    Pump();
  }
  void ClearInput() {
    SendMessageA(Input(), EM_SETSEL, 0, -1);
    SendMessageA(Input(), WM_CHAR, VK_BACK, 1);
    Pump();
  }
  std::vector<std::string> History() {
    std::vector<std::string> words;
    char16_t buffer[512];
    for (int i = 0; history_.ItemAt(i, buffer, std::size(buffer)); ++i) {
      words.push_back(Narrow(reinterpret_cast<const wchar_t*>(buffer)));
    }
    return words;
  }
  bool AllSelected() {
    DWORD from = 1;
    DWORD to = 0;
    SendMessageA(Input(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    return from == 0 && to == InputText().size();
  }
  int TopRow() { return static_cast<int>(SendMessageA(WordList(), LVM_GETTOPINDEX, 0, 0)); }
  // The entry the book's cursor is on, as the Voice button tells it: it
  // reads the cursor's key aloud (to a recording voice here).
  int Current() {
    Command(IDM_SPEAK);
    if (speech_.spoken.empty()) return -1;
    const std::string key = Narrow(speech_.spoken.back());
    for (int i = 0; i < static_cast<int>(std::size(kKeys)); ++i) {
      if (key == kKeys[i]) return i;
    }
    return -1;
  }

  FakeSpeech speech_;
};

TEST_F(TypingTest, TypingFollowsTheNearestKeyAndEnterShowsIt) {
  ClearInput();
  Type("boo");
  EXPECT_TRUE(ListShown());
  EXPECT_FALSE(PaneEnabled());
  // The cursor is on a key that begins with the typed text; the pane still
  // shows the first entry.
  EXPECT_GE(Current(), 12);
  EXPECT_LE(Current(), 14);
  EXPECT_EQ(PaneText(), "first\r\n");
  const int row = Current();
  EXPECT_LE(TopRow(), row);

  Key(VK_RETURN);
  EXPECT_FALSE(ListShown());
  EXPECT_TRUE(PaneEnabled());
  EXPECT_TRUE(AllSelected());
  EXPECT_EQ(InputText(), "boo");
  EXPECT_NE(PaneText(), "first\r\n");
  // The typed text is recorded, not the key it landed on.
  EXPECT_EQ(History(), std::vector<std::string>{"boo"});

  // A word in the book: Enter shows exactly its entry.
  Type("book");
  Key(VK_RETURN);
  EXPECT_EQ(Current(), 12);
  EXPECT_EQ(PaneText(), "pages bound together\r\n");
  EXPECT_EQ(History(), (std::vector<std::string>{"boo", "book"}));

  // Enter on an empty box records nothing.
  ClearInput();
  Key(VK_RETURN);
  EXPECT_EQ(History().size(), 2u);
}

TEST_F(TypingTest, EscHidesTheListAndTheNextCharacterShowsItAgain) {
  ClearInput();
  Type("c");
  EXPECT_TRUE(ListShown());
  Key(VK_ESCAPE);
  EXPECT_FALSE(ListShown());
  EXPECT_TRUE(PaneEnabled());
  Type("5");
  EXPECT_TRUE(ListShown());
  EXPECT_FALSE(PaneEnabled());
  EXPECT_EQ(InputText(), "c5");
  EXPECT_EQ(Current(), 19);
}

TEST_F(TypingTest, ArrowsStepThroughEntriesAndStopAtTheEnds) {
  ASSERT_EQ(Current(), 0);
  Key(VK_UP);
  EXPECT_EQ(Current(), 0);
  EXPECT_EQ(InputText(), "abc");
  Key(VK_DOWN);
  EXPECT_EQ(Current(), 1);
  EXPECT_EQ(InputText(), "about");
  EXPECT_TRUE(AllSelected());
  EXPECT_EQ(PaneText(), "near\r\n");
  // The toolbar's previous and next do the same.
  SendMessageA(Main(), WM_COMMAND, IDM_NEXT_ENTRY, 0);
  EXPECT_EQ(InputText(), "above");
  SendMessageA(Main(), WM_COMMAND, IDM_PREVIOUS_ENTRY, 0);
  EXPECT_EQ(InputText(), "about");
  // The change notification of the arrow's own text is skipped: the list
  // keeps its visibility.
  EXPECT_FALSE(ListShown());
  // At the last entry the down arrow stops.
  ClearInput();
  Type("zebra");
  ASSERT_EQ(Current(), 28);
  Key(VK_DOWN);
  EXPECT_EQ(Current(), 28);
  Key(VK_UP);
  EXPECT_EQ(InputText(), "d4");
  // Stepping while typing keeps the list up, scrolled to the new entry.
  Type("x");
  ASSERT_TRUE(ListShown());
  Key(VK_UP);
  EXPECT_TRUE(ListShown());
  EXPECT_EQ(History(), std::vector<std::string>{});
}

TEST_F(TypingTest, ClickingARowShowsItsEntryAndRecordsItsKey) {
  ClearInput();
  Type("bo");
  ASSERT_TRUE(ListShown());
  NMITEMACTIVATE click{};
  click.hdr.hwndFrom = WordList();
  click.hdr.idFrom = IDC_WORD_LIST;
  click.hdr.code = NM_CLICK;
  click.iItem = 14;
  SendMessageA(Main(), WM_NOTIFY, IDC_WORD_LIST, reinterpret_cast<LPARAM>(&click));
  Pump();
  EXPECT_EQ(InputText(), "boot");
  EXPECT_EQ(PaneText(), "a shoe\r\n");
  EXPECT_FALSE(ListShown());
  EXPECT_TRUE(PaneEnabled());
  EXPECT_EQ(GetFocus(), Input());
  EXPECT_TRUE(AllSelected());
  EXPECT_EQ(History(), std::vector<std::string>{"boot"});
  // A click beside the rows does nothing.
  click.iItem = -1;
  SendMessageA(Main(), WM_NOTIFY, IDC_WORD_LIST, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(InputText(), "boot");
}

TEST_F(TypingTest, DrawingTheListNeverMovesTheCursor) {
  ClearInput();
  Type("c3");
  const int current = Current();
  ASSERT_TRUE(ListShown());
  RedrawWindow(WordList(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  EXPECT_EQ(Current(), current);
  // A row's text comes from the book when asked for.
  char text[64] = {};
  LVITEMA item{};
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(WordList(), LVM_GETITEMTEXTA, 28, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "zebra");
  EXPECT_EQ(Current(), current);
  // Rows outside the book get no text.
  text[0] = 0;
  SendMessageA(WordList(), LVM_GETITEMTEXTA, 29, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(text, "");
}

TEST_F(TypingTest, AWordFromTheFindPanelIsLookedUp) {
  LookUp("booking");
  Pump();
  EXPECT_EQ(InputText(), "booking");
  EXPECT_EQ(PaneText(), "a reservation\r\n");
  EXPECT_FALSE(ListShown());
  EXPECT_TRUE(PaneEnabled());
  EXPECT_EQ(GetFocus(), Input());
  EXPECT_TRUE(AllSelected());
}

TEST_F(TypingTest, HistoryPopupPicksAWordAgain) {
  for (const char* word : {"abc", "zebra", "boot"}) {
    ClearInput();
    Type(word);
    Key(VK_RETURN);
  }
  ASSERT_EQ(History(), (std::vector<std::string>{"abc", "zebra", "boot"}));
  // Id 200 is the newest word, 201 the one before.
  SendMessageA(Main(), WM_COMMAND, IDM_HISTORY_FIRST + 1, 0);
  Pump();
  EXPECT_EQ(InputText(), "zebra");
  EXPECT_EQ(PaneText(), "stripes\r\n");
  EXPECT_FALSE(ListShown());
  // Picking does not record the word again; an id past the list does nothing.
  EXPECT_EQ(History().size(), 3u);
  SendMessageA(Main(), WM_COMMAND, IDM_HISTORY_FIRST + 5, 0);
  EXPECT_EQ(InputText(), "zebra");
}

}  // namespace
}  // namespace quill::testing
