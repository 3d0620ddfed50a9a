// The find panel as a user meets it: typing words, pressing Enter or Find,
// reading the result rows and picking them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "resources/ids.h"
#include "shell/shell_fixture.h"
#include "support/test_books.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;
const Strings kNothingFound = {"No records found!"};

// A text of the book in the ANSI code page, as the panel lists it.
std::string Ansi(const std::u16string& text) {
  char out[512] = {};
  WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(text.c_str()), -1, out,
                      sizeof out, nullptr, nullptr);
  return out;
}

// Keys sorted as a book holds them; the last two differ only in the case of
// a letter outside A to Z.
std::vector<BookEntry> WordsBook() {
  return {{u"Apple", u"a red fruit"},
          {u"grape", u"a small fruit"},
          {u"red giant", u"a large old star"},
          {u"star", u"a hot ball of gas"},
          {u"sun", u"the star at the centre, a giant"},
          {u"\u00c4ra", u"an era"},
          {u"\u00e4pfel", u"German for apples"}};
}

struct Search {
  std::string text;
  Strings rows;
};

class FindPanelTest : public ShellTest {
 protected:
  // Starts with entries as deflex_a and the find panel shown.
  void StartWith(const std::vector<BookEntry>& entries) {
    StartWithBook(entries);
    Command(IDM_FIND_PANEL);
    ASSERT_TRUE(IsWindowVisible(Panel().hwnd));
  }
  // The panel's controls, as the user meets them.
  struct PanelControls {
    HWND hwnd;
    HWND findEdit;
    HWND findButton;
    HWND resultList;
  };
  PanelControls Panel() {
    const HWND panel = FindPanel();
    return {panel, GetDlgItem(panel, IDC_FIND_EDIT), GetDlgItem(panel, IDC_FIND_BUTTON),
            GetDlgItem(panel, IDC_RESULT_LIST)};
  }
  // The entry after the book's cursor, shown by the down arrow; the up arrow
  // goes back. Tells where the cursor is without moving it in the end.
  std::string KeyAfterCursor() {
    SendMessageA(Main(), WM_KEYDOWN, VK_DOWN, 0);
    const std::string next = InputText();
    SendMessageA(Main(), WM_KEYDOWN, VK_UP, 0);
    Pump();
    return next;
  }

  // Types into the find box as the keyboard does, so that its length limit
  // applies.
  void Type(const std::string& text) {
    SendMessageA(Panel().findEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    for (const char c : text) {
      SendMessageA(Panel().findEdit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
  }
  void PressEnter() {
    SendMessageA(Panel().findEdit, WM_KEYDOWN, VK_RETURN, 1);
    Pump();
  }
  void PressFind() {
    SendMessageA(Panel().findButton, BM_CLICK, 0, 0);
    Pump();
  }
  Strings SearchFor(const std::string& text) {
    SendMessageA(Panel().findEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    PressEnter();
    return Rows();
  }
  void ExpectSearches(const std::vector<Search>& searches) {
    for (const Search& s : searches) {
      EXPECT_EQ(SearchFor(s.text), s.rows) << s.text.size() << " bytes: " << s.text;
    }
  }

  Strings Rows() {
    Strings rows;
    const auto count = static_cast<int>(SendMessageA(Panel().resultList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char row[512] = {};
      SendMessageA(Panel().resultList, LB_GETTEXT, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(row));
      rows.push_back(row);
    }
    return rows;
  }
  // Clicks a row with the mouse.
  void ClickRow(int row) {
    RECT rect = {};
    SendMessageA(Panel().resultList, LB_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(Panel().resultList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(Panel().resultList, WM_LBUTTONUP, 0, at);
    Pump();
  }
  void ListKey(WPARAM key) {
    SendMessageA(Panel().resultList, WM_KEYDOWN, key, 1);
    Pump();
  }
};

TEST_F(FindPanelTest, EnterAndTheFindButtonGiveTheSameList) {
  StartWith(WordsBook());
  // A second search replaces the rows rather than adding to them.
  for (const auto& [text, rows] : {std::pair{"fruit", Strings{"grape", "Apple"}},
                                   std::pair{"nothing like it", kNothingFound}}) {
    Type(text);
    PressEnter();
    EXPECT_EQ(Rows(), rows) << text;
    PressFind();
    EXPECT_EQ(Rows(), rows) << text;
  }
}

TEST_F(FindPanelTest, TextsUpToEightyBytesAreSearchedWholeLongerOnesNot) {
  const std::string a39(39, 'a');
  const std::string a79(79, 'a');
  const std::string a80(80, 'a');
  StartWith({{u"long a", U16(a79 + "z")},
             {u"long b", U16(a79 + "y")},
             {u"long c", U16(a80 + "z")},
             {u"short", U16(std::string(58, 'a'))}});
  ExpectSearches({
      // 80 bytes: the whole term, not its first dozen letters, which every
      // entry holds.
      {a79 + "z", {"long c", "long a"}},
      // Two terms of 80 bytes together, each searched whole.
      {a39 + " " + a39 + "y", {"long b"}},
      // 81 bytes: refused; the list stays empty, not even "No records found!".
      {a80 + "z", {}},
      {"", {}},
  });
  // The box takes no more than 80 bytes from the keyboard: the 81st letter
  // never arrives, and what is there is searched.
  Type(a79 + "zq");
  EXPECT_EQ(Text(Panel().findEdit), a79 + "z");
  PressEnter();
  EXPECT_EQ(Rows(), (Strings{"long c", "long a"}));
}

TEST_F(FindPanelTest, CapitalsFoldOnlyForAToZAndTwoWordsAreAnAndInEitherOrder) {
  StartWith(WordsBook());
  const std::string upperA = Ansi(u"\u00c4");
  const std::string lowerA = Ansi(u"\u00e4");
  ASSERT_NE(upperA, "?");
  ASSERT_NE(lowerA, "?");
  const std::string apfel = Ansi(u"\u00e4pfel");
  ExpectSearches({
      {"apple", {apfel, "Apple"}},
      {"APPLE", {apfel, "Apple"}},
      {"aPpLe", {apfel, "Apple"}},
      {"GERMAN", {apfel}},
      // Accented capitals are not small letters.
      {upperA, {Ansi(u"\u00c4ra")}},
      {lowerA, {apfel}},
      {upperA + "PFEL", kNothingFound},
      {"star", {"sun", "star", "red giant"}},
      // "red giant" holds giant in its key and star in its content.
      {"giant star", {"sun", "red giant"}},
      {"star giant", {"sun", "red giant"}},
      {"red giant", {"red giant"}},
      {"star fruit", kNothingFound},
      // Only the first space splits: the second word is "large old star".
      {"a large old star", {"red giant"}},
      {"a star old", kNothingFound},
      // A trailing space adds an empty word that every entry holds.
      {"star ", {"sun", "star", "red giant"}},
      {"fruit ", {"grape", "Apple"}},
  });
}

TEST_F(FindPanelTest, AThousandMatchesListTheFirstThreeHundredLastFirst) {
  std::vector<BookEntry> entries;
  for (int i = 0; i < 1000; ++i) {
    char key[16];
    std::snprintf(key, sizeof key, "entry%04d", i);
    entries.push_back({U16(key), u"a common word"});
  }
  StartWith(entries);
  const Strings rows = SearchFor("COMMON");
  ASSERT_EQ(rows.size(), 300u);
  EXPECT_EQ(rows.front(), "entry0299");
  EXPECT_EQ(rows[1], "entry0298");
  EXPECT_EQ(rows.back(), "entry0000");
}

TEST_F(FindPanelTest, SearchLeavesTheMainWindowAsItWasAndPickingARowLooksItsKeyUp) {
  StartWith(WordsBook());
  // Show an entry in the middle of the book first.
  LookUp("star");
  Pump();
  const std::string pane = PaneText();
  const std::string input = InputText();
  const auto top = SendMessageA(WordList(), LVM_GETTOPINDEX, 0, 0);
  ASSERT_EQ(pane, "a hot ball of gas\r\n");

  for (const char* text : {"fruit", "giant star", "no such word"}) {
    SearchFor(text);
    EXPECT_EQ(PaneText(), pane) << text;
    EXPECT_EQ(InputText(), input) << text;
    EXPECT_EQ(SendMessageA(WordList(), LVM_GETTOPINDEX, 0, 0), top) << text;
    EXPECT_FALSE(ListShown()) << text;
    EXPECT_TRUE(PaneEnabled()) << text;
    // The book's cursor stayed on "star".
    EXPECT_EQ(KeyAfterCursor(), "sun") << text;
    EXPECT_EQ(PaneText(), pane) << text;
  }
  // "No records found!" picked: nothing is looked up.
  ClickRow(0);
  EXPECT_EQ(InputText(), input);
  EXPECT_EQ(PaneText(), pane);

  // Any other row: its entry shown.
  LookUp("grape");
  Pump();
  EXPECT_EQ(SearchFor("star"), (Strings{"sun", "star", "red giant"}));
  ClickRow(1);
  EXPECT_EQ(InputText(), "star");
  EXPECT_EQ(PaneText(), "a hot ball of gas\r\n");
  EXPECT_TRUE(PaneEnabled());
  EXPECT_FALSE(ListShown());
  // The rows stay for the next pick, and the arrow keys walk them, each row
  // looked up in turn.
  EXPECT_EQ(GetFocus(), Panel().resultList);
  ListKey(VK_DOWN);
  EXPECT_EQ(InputText(), "red giant");
  EXPECT_EQ(PaneText(), "a large old star\r\n");
  ListKey(VK_HOME);
  ListKey(VK_DOWN);
  EXPECT_EQ(InputText(), "star");
  EXPECT_EQ(Rows(), (Strings{"sun", "star", "red giant"}));
}

TEST_F(FindPanelTest, OpenFileCommandEmptiesTheBoxAndTheList) {
  StartWith(WordsBook());
  const std::string other = MakeBook("other.xqb", u"Other", {"kiwi=a fruit"});
  // Cancelled, then another book chosen: the same.
  for (const DialogAnswerer::Answer& answer :
       {DialogAnswerer::Answer(DialogAnswerer::PressCancel), DialogAnswerer::ChooseFile(other)}) {
    Type("fruit");
    PressEnter();
    ASSERT_FALSE(Rows().empty());
    dialogs_->Queue(answer);
    Command(IDM_OPEN_BOOK);
    EXPECT_EQ(Text(Panel().findEdit), "");
    EXPECT_EQ(Rows(), Strings{});
  }
  EXPECT_EQ(SearchFor("fruit"), Strings{"kiwi"});
}

TEST_F(FindPanelTest, ClosedBookListsNothingFoundAndReadsNothing) {
  StartWith(WordsBook());
  // A file that is no book, chosen in the open-file dialog: the error, and
  // no book is open.
  const std::string notABook = Folder() + "\\notes.xqb";
  FILE* file = std::fopen(notABook.c_str(), "wb");
  std::fputs("just some notes", file);
  std::fclose(file);
  dialogs_->Queue(DialogAnswerer::ChooseFile(notABook));
  Command(IDM_OPEN_BOOK);
  EXPECT_EQ(DialogTexts().back(), "ERROR: Xqb File open error.");
  ASSERT_EQ(StatusText(), "");

  EXPECT_EQ(SearchFor("star"), kNothingFound);
  ClickRow(0);
  EXPECT_EQ(PaneText(), "\r\n <Not Found!>");
}

TEST_F(FindPanelTest, MovePlacesTheControlsForTheClientSize) {
  StartWith(WordsBook());
  const PanelControls panel = Panel();
  EXPECT_EQ(Text(panel.findButton), "Find");
  // Each control's left, top, width and height in its parent.
  const auto place = [](HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  };
  for (const int height : {500, 400}) {
    SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(height + 200, height));
    EXPECT_EQ(place(panel.hwnd), (std::vector<LONG>{3, 35, 200, height - 55})) << height;
    EXPECT_EQ(place(panel.findEdit), (std::vector<LONG>{5, 5, 185, 25})) << height;
    EXPECT_EQ(place(panel.findButton), (std::vector<LONG>{65, 40, 65, 20})) << height;
    // The list box keeps whole rows: it ends at most one row above the
    // height asked for.
    const std::vector<LONG> list = place(panel.resultList);
    const auto row = static_cast<LONG>(SendMessageA(panel.resultList, LB_GETITEMHEIGHT, 0, 0));
    EXPECT_EQ(std::vector<LONG>(list.begin(), list.begin() + 3), (std::vector<LONG>{5, 70, 185}))
        << height;
    EXPECT_LE(list[3], height - 125) << height;
    EXPECT_GT(list[3], height - 125 - row) << height;
  }
}


// "All books": the open book, the shelf's books present, the user's own
// books, each once, their rows book by book.
class AllBooksTest : public FindPanelTest {
 protected:
  void SetUp() override {
    FindPanelTest::SetUp();
    MakeBook("gcide.xqb", u"GCIDE", {"nova=a star that flares", "stare=to look"});
    MakeBook("jargon.xqb", u"Jargon", {"starfish=a slow hacker"});
    // A file of the shelf that is not a book.
    FILE* file = std::fopen((Folder() + "\\vera.xqb").c_str(), "wb");
    std::fputs("not a book", file);
    std::fclose(file);
    // The user's books: one of their own, and the shelf's WordNet again
    // under another folder's name is another file, so it counts.
    mine_ = Folder() + "\\mine";
    CreateDirectoryA(mine_.c_str(), nullptr);
    options_.convertedBooksFolder = Wide(mine_);
    BookLayout layout;
    layout.title = u"Mine";
    const std::vector<std::uint8_t> image = BuildImage(Entries({"lodestar=a guide"}), layout);
    file = std::fopen((mine_ + "\\mine.xqb").c_str(), "wb");
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
    StartWith(WordsBook());
  }
  HWND Box() { return GetDlgItem(Panel().hwnd, IDC_ALL_BOOKS); }
  void CheckAllBooks(bool on) {
    if ((SendMessageA(Box(), BM_GETCHECK, 0, 0) == BST_CHECKED) != on) SendMessageA(Box(), BM_CLICK, 0, 0);
    Pump();
  }
  // The rows once the search has ended.
  Strings FinalRows() {
    for (int wait = 0; wait < 500; ++wait) {
      const Strings rows = Rows();
      if (rows.empty() || rows.back().rfind("Searching", 0) != 0) return rows;
      Sleep(10);
      Pump();
    }
    return Rows();
  }
  static std::string Row(const char* key, const char* title) {
    return std::string(key) + Ansi(u" \u2014 ") + title;
  }
  std::string mine_;
};

TEST_F(AllBooksTest, TheBoxOffChangesNothingOnSearchesEveryBook) {
  EXPECT_NE(Box(), nullptr);
  EXPECT_EQ(SendMessageA(Box(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // Its text is whole in its place, left of the Find button.
  const std::string label = Text(Box());
  EXPECT_TRUE(label == "All books" || label == "All") << label;
  RECT box;
  GetWindowRect(Box(), &box);
  RECT button;
  GetWindowRect(Panel().findButton, &button);
  EXPECT_LE(box.right, button.left);

  EXPECT_EQ(SearchFor("star"), (Strings{"sun", "star", "red giant"}));
  CheckAllBooks(true);
  SearchFor("star");
  EXPECT_EQ(FinalRows(), (Strings{Row("red giant", "Default A"), Row("star", "Default A"),
                                  Row("sun", "Default A"), Row("nova", "GCIDE"), Row("stare", "GCIDE"),
                                  Row("starfish", "Jargon"), Row("lodestar", "Mine"),
                                  "1 book could not be searched: vera.xqb"}));
  SearchFor("zqxjkv");
  EXPECT_EQ(FinalRows(), (Strings{"No records found!", "1 book could not be searched: vera.xqb"}));
  CheckAllBooks(false);
  EXPECT_EQ(SearchFor("star"), (Strings{"sun", "star", "red giant"}));
}

TEST_F(AllBooksTest, APickOpensItsBookAtItsEntry) {
  CheckAllBooks(true);
  SearchFor("star");
  const Strings rows = FinalRows();
  ASSERT_EQ(rows.size(), 8u);
  ClickRow(4);  // stare, in GCIDE
  EXPECT_EQ(StatusText(), "GCIDE");
  EXPECT_EQ(InputText(), "stare");
  EXPECT_EQ(PaneText(), "to look\r\n");
  // The rows stay; one of the open book looks up without opening anything.
  EXPECT_EQ(Rows(), rows);
  ClickRow(3);
  EXPECT_EQ(StatusText(), "GCIDE");
  EXPECT_EQ(InputText(), "nova");
  ClickRow(6);  // the user's own book
  EXPECT_EQ(StatusText(), "Mine");
  EXPECT_EQ(InputText(), "lodestar");
  ClickRow(0);
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(InputText(), "red giant");
  // The failure row and a row past the rows pick nothing.
  ClickRow(7);
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(InputText(), "red giant");
}

TEST_F(AllBooksTest, ANewSearchLeavesOnlyItsOwnRows) {
  CheckAllBooks(true);
  for (int round = 0; round < 5; ++round) {
    // The first search is still running (or just done) when the next starts.
    SendMessageA(Panel().findEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("star"));
    SendMessageA(Panel().findEdit, WM_KEYDOWN, VK_RETURN, 1);
    SendMessageA(Panel().findEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("guide"));
    SendMessageA(Panel().findEdit, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(FinalRows(), (Strings{Row("lodestar", "Mine"), "1 book could not be searched: vera.xqb"}));
  }
  // Esc in the box stops a search: whatever was found stays, and nothing
  // more comes.
  SendMessageA(Panel().findEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("star"));
  SendMessageA(Panel().findEdit, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageA(Panel().findEdit, WM_KEYDOWN, VK_ESCAPE, 1);
  const Strings stopped = Rows();
  Sleep(100);
  Pump();
  EXPECT_EQ(Rows(), stopped);
  for (const std::string& row : stopped) EXPECT_EQ(row.rfind("Searching", 0), std::string::npos);
  // So does hiding the panel.
  SendMessageA(Panel().findEdit, WM_KEYDOWN, VK_RETURN, 1);
  Command(IDM_FIND_PANEL);
  EXPECT_FALSE(IsWindowVisible(Panel().hwnd));
  const Strings hidden = Rows();
  Sleep(100);
  Pump();
  EXPECT_EQ(Rows(), hidden);
  for (const std::string& row : hidden) EXPECT_EQ(row.rfind("Searching", 0), std::string::npos);
}

}  // namespace
}  // namespace quill::testing
