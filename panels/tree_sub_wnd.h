// TreeSubWnd: the book-shelf panel at the left of the main window: a tree of
// the books the product knows by name, by category, and one item for the
// user's own current book. Selecting a book asks the main window to open it;
// the panel never reads a book itself.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "book/book_file.h"
#include "books/shelf_table.h"
#include "panels/side_panel.h"
#include "shell/settings.h"

namespace quill {

class TreeSubWnd : public SidePanel {
 public:
  HWND tree = nullptr;
  HTREEITEM rootItem = nullptr;
  HTREEITEM categoryItems[kShelfCategoryCount] = {};
  HTREEITEM leafItems[kShelfRowCount] = {};
  // Null until the main window has opened its first book.
  HTREEITEM currentBookItem = nullptr;
  // Read from the InstallPath setting on every notification of the tree;
  // keeps what it held when the setting cannot be read.
  char installFolder[kPathBytes] = {};
  // Where InstallPath is read; the main window sets its own key before
  // Create.
  SettingsKey settings = kQuillpadSettings;

  // Registers "TreeSubWnd" and creates the panel, with its tree, as a
  // visible child of mainWindow: the panel's window, or null.
  HWND Create(HWND mainWindow);

  // Moves the panel (x 3, y 35, 200 wide) and makes the tree fill it:
  // 195 x (clientHeight - 60).
  void Move(int clientWidth, int clientHeight) override;

  // Appends the open book's title as the last item under "BookShelf"; run
  // once, when the main window's first book is open.
  void AddCurrentBookItem(const BookFile& book);

  // Gives the current-book item the title of book (empty for a closed
  // book), after the open-file command.
  void RenameCurrentBookItem(const BookFile& book);

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  int OnCreate(HWND window, const CREATESTRUCTA& create);
  void OnDestroy();
  void OnPaint(HWND window);
  LRESULT OnTreeNotify(const NMHDR* header);
  // Inserts the root, the categories and the shelf's rows, in that order.
  void Populate();
  HTREEITEM InsertItem(HTREEITEM parent, const char* text, int image, int selectedImage);
  void ReadInstallFolder();
};

}  // namespace quill
