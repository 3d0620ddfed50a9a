// TreeSubWnd: the book-shelf panel's window, its tree and its items.
#include "panels/tree_sub_wnd.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "book/book_format.h"
#include "win/wide_text.h"
#include "resources/ids.h"
#include "win/controls.h"
#include "win/scoped_win.h"

namespace quill {

namespace {

// What the panel's two edges take from the tree's width and height.
constexpr int kTreeInset = 5;
constexpr COLORREF kSeeThrough = RGB(0, 255, 0);

// The tree's size until the main window first places the panel.
constexpr int kFirstTreeWidth = 145;
constexpr int kFirstTreeHeight = 150;
// The image list's first room and growth, in images; adding the bitmap's
// cells makes what room they need.
constexpr int kFirstImageRoom = 2;
constexpr int kImageRoomStep = 0;

// Bitmap 151 cut into 19 x 17 cells, grown factor times pixel for pixel,
// green seen through: the list, or null when it cannot be made.
ScopedImageList MakeShelfImages(HINSTANCE instance, int factor) {
  // Colour cells: the default depth of a masked list would round the art
  // to 16 colours.
  ScopedImageList images(ImageList_Create(IMG_TREE_WIDTH * factor, IMG_TREE_HEIGHT * factor,
                                          ILC_MASK | ILC_COLOR24, kFirstImageRoom, kImageRoomStep));
  if (!images) return {};
  ScopedBitmap bitmap = LoadBitmapWhole(instance, IDB_TREE, factor);
  if (!bitmap || ImageList_AddMasked(images, bitmap, kSeeThrough) < 0) return {};
  return images;
}

// The book's title as a tree item shows it; empty for a closed book.
std::wstring BookTitle(const BookFile& book) {
  BookHeader header;
  book.CopyHeader(&header);
  header.title[kTitleUnits - 1] = 0;
  return AsWide(header.title);
}

}  // namespace

HWND TreeSubWnd::Create(HWND mainWindow, const ControlBox& box, InstallFolderSource installed) {
  installed_ = std::move(installed);
  return CreatePanel(mainWindow, L"TreeSubWnd", box);
}

LRESULT TreeSubWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY:
      // The tree went before its parent: no one draws with the images now.
      images_.reset();
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr && header->code == NM_CUSTOMDRAW && header->hwndFrom == tree) {
        return DrawItem(*reinterpret_cast<NMTVCUSTOMDRAW*>(lParam));
      }
      OnTreeNotify(header);
      return 0;
    }
    case WM_COMMAND:
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

bool TreeSubWnd::OnCreate(HWND window, const CREATESTRUCTW& create) {
  tree = CreateChildControl(window, create.hInstance,
                            {0, WC_TREEVIEWW, L"TreeSubWnd",
                             WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                 TVS_LINESATROOT},
                            Scaled(ControlBox{0, 0, kFirstTreeWidth, kFirstTreeHeight}), 0);
  LabelControl(tree, L"Books");
  images_ = MakeShelfImages(create.hInstance, WholeFactor(dpi_));
  if (!images_) return false;
  SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
  FitRows();
  Populate();
  for (HTREEITEM item : {rootItem, categoryItems[0], categoryItems[1]}) {
    SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  }
  return true;
}

void TreeSubWnd::OnDestroy() {
  // A panel whose main window never finished its creation (no book, no
  // current-book item) leaves the message queue alone, as that window does.
  if (currentBookItem != nullptr) PostQuitMessage(0);
}

void TreeSubWnd::OnPaint(HWND window) { ScopedPaint paint(window); }

// An item whose title needs glyphs the tree's font lacks (a book titled in
// Chinese) is drawn in a face that has them.
LRESULT TreeSubWnd::DrawItem(NMTVCUSTOMDRAW& draw) {
  NMCUSTOMDRAW& item = draw.nmcd;
  if (item.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (item.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  wchar_t text[kPathUnits] = {};
  TVITEMW read{};
  read.mask = TVIF_TEXT;
  read.hItem = reinterpret_cast<HTREEITEM>(item.dwItemSpec);
  read.pszText = text;
  read.cchTextMax = static_cast<int>(kPathUnits);
  if (!SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&read))) return CDRF_DODEFAULT;
  const auto base = reinterpret_cast<HFONT>(SendMessageW(tree, WM_GETFONT, 0, 0));
  const HFONT font = itemFonts_.FontFor(item.hdc, base, text);
  if (font == base) return CDRF_DODEFAULT;
  SelectObject(item.hdc, font);
  return CDRF_NEWFONT;
}

HTREEITEM TreeSubWnd::InsertItem(HTREEITEM parent, const wchar_t* text, int image,
                                 int selectedImage) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<wchar_t*>(text);
  insert.item.iImage = image;
  insert.item.iSelectedImage = selectedImage;
  return reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void TreeSubWnd::Populate() {
  rootItem = InsertItem(TVI_ROOT, L"BookShelf", IMG_TREE_FOLDER, IMG_TREE_FOLDER);
  for (int i = 0; i < kShelfCategoryCount; ++i) {
    categoryItems[i] =
        InsertItem(rootItem, Widen(kShelfCategoryNames[static_cast<std::size_t>(i)]).c_str(),
                   IMG_TREE_FOLDER, IMG_TREE_FOLDER);
  }
  for (std::size_t row = 0; row < kShelfRowCount; ++row) {
    const ShelfRow& shelf = ShelfTable[row];
    leafItems[row] = InsertItem(categoryItems[static_cast<int>(shelf.category)],
                                Widen(shelf.title).c_str(), IMG_TREE_BOOK, IMG_TREE_OPEN_BOOK);
  }
}

void TreeSubWnd::Move(const ControlBox& box) {
  SidePanel::Move(box);
  if (tree == nullptr) return;
  PlaceControl(tree, {0, 0, box.width - Scaled(kTreeInset), box.height - Scaled(kTreeInset)});
}

void TreeSubWnd::SetDpi(int dpi) {
  const int oldFactor = WholeFactor(dpi_);
  SidePanel::SetDpi(dpi);
  if (tree == nullptr) return;
  // The tree's font is the system's, made again for the new DPI.
  SendMessageW(tree, WM_SETFONT, SendMessageW(tree, WM_GETFONT, 0, 0), FALSE);
  if (WholeFactor(dpi) != oldFactor) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    if (ScopedImageList images = MakeShelfImages(instance, WholeFactor(dpi))) {
      SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images.get()));
      images_ = std::move(images);
    }
  }
  FitRows();
}

// A row is as tall as its image or its text, whichever is taller, and
// never less than the 96-DPI row scaled.
void TreeSubWnd::FitRows() {
  if (dpi_ == kBaseDpi) return;
  SendMessageW(tree, TVM_SETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  const auto natural = static_cast<int>(SendMessageW(tree, TVM_GETITEMHEIGHT, 0, 0));
  const int wanted = std::max(natural, Scaled(IMG_TREE_HEIGHT + 1));
  SendMessageW(tree, TVM_SETITEMHEIGHT, static_cast<WPARAM>(wanted), 0);
}

void TreeSubWnd::AddCurrentBookItem(const BookFile& book) {
  currentBookItem = InsertItem(rootItem, BookTitle(book).c_str(), IMG_TREE_BOOK,
                               IMG_TREE_OPEN_BOOK);
}

void TreeSubWnd::RenameCurrentBookItem(const BookFile& book) {
  if (currentBookItem == nullptr) return;
  std::wstring title = BookTitle(book);
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = currentBookItem;
  item.pszText = title.data();
  SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeSubWnd::ReadInstallFolder() {
  if (installed_) installed_(installFolder);
}

LRESULT TreeSubWnd::OnTreeNotify(const NMHDR* header) {
  // The folder is read on every notification, so a book opens from where
  // the installation is now, not from where it was at start-up.
  ReadInstallFolder();
  if (header == nullptr || header->code != TVN_SELCHANGEDW) return 0;
  InvalidateRect(hwnd, nullptr, TRUE);
  const HTREEITEM selected = reinterpret_cast<const NMTREEVIEWW*>(header)->itemNew.hItem;
  HWND mainWindow = GetParent(hwnd);
  for (std::size_t row = 0; row < kShelfRowCount; ++row) {
    if (selected == leafItems[row]) {
      const std::wstring file = Widen(ShelfTable[row].file);
      SendMessageW(mainWindow, MSG_OPEN_SHELF_BOOK, reinterpret_cast<WPARAM>(installFolder),
                   reinterpret_cast<LPARAM>(file.c_str()));
      return 0;
    }
  }
  if (selected != nullptr && selected == currentBookItem) {
    SendMessageW(mainWindow, MSG_REOPEN_BOOK, 0, 0);
  }
  return 0;
}

}  // namespace quill
