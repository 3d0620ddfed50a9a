// TreeSubWnd: the book-shelf panel at the left of the main window: a tree of
// the books the product knows by name, by category, and one item for the
// user's own current book. Selecting a book asks the main window to open it;
// the panel never reads a book itself.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "book/book_file.h"
#include "book/buffer_sizes.h"
#include "books/shelf_table.h"
#include "panels/side_panel.h"
#include "win/glyph_fonts.h"
#include "win/scoped_win.h"

namespace quill {

// Where the shelf's books are installed now: fills folder (kPathUnits
// units), or leaves it as it was when that cannot be told.
using InstallFolderSource = std::function<void(wchar_t* folder)>;

class TreeSubWnd : public SidePanel {
 public:
  HWND tree = nullptr;
  HTREEITEM rootItem = nullptr;
  HTREEITEM categoryItems[kShelfCategoryCount] = {};
  HTREEITEM leafItems[kShelfRowCount] = {};
  // Null until the main window has opened its first book.
  HTREEITEM currentBookItem = nullptr;
  // Asked on every notification of the tree, so that a book opens from
  // where the installation is now; keeps what it held when the source
  // cannot tell.
  wchar_t installFolder[kPathUnits] = {};

  // Registers "TreeSubWnd" and creates the panel, with its tree, as a
  // visible child of mainWindow at box: the panel's window, or null.
  // installed tells where the shelf's books are.
  HWND Create(HWND mainWindow, const ControlBox& box, InstallFolderSource installed);

  // Moves the panel to box and makes the tree fill it less the panel's
  // edges.
  void Move(const ControlBox& box) override;
  // Gives the tree images and rows for dpi.
  void SetDpi(int dpi) override;

  // Appends the open book's title as the last item under "BookShelf"; run
  // once, when the main window's first book is open.
  void AddCurrentBookItem(const BookFile& book);

  // Gives the current-book item the title of book (empty for a closed
  // book), after the open-file command.
  void RenameCurrentBookItem(const BookFile& book);

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Creates the tree with its images and items: false when the images
  // cannot be made, which fails the panel's creation.
  bool OnCreate(HWND window, const CREATESTRUCTW& create);
  void OnDestroy();
  void OnPaint(HWND window);
  LRESULT OnTreeNotify(const NMHDR* header);
  LRESULT DrawItem(NMTVCUSTOMDRAW& draw);
  // Inserts the root, the categories and the shelf's rows, in that order.
  void Populate();
  HTREEITEM InsertItem(HTREEITEM parent, const wchar_t* text, int image, int selectedImage);
  void ReadInstallFolder();
  void FitRows();

  InstallFolderSource installed_;
  // The tree's images: made with the panel's window and destroyed after it
  // and its tree are gone.
  ScopedImageList images_;
  GlyphFonts itemFonts_;
};

}  // namespace quill
