// The book-shelf tree: its items, and the books that selecting them opens.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "books/shelf_table.h"
#include "resources/ids.h"
#include "win/scoped_win.h"
#include "shell/shell_fixture.h"
#include "support/test_books.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;

class ShelfTreeTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    StartWithBook(Entries({"Alpha=first letter", "beta=second letter"}));
  }

  HTREEITEM Next(HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Tree(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  }
  HTREEITEM Selected() { return Next(nullptr, TVGN_CARET); }
  std::vector<HTREEITEM> Children(HTREEITEM parent) {
    std::vector<HTREEITEM> items;
    for (HTREEITEM i = Next(parent, TVGN_CHILD); i; i = Next(i, TVGN_NEXT)) items.push_back(i);
    return items;
  }
  // The items as the shelf lays them out: the root, its categories, each
  // category's books in the table's order, and the current book last.
  HTREEITEM Root() { return Next(nullptr, TVGN_ROOT); }
  HTREEITEM Leaf(std::size_t row) {
    const auto category = static_cast<std::size_t>(ShelfTable[row].category);
    std::size_t before = 0;
    for (std::size_t r = 0; r < row; ++r) before += ShelfTable[r].category == ShelfTable[row].category;
    return Children(Children(Root())[category])[before];
  }
  HTREEITEM CurrentBookItem() {
    const std::vector<HTREEITEM> top = Children(Root());
    return top.size() > static_cast<std::size_t>(kShelfCategoryCount) ? top.back() : nullptr;
  }
  // An item as one line: indent by depth, text, image letters (Book, Open
  // book, Folder) for normal and selected, and "+" when expanded.
  std::string Look(HTREEITEM item, int depth = 0) {
    char text[256] = {};
    TVITEMA record{};
    record.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    record.hItem = item;
    record.pszText = text;
    record.cchTextMax = sizeof text;
    record.stateMask = TVIS_EXPANDED;
    EXPECT_TRUE(SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record)));
    const auto letter = [](int image) { return image >= 0 && image < 3 ? "BOF"[image] : '?'; };
    return std::string(static_cast<std::size_t>(depth) * 2, ' ') + text + " " +
           letter(record.iImage) + letter(record.iSelectedImage) +
           ((record.state & TVIS_EXPANDED) != 0 ? "+" : "");
  }
  // Every item under parent (the whole tree for none), depth first.
  void Walk(HTREEITEM parent, int depth, Strings* lines) {
    for (HTREEITEM i = Next(parent, parent ? TVGN_CHILD : TVGN_ROOT); i; i = Next(i, TVGN_NEXT)) {
      lines->push_back(Look(i, depth));
      Walk(i, depth + 1, lines);
    }
  }
  // Selects the item as a click does: the tree tells the panel at once.
  void Select(HTREEITEM item) {
    SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Pump();
  }
  void Key(HWND window, WPARAM key) {
    SendMessageA(window, WM_KEYDOWN, key, 0);
    Pump();
  }
  void OpenFile(const std::string& path) {
    dialogs_->Queue(DialogAnswerer::ChooseFile(path));
    Command(IDM_OPEN_BOOK);
  }

  // Every book of the shelf, titled as the shelf names it, in a folder of
  // its own; each book's one entry names its file.
  std::string MakeShelf() {
    const std::string folder = Folder() + "\\shelf";
    std::filesystem::create_directories(folder);
    for (const ShelfRow& row : ShelfTable) WriteBookAt(folder + "\\" + row.file, row.title);
    return folder;
  }
  static void WriteBookAt(const std::string& path, const std::string& title,
                          std::size_t cutTo = 0) {
    BookLayout layout;
    layout.title = U16(title);
    const std::string entry = "k=book " + title;
    std::vector<std::uint8_t> image = BuildImage(Entries({entry.c_str()}), layout);
    if (cutTo != 0) image.resize(cutTo);
    std::ofstream file(path, std::ios::binary);
    ASSERT_TRUE(file.write(reinterpret_cast<const char*>(image.data()),
                           static_cast<std::streamsize>(image.size())))
        << path;
  }
  // Steps the main window off entry 0, so that any reopen would show.
  void StepToBeta() {
    Key(Main(), VK_DOWN);
    ASSERT_EQ(InputText(), "beta");
  }
};

TEST_F(ShelfTreeTest, StartUpShowsTheWholeShelfAndTheCurrentBookLast) {
  EXPECT_EQ(SendMessageA(Tree(), TVM_GETCOUNT, 0, 0), 23);
  EXPECT_EQ(Selected(), nullptr);
  // Learning and Life start closed.
  Strings wanted = {"BookShelf FF+"};
  for (int c = 0; c < kShelfCategoryCount; ++c) {
    wanted.push_back(std::string("  ") + kShelfCategoryNames[static_cast<std::size_t>(c)] +
                     (c < 2 ? " FF+" : " FF"));
    for (const ShelfRow& row : ShelfTable) {
      if (static_cast<int>(row.category) != c) continue;
      wanted.push_back(std::string("    ") + row.title + " BO");
    }
  }
  wanted.push_back("  Default A BO");
  Strings lines;
  Walk(nullptr, 0, &lines);
  EXPECT_EQ(lines, wanted);
}

TEST_F(ShelfTreeTest, ImagesAreThreeCellsWithGreenSeenThrough) {
  const auto images =
      reinterpret_cast<HIMAGELIST>(SendMessageA(Tree(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(std::make_pair(width, height), std::make_pair(IMG_TREE_WIDTH, IMG_TREE_HEIGHT));
  // Drawn on red, each cell's green corner shows the red; its middle does
  // not.
  ScopedGetDC screen(nullptr);
  ScopedMemDC dc(screen);
  ScopedBitmap canvas(CreateCompatibleBitmap(screen, IMG_TREE_WIDTH, IMG_TREE_HEIGHT));
  ScopedSelect selected(dc, canvas);
  ScopedBrush red(CreateSolidBrush(RGB(255, 0, 0)));
  for (int cell = 0; cell < 3; ++cell) {
    SCOPED_TRACE(cell);
    RECT all = {0, 0, IMG_TREE_WIDTH, IMG_TREE_HEIGHT};
    FillRect(dc, &all, red);
    ASSERT_TRUE(ImageList_Draw(images, cell, dc, 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    const COLORREF middle = GetPixel(dc, IMG_TREE_WIDTH / 2, IMG_TREE_HEIGHT / 2);
    EXPECT_TRUE(middle != RGB(255, 0, 0) && middle != RGB(0, 255, 0)) << middle;
  }
}

TEST_F(ShelfTreeTest, RootAndCategoriesOpenNothing) {
  StepToBeta();
  Select(Root());
  for (int c = 0; c < kShelfCategoryCount; ++c) Select(Children(Root())[static_cast<std::size_t>(c)]);
  Select(Root());
  EXPECT_EQ(Selected(), Root());
  EXPECT_EQ(InputText(), "beta");
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(DialogTexts(), Strings{});
}

TEST_F(ShelfTreeTest, EveryLeafOpensItsBookFromTheFolderInstalledNow) {
  // The installation moves after start-up: the books open from the new
  // place.
  const std::string shelf = MakeShelf();
  SetInstallFolder(shelf);
  for (std::size_t row = 0; row < kShelfRowCount; ++row) {
    SCOPED_TRACE(ShelfTable[row].file);
    Select(Leaf(row));
    EXPECT_EQ(StatusText(), ShelfTable[row].title);
    EXPECT_EQ(InputText(), "k");
    EXPECT_EQ(PaneText(), std::string("book ") + ShelfTable[row].title + "\r\n");
  }
  EXPECT_EQ(DialogTexts(), Strings{});

  // A setting that cannot be read leaves the folder read last: the book
  // still opens from the shelf folder.
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsPath, "InstallPath");
  Select(Leaf(0));
  EXPECT_EQ(StatusText(), ShelfTable[0].title);
  EXPECT_EQ(PaneText(), std::string("book ") + ShelfTable[0].title + "\r\n");
  // No shelf book becomes the book remembered.
  EXPECT_EQ(RememberedBookAtExit(), Folder() + "\\deflex_a.xqb");
}

TEST_F(ShelfTreeTest, CurrentBookItemReopensTheBookOfBookPath) {
  SetInstallFolder(MakeShelf());
  const HTREEITEM jargon = Leaf(4);
  ASSERT_STREQ(ShelfTable[4].title, "Jargon File");
  // The current book after a shelf book; then a book from the open-file
  // command becomes the current book: the item takes its title (no item is
  // added) and reopens it, after a shelf book too.
  const std::string mine = MakeBook("mine.xqb", u"My Own Book", {"zebra=stripes"});
  struct Case {
    std::string opened;  // by the open-file command first, if any
    std::string title;
    const char* firstKey;
  };
  for (const Case& c : {Case{"", "Default A", "Alpha"}, Case{mine, "My Own Book", "zebra"}}) {
    SCOPED_TRACE(c.title);
    if (!c.opened.empty()) OpenFile(c.opened);
    EXPECT_EQ(StatusText(), c.title);
    EXPECT_EQ(Look(CurrentBookItem()), c.title + " BO");
    EXPECT_EQ(SendMessageA(Tree(), TVM_GETCOUNT, 0, 0), 23);
    Select(jargon);
    EXPECT_EQ(StatusText(), "Jargon File");
    Select(CurrentBookItem());
    EXPECT_EQ(StatusText(), c.title);
    EXPECT_EQ(InputText(), c.firstKey);
  }

  // A chosen file that is no book: no book is open, and the item, like the
  // status bar, names none; the shelf still opens its books.
  const std::string broken = Folder() + "\\broken.xqb";
  WriteBookAt(broken, "Broken", 520);
  OpenFile(broken);
  EXPECT_EQ(DialogTexts().back(), "ERROR: Xqb File open error.");
  EXPECT_EQ(Look(CurrentBookItem()), " BO");
  Select(jargon);
  EXPECT_EQ(StatusText(), "Jargon File");
  EXPECT_EQ(InputText(), "k");
  // The book chosen last is the one remembered, even one that failed.
  EXPECT_EQ(RememberedBookAtExit(), broken);
}

TEST_F(ShelfTreeTest, ArrowKeysOpenEachBookThatTheSelectionPasses) {
  SetInstallFolder(MakeShelf());
  Select(Leaf(0));
  SetFocus(Tree());
  Strings seen;
  for (int step = 0; step < 12; ++step) {
    Key(Tree(), VK_DOWN);
    seen.push_back(Look(Selected()) + " -> " + StatusText());
  }
  // Categories open nothing: the book passed last stays open; "Learning"
  // and "Life" are closed, so their books are not passed.
  EXPECT_EQ(seen, (Strings{"GCIDE English BO -> GCIDE English",
                           "English-German BO -> English-German",
                           "German-English BO -> German-English",
                           "Professional FF+ -> German-English", "Jargon File BO -> Jargon File",
                           "Computer Acronyms BO -> Computer Acronyms",
                           "FOLDOC Computing BO -> FOLDOC Computing",
                           "Learning FF -> FOLDOC Computing", "Life FF -> FOLDOC Computing",
                           "Default A BO -> Default A", "Default A BO -> Default A",
                           "Default A BO -> Default A"}));
  Key(Tree(), VK_UP);
  Key(Tree(), VK_UP);
  EXPECT_EQ(Look(Selected()), "Learning FF");
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(DialogTexts(), Strings{});
}

TEST_F(ShelfTreeTest, TreeFillsThePanelAfterEveryResize) {
  // The tree's size and the panel's place and size, heights less the
  // client height.
  const auto layout = [&] {
    RECT client;
    GetClientRect(Main(), &client);
    RECT tree;
    GetWindowRect(Tree(), &tree);
    const RECT panel = ChildRect(ShelfPanel());
    return std::vector<LONG>{tree.right - tree.left, tree.bottom - tree.top - client.bottom,
                             panel.left, panel.top, panel.right - panel.left,
                             panel.bottom - panel.top - client.bottom};
  };
  const std::vector<LONG> wanted = {195, -60, 3, 35, 200, -55};
  for (const SIZE& size : {SIZE{640, 480}, SIZE{900, 760}, SIZE{420, 300}, SIZE{800, 600}}) {
    SetWindowPos(Main(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(layout(), wanted) << size.cx << "x" << size.cy;
  }
  // Hidden and shown again with the toolbar button, at the same size.
  Command(IDM_BOOK_SHELF);
  Command(IDM_BOOK_SHELF);
  EXPECT_TRUE(IsWindowVisible(Tree()));
  EXPECT_EQ(layout(), wanted);
}

TEST_F(ShelfTreeTest, ABookThatDoesNotOpenGivesTheMessageAndThePreviousBook) {
  const std::string shelf = MakeShelf();
  // Cut just after the header: the indexes are missing.
  WriteBookAt(shelf + "\\" + ShelfTable[5].file, ShelfTable[5].title, 520);
  std::filesystem::remove(shelf + "\\" + ShelfTable[4].file);
  // A folder that fits the setting, but not with a file name behind it.
  const std::string tooLong = shelf + "\\" + std::string(250 - shelf.size(), 'd');
  ASSERT_LT(tooLong.size(), 260u);
  // Exactly 259 characters do fit: that book opens.
  const std::string rimFolder =
      shelf + "\\" + std::string(259 - shelf.size() - 2 - std::strlen(ShelfTable[6].file), 'r');
  ASSERT_TRUE(CreateDirectoryA(rimFolder.c_str(), nullptr)) << GetLastError();
  WriteBookAt(rimFolder + "\\" + ShelfTable[6].file, "At The Rim");
  ASSERT_EQ(rimFolder.size() + 1 + std::strlen(ShelfTable[6].file), 259u);

  struct Case {
    const char* what;
    std::string folder;
    std::size_t row;
    const char* status;  // after the attempt
    std::size_t messages;
  };
  const Case cases[] = {
      {"missing", shelf, 4, "Default A", 1},
      {"damaged", shelf, 5, "Default A", 2},
      {"path over 259", tooLong, 6, "Default A", 3},
      {"path of 259", rimFolder, 6, "At The Rim", 3},
      {"intact", shelf, 7, ShelfTable[7].title, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Select(Root());
    StepToBeta();
    SetInstallFolder(c.folder);
    Select(Leaf(c.row));
    EXPECT_EQ(DialogTexts().size(), c.messages);
    EXPECT_EQ(DialogTexts().back(), "ERROR: Xqb File open error.");
    EXPECT_EQ(StatusText(), c.status);
    // The failed item stays selected; the window goes on working.
    EXPECT_EQ(Selected(), Leaf(c.row));
    if (std::string(c.status) == "Default A") {
      EXPECT_EQ(InputText(), "Alpha");
      StepToBeta();
      EXPECT_EQ(PaneText(), "second letter\r\n");
    }
    SetInstallFolder(Folder());
    Select(Root());
    Select(Leaf(0));
    EXPECT_EQ(StatusText(), "Default A");
  }
  EXPECT_EQ(RememberedBookAtExit(), Folder() + "\\deflex_a.xqb");
}

}  // namespace
}  // namespace quill::testing
