// The book-shelf tree: its items, and the books that selecting them opens.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "books/shelf_table.h"
#include "resources/ids.h"
#include "shell/scoped_win.h"
#include "shell/shell_fixture.h"
#include "support/test_books.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;

struct ItemLook {
  std::string text;
  int image;
  int selectedImage;
  bool expanded;
  HTREEITEM firstChild;
};

class ShelfTreeTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    MakeBook("deflex_a.xqb", u"Default A", {"Alpha=first letter", "beta=second letter"});
    SetInstallFolder(Folder());
    ASSERT_EQ(Start(), 1);
  }

  HWND Tree() { return Window().shelfPanel.tree; }
  TreeSubWnd& Panel() { return Window().shelfPanel; }

  ItemLook Look(HTREEITEM item) {
    char text[256] = {};
    TVITEMA record{};
    record.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
    record.hItem = item;
    record.pszText = text;
    record.cchTextMax = sizeof text;
    record.stateMask = TVIS_EXPANDED;
    EXPECT_TRUE(SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&record)));
    return {text, record.iImage, record.iSelectedImage, (record.state & TVIS_EXPANDED) != 0,
            Next(item, TVGN_CHILD)};
  }
  HTREEITEM Next(HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(Tree(), TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
  }
  std::vector<HTREEITEM> Children(HTREEITEM parent) {
    std::vector<HTREEITEM> items;
    for (HTREEITEM i = Next(parent, TVGN_CHILD); i != nullptr; i = Next(i, TVGN_NEXT)) {
      items.push_back(i);
    }
    return items;
  }
  HTREEITEM Selected() { return Next(nullptr, TVGN_CARET); }
  // Selects the item as a click does: the tree tells the panel at once.
  void Select(HTREEITEM item) {
    SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    Pump();
  }
  void Key(WPARAM key) {
    SendMessageA(Tree(), WM_KEYDOWN, key, 0);
    Pump();
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
    const std::string entry = std::string("k") + "=book " + title;
    std::vector<std::uint8_t> image = BuildImage(Entries({entry.c_str()}), layout);
    if (cutTo != 0) image.resize(cutTo);
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(image.data(), 1, image.size(), file);
    std::fclose(file);
  }
  // Steps the main window off entry 0, so that any reopen would show.
  void StepToBeta() {
    SendMessageA(Window().hwnd, WM_KEYDOWN, VK_DOWN, 0);
    Pump();
    ASSERT_EQ(InputText(), "beta");
  }
};

TEST_F(ShelfTreeTest, StartUpShowsTheWholeShelfAndTheCurrentBookLast) {
  HWND tree = Tree();
  char className[64] = {};
  GetClassNameA(tree, className, sizeof className);
  EXPECT_STREQ(className, "SysTreeView32");
  EXPECT_EQ(Text(tree), "TreeSubWnd");
  EXPECT_EQ(GetParent(tree), Panel().hwnd);
  const LONG_PTR style = GetWindowLongPtrA(tree, GWL_STYLE);
  const LONG_PTR wanted = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                          TVS_LINESATROOT;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 23);
  EXPECT_EQ(Selected(), nullptr);

  const HTREEITEM root = Next(nullptr, TVGN_ROOT);
  EXPECT_EQ(root, Panel().rootItem);
  EXPECT_EQ(Next(root, TVGN_NEXT), nullptr);
  const ItemLook rootLook = Look(root);
  EXPECT_EQ(rootLook.text, "BookShelf");
  EXPECT_EQ(rootLook.image, IMG_TREE_FOLDER);
  EXPECT_EQ(rootLook.selectedImage, IMG_TREE_FOLDER);
  EXPECT_TRUE(rootLook.expanded);

  const std::vector<HTREEITEM> top = Children(root);
  ASSERT_EQ(top.size(), 5u);
  const bool expanded[] = {true, true, false, false};
  std::size_t row = 0;
  for (int c = 0; c < kShelfCategoryCount; ++c) {
    SCOPED_TRACE(kShelfCategoryNames[static_cast<std::size_t>(c)]);
    EXPECT_EQ(top[static_cast<std::size_t>(c)], Panel().categoryItems[c]);
    const ItemLook category = Look(top[static_cast<std::size_t>(c)]);
    EXPECT_EQ(category.text, kShelfCategoryNames[static_cast<std::size_t>(c)]);
    EXPECT_EQ(category.image, IMG_TREE_FOLDER);
    EXPECT_EQ(category.selectedImage, IMG_TREE_FOLDER);
    EXPECT_EQ(category.expanded, expanded[c]);
    for (HTREEITEM leaf : Children(top[static_cast<std::size_t>(c)])) {
      ASSERT_LT(row, kShelfRowCount);
      EXPECT_EQ(static_cast<int>(ShelfTable[row].category), c);
      EXPECT_EQ(leaf, Panel().leafItems[row]);
      const ItemLook book = Look(leaf);
      EXPECT_EQ(book.text, ShelfTable[row].title);
      EXPECT_EQ(book.image, IMG_TREE_BOOK);
      EXPECT_EQ(book.selectedImage, IMG_TREE_OPEN_BOOK);
      EXPECT_EQ(book.firstChild, nullptr);
      ++row;
    }
  }
  EXPECT_EQ(row, kShelfRowCount);

  EXPECT_EQ(top[4], Panel().currentBookItem);
  const ItemLook current = Look(top[4]);
  EXPECT_EQ(current.text, "Default A");
  EXPECT_EQ(current.image, IMG_TREE_BOOK);
  EXPECT_EQ(current.selectedImage, IMG_TREE_OPEN_BOOK);
  EXPECT_EQ(current.firstChild, nullptr);
}

TEST_F(ShelfTreeTest, ImagesAreThreeCellsWithGreenSeenThrough) {
  const auto images =
      reinterpret_cast<HIMAGELIST>(SendMessageA(Tree(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(width, IMG_TREE_WIDTH);
  EXPECT_EQ(height, IMG_TREE_HEIGHT);
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
    EXPECT_NE(GetPixel(dc, IMG_TREE_WIDTH / 2, IMG_TREE_HEIGHT / 2), RGB(255, 0, 0));
    EXPECT_NE(GetPixel(dc, IMG_TREE_WIDTH / 2, IMG_TREE_HEIGHT / 2), RGB(0, 255, 0));
  }
}

TEST_F(ShelfTreeTest, RootAndCategoriesOpenNothing) {
  StepToBeta();
  Select(Panel().rootItem);
  for (HTREEITEM category : Panel().categoryItems) Select(category);
  Select(Panel().rootItem);
  EXPECT_EQ(Selected(), Panel().rootItem);
  EXPECT_EQ(InputText(), "beta");
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(DialogTexts(), Strings{});
}

TEST_F(ShelfTreeTest, EveryLeafOpensItsBookFromTheFolderInstalledNow) {
  const std::string bookPath = Window().bookPath;
  // The installation moves after start-up: the books open from the new
  // place.
  const std::string shelf = MakeShelf();
  SetInstallFolder(shelf);
  for (std::size_t row = 0; row < kShelfRowCount; ++row) {
    SCOPED_TRACE(ShelfTable[row].file);
    Select(Panel().leafItems[row]);
    EXPECT_EQ(std::string(Panel().installFolder), shelf);
    EXPECT_EQ(StatusText(), ShelfTable[row].title);
    EXPECT_EQ(InputText(), "k");
    EXPECT_EQ(PaneText(), std::string("book ") + ShelfTable[row].title + "\r\n");
  }
  EXPECT_EQ(std::string(Window().bookPath), bookPath);
  EXPECT_EQ(DialogTexts(), Strings{});

  // A setting that cannot be read leaves the folder read last.
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsPath, "InstallPath");
  Select(Panel().leafItems[0]);
  EXPECT_EQ(StatusText(), ShelfTable[0].title);
  EXPECT_EQ(std::string(Panel().installFolder), shelf);
}

TEST_F(ShelfTreeTest, CurrentBookItemReopensTheBookOfBookPath) {
  const std::string shelf = MakeShelf();
  SetInstallFolder(shelf);
  MainWindow& w = Window();
  const HTREEITEM jargon = Panel().leafItems[4];
  ASSERT_STREQ(ShelfTable[4].title, "Jargon File");

  Select(jargon);
  EXPECT_EQ(StatusText(), "Jargon File");
  Select(Panel().currentBookItem);
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(InputText(), "Alpha");

  // A book from the open-file command becomes the current book: the item
  // takes its title and reopens it, after a shelf book too.
  const std::string mine = MakeBook("mine.xqb", u"My Own Book", {"zebra=stripes"});
  dialogs_->Queue(DialogAnswerer::ChooseFile(mine));
  SendMessageA(w.hwnd, WM_COMMAND, IDM_OPEN_BOOK, reinterpret_cast<LPARAM>(w.toolbar));
  Pump();
  EXPECT_EQ(StatusText(), "My Own Book");
  EXPECT_EQ(Look(Panel().currentBookItem).text, "My Own Book");
  EXPECT_EQ(Children(Panel().rootItem).size(), 5u);
  Select(jargon);
  EXPECT_EQ(StatusText(), "Jargon File");
  Select(Panel().currentBookItem);
  EXPECT_EQ(StatusText(), "My Own Book");
  EXPECT_EQ(InputText(), "zebra");
  EXPECT_EQ(std::string(w.bookPath), mine);

  // A chosen file that is no book: no book is open, and the item, like the
  // status bar, names none; the shelf still opens its books.
  const std::string broken = Folder() + "\\broken.xqb";
  WriteBookAt(broken, "Broken", 520);
  dialogs_->Queue(DialogAnswerer::ChooseFile(broken));
  SendMessageA(w.hwnd, WM_COMMAND, IDM_OPEN_BOOK, reinterpret_cast<LPARAM>(w.toolbar));
  Pump();
  EXPECT_EQ(DialogTexts().back(), "ERROR: Xqb File open error.");
  EXPECT_EQ(Look(Panel().currentBookItem).text, "");
  Select(jargon);
  EXPECT_EQ(StatusText(), "Jargon File");
  EXPECT_EQ(InputText(), "k");
}

TEST_F(ShelfTreeTest, ArrowKeysOpenEachBookThatTheSelectionPasses) {
  SetInstallFolder(MakeShelf());
  Select(Panel().leafItems[0]);
  SetFocus(Tree());
  Strings seen;
  for (int step = 0; step < 12; ++step) {
    Key(VK_DOWN);
    seen.push_back(Look(Selected()).text + " -> " + StatusText());
  }
  // Categories open nothing: the book passed last stays open; "Learning"
  // and "Life" are closed, so their books are not passed.
  EXPECT_EQ(seen, (Strings{"GCIDE English -> GCIDE English", "English-German -> English-German",
                           "German-English -> German-English", "Professional -> German-English",
                           "Jargon File -> Jargon File",
                           "Computer Acronyms -> Computer Acronyms",
                           "FOLDOC Computing -> FOLDOC Computing", "Learning -> FOLDOC Computing",
                           "Life -> FOLDOC Computing", "Default A -> Default A",
                           "Default A -> Default A", "Default A -> Default A"}));
  Key(VK_UP);
  Key(VK_UP);
  EXPECT_EQ(Look(Selected()).text, "Learning");
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(DialogTexts(), Strings{});
}

TEST_F(ShelfTreeTest, TreeFillsThePanelAfterEveryResize) {
  MainWindow& w = Window();
  const SIZE sizes[] = {{640, 480}, {900, 760}, {420, 300}, {800, 600}};
  for (const SIZE& size : sizes) {
    SCOPED_TRACE(size.cx * 10000 + size.cy);
    SetWindowPos(w.hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    RECT client;
    GetClientRect(w.hwnd, &client);
    RECT tree;
    GetWindowRect(Tree(), &tree);
    EXPECT_EQ(tree.right - tree.left, 195);
    EXPECT_EQ(tree.bottom - tree.top, client.bottom - 60);
    const RECT panel = ChildRect(Panel().hwnd);
    EXPECT_EQ(panel.left, 3);
    EXPECT_EQ(panel.top, 35);
    EXPECT_EQ(panel.right - panel.left, 200);
    EXPECT_EQ(panel.bottom - panel.top, client.bottom - 55);
  }
  // Hidden and shown again with the toolbar button, at the same size.
  for (int i = 0; i < 2; ++i) {
    SendMessageA(w.hwnd, WM_COMMAND, IDM_BOOK_SHELF, reinterpret_cast<LPARAM>(w.toolbar));
  }
  Pump();
  EXPECT_TRUE(IsWindowVisible(Tree()));
  RECT client;
  GetClientRect(w.hwnd, &client);
  RECT tree;
  GetWindowRect(Tree(), &tree);
  EXPECT_EQ(tree.bottom - tree.top, client.bottom - 60);
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
    Select(Panel().rootItem);
    StepToBeta();
    SetInstallFolder(c.folder);
    Select(Panel().leafItems[c.row]);
    EXPECT_EQ(DialogTexts().size(), c.messages);
    EXPECT_EQ(DialogTexts().back(), "ERROR: Xqb File open error.");
    EXPECT_EQ(StatusText(), c.status);
    // The failed item stays selected; the window goes on working.
    EXPECT_EQ(Selected(), Panel().leafItems[c.row]);
    if (std::string(c.status) == "Default A") {
      EXPECT_EQ(InputText(), "Alpha");
      SendMessageA(Window().hwnd, WM_KEYDOWN, VK_DOWN, 0);
      Pump();
      EXPECT_EQ(InputText(), "beta");
      EXPECT_EQ(PaneText(), "second letter\r\n");
    }
    SetInstallFolder(Folder());
    Select(Panel().rootItem);
    Select(Panel().leafItems[0]);
    EXPECT_EQ(StatusText(), "Default A");
  }
  EXPECT_EQ(std::string(Window().bookPath), Folder() + "\\deflex_a.xqb");
}

}  // namespace
}  // namespace quill::testing
