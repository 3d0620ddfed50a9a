// OwnerMenu: converts the drop-down menus' items to owner-drawn items the
// first time each popup opens, and measures and draws them.
#define OEMRESOURCE  // OBM_CHECK, the platform's check mark
#include "menu/owner_menu.h"

#include <cstring>
#include <cwchar>
#include <iterator>

#include "menu/menu_color.h"
#include "menu/menu_measure.h"
#include "win/dpi.h"
#include "win/scoped_win.h"

namespace quill {

namespace {

// The places inside an item, written for 96 DPI and made for the menu's
// DPI by MenuPlaces.
struct MenuPlaces {
  int iconBarRight;  // in the popup's coordinates, whatever the item's left edge
  int textLeft;      // from the item's left edge
  int imageSize;
  // The image's corner from the item's corner: raised by one pixel while
  // selected, its shadow one pixel lower.
  int imageInset;
  // The framed check box: from one pixel inside the item to this column.
  int checkBoxRight;
  // The platform's check mark: where it starts in the item, and how large
  // it is drawn at most.
  int checkMarkLeft;
  int checkMarkTop;
  int checkMarkWidth;
  int checkMarkHeight;
};

constexpr MenuPlaces kPlaces96 = {22, 30, 16, 3, 20, 5, 3, 22, 20};

// The images grow by the whole factor the toolbar's do; the rest scales.
constexpr MenuPlaces PlacesFor(int dpi) {
  const int factor = WholeFactor(dpi);
  const auto s = [dpi](int value) { return ScaleForDpi(value, dpi); };
  return {s(kPlaces96.iconBarRight), s(kPlaces96.textLeft),       kPlaces96.imageSize * factor,
          s(kPlaces96.imageInset),   s(kPlaces96.checkBoxRight),  s(kPlaces96.checkMarkLeft),
          s(kPlaces96.checkMarkTop), s(kPlaces96.checkMarkWidth), s(kPlaces96.checkMarkHeight)};
}

// A system colour made lighter (positive) or darker (negative) and more or
// less saturated, each in percent.
struct Shade {
  int systemColor;
  int lightnessPercent;
  int saturationPercent;
};

constexpr Shade kIconBarFill = {COLOR_BTNFACE, 20, 0};
constexpr Shade kTextAreaFill = {COLOR_BTNFACE, 75, 0};
// The separator line and a disabled item's text.
constexpr Shade kGreyedLine = {COLOR_BTNFACE, -18, 0};
// The selected item's fill, and a check box's when not selected.
constexpr Shade kHighlightFill = {COLOR_HIGHLIGHT, 70, -57};
// The same two for a disabled item.
constexpr Shade kDisabledHighlightFill = {COLOR_BTNFACE, 73, 0};
constexpr Shade kSelectedCheckFill = {COLOR_HIGHLIGHT, 50, -50};
// The shadow under a raised image, and a disabled item's grey silhouette.
constexpr Shade kImageShadow = {COLOR_HIGHLIGHT, 50, -66};
constexpr Shade kDisabledImage = {COLOR_BTNFACE, -27, 0};

COLORREF Adjusted(const Shade& shade) {
  return static_cast<COLORREF>(AdjustColor(static_cast<MenuColor>(GetSysColor(shade.systemColor)),
                                           shade.lightnessPercent, shade.saturationPercent));
}

// The colours of one drawing: today's shades of the system colours, or,
// under a high-contrast theme, the system colours as they are.
struct MenuPalette {
  COLORREF iconBar;
  COLORREF textArea;
  COLORREF line;  // the separator
  COLORREF text;
  COLORREF selectedText;
  COLORREF disabledText;
  COLORREF frame;  // round the selected item and a check box
  COLORREF highlightFill;
  COLORREF disabledHighlightFill;
  COLORREF selectedCheckFill;
  COLORREF imageShadow;
  COLORREF disabledImage;
};

MenuPalette PaletteFor(bool highContrast) {
  if (!highContrast) {
    return {Adjusted(kIconBarFill),      Adjusted(kTextAreaFill),        Adjusted(kGreyedLine),
            GetSysColor(COLOR_MENUTEXT), GetSysColor(COLOR_MENUTEXT),    Adjusted(kGreyedLine),
            GetSysColor(COLOR_HIGHLIGHT), Adjusted(kHighlightFill),      Adjusted(kDisabledHighlightFill),
            Adjusted(kSelectedCheckFill), Adjusted(kImageShadow),        Adjusted(kDisabledImage)};
  }
  const COLORREF menu = GetSysColor(COLOR_MENU);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  return {menu,      menu,      grey,      GetSysColor(COLOR_MENUTEXT), GetSysColor(COLOR_HIGHLIGHTTEXT),
          grey,      highlight, highlight, highlight,                   highlight,
          grey,      grey};
}

// One draw request's view of its item: the platform's information read by
// command id, and the item's record.
struct DrawItemInfo {
  MENUITEMINFOW item = {};
  const MenuItemRecord* record = nullptr;

  bool Separator() const { return (item.fType & MFT_SEPARATOR) != 0; }
  bool Checked() const { return (item.fState & MFS_CHECKED) != 0; }
  bool Disabled() const { return (item.fState & MFS_DISABLED) == MFS_DISABLED; }
  bool Default() const { return (item.fState & MFS_DEFAULT) != 0; }
};

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  ScopedBrush brush(CreateSolidBrush(color));
  if (brush) FillRect(dc, &rect, brush);
}

// A rectangle framed by a 1-pixel line and filled.
void FramedBox(HDC dc, const RECT& rect, COLORREF frame, COLORREF fill) {
  ScopedPen pen(CreatePen(PS_SOLID, 1, frame));
  ScopedBrush brush(CreateSolidBrush(fill));
  if (!pen || !brush) return;
  ScopedSelect penSelected(dc, pen);
  ScopedSelect brushSelected(dc, brush);
  Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void DrawSeparatorLine(HDC dc, const RECT& rect, const MenuPlaces& places,
                       const MenuPalette& colours) {
  ScopedPen pen(CreatePen(PS_SOLID, 1, colours.line));
  if (!pen) return;
  ScopedSelect penSelected(dc, pen);
  const int middle = (rect.top + rect.bottom) / 2;
  MoveToEx(dc, rect.left + places.textLeft, middle, nullptr);
  LineTo(dc, rect.right - 1, middle);
}

// The record's text, in bold for the default item.
void DrawItemText(HDC dc, const RECT& rect, const DrawItemInfo& info, bool selected,
                  const MenuPlaces& places, const MenuPalette& colours) {
  const COLORREF color = info.Disabled() ? colours.disabledText
                                         : (selected ? colours.selectedText : colours.text);
  const COLORREF oldColor = SetTextColor(dc, color);
  HGDIOBJ current = GetCurrentObject(dc, OBJ_FONT);
  ScopedFont bold;
  LOGFONTW font = {};
  if (info.Default() && GetObjectW(current, sizeof font, &font) == sizeof font &&
      font.lfWeight != FW_BOLD) {
    font.lfWeight = FW_BOLD;
    bold.reset(CreateFontIndirectW(&font));
  }
  {
    ScopedSelect fontSelected(dc, bold ? static_cast<HGDIOBJ>(bold.get()) : current);
    RECT textRect = {rect.left + places.textLeft, rect.top, rect.right, rect.bottom};
    DrawTextW(dc, info.record->text, -1, &textRect, DT_SINGLELINE | DT_VCENTER);
  }
  SetTextColor(dc, oldColor);
}

// The toolbar's image: raised over its shadow when selected, a grey
// silhouette alone when disabled.
void DrawItemImage(HDC dc, const RECT& rect, const DrawItemInfo& info, bool selected,
                   const MenuPlaces& places, const MenuPalette& colours) {
  const MenuItemRecord& record = *info.record;
  const bool lifted = selected && !info.Checked();
  if (info.Disabled() || lifted) {
    const int shift = selected && !info.Disabled() ? 1 : 0;
    ScopedIcon icon(ImageList_GetIcon(record.imageList, record.imageIndex, ILD_NORMAL));
    ScopedBrush brush(
        CreateSolidBrush(shift == 1 ? colours.imageShadow : colours.disabledImage));
    if (icon && brush) {
      DrawStateA(dc, brush, nullptr, reinterpret_cast<LPARAM>(icon.get()), 0,
                 rect.left + places.imageInset + shift, rect.top + places.imageInset + shift,
                 places.imageSize, places.imageSize, DST_ICON | DSS_MONO);
    }
  }
  if (!info.Disabled()) {
    const int offset = lifted ? places.imageInset - 1 : places.imageInset;
    ImageList_Draw(record.imageList, record.imageIndex, dc, rect.left + offset,
                   rect.top + offset, ILD_TRANSPARENT);
  }
}

// The platform's check mark on the check box's fill.
void DrawCheckMark(HDC dc, const RECT& rect, COLORREF fill, const MenuPlaces& places) {
  ScopedBitmap mark(LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECK)));
  if (!mark) return;
  const COLORREF oldBackground = SetBkColor(dc, fill);
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(mark.get()), 0,
             rect.left + places.checkMarkLeft, rect.top + places.checkMarkTop,
             places.checkMarkWidth, places.checkMarkHeight, DST_BITMAP);
  SetBkColor(dc, oldBackground);
}

// The item's background: the framed highlight when selected, else the
// icon bar and the text area.
void DrawItemBackground(HDC dc, const RECT& rect, const DrawItemInfo& info, bool selected,
                        const MenuPlaces& places, const MenuPalette& colours) {
  if (selected) {
    FramedBox(dc, rect, colours.frame,
              info.Disabled() ? colours.disabledHighlightFill : colours.highlightFill);
    return;
  }
  const LONG barRight = rect.right < places.iconBarRight ? rect.right : places.iconBarRight;
  const LONG split = barRight > rect.left ? barRight : rect.left;
  FillSolid(dc, {rect.left, rect.top, split, rect.bottom}, colours.iconBar);
  FillSolid(dc, {split, rect.top, rect.right, rect.bottom}, colours.textArea);
}

// The check box's fill, which the check mark is drawn on too.
COLORREF CheckFill(const DrawItemInfo& info, bool selected, const MenuPalette& colours) {
  if (info.Disabled()) return colours.disabledHighlightFill;
  return selected ? colours.selectedCheckFill : colours.highlightFill;
}

// Gives every item of popup its size as item data: a separator its height,
// any other item the popup's widest text and the item height.
void StoreItemSizes(HMENU popup, int count, const MenuItemHeights& heights, int widestText,
                    int dpi) {
  const std::uint32_t itemData = PackMeasureData(widestText, heights.item, dpi);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!GetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &info)) continue;
    info.fMask = MIIM_DATA;
    info.dwItemData = (info.fType & MFT_SEPARATOR) != 0
                          ? static_cast<ULONG_PTR>(heights.separator)
                          : static_cast<ULONG_PTR>(itemData);
    SetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &info);
  }
}

}  // namespace

HMENU OwnerMenu::LoadMenuResource(HINSTANCE instance, int menuId) {
  instance_ = instance;
  menuResourceId_ = menuId;
  menu_ = LoadMenuW(instance, MAKEINTRESOURCEW(static_cast<WORD>(menuId)));
  return menu_;
}

const MenuItemRecord* OwnerMenu::FindRecord(UINT commandId) const {
  for (int i = 0; i < recordCount_; ++i) {
    if (records_[i].commandId == commandId) return &records_[i];
  }
  return nullptr;
}

const MenuItemRecord* OwnerMenu::AddRecord(UINT commandId, const wchar_t* text, HWND toolbar) {
  if (recordCount_ >= kMaxRecords) return nullptr;
  MenuItemRecord& added = records_[recordCount_++];
  added.commandId = commandId;
  std::wmemcpy(added.text, text, std::size(added.text) - 1);
  if (commandId != 0) {
    const LRESULT image = SendMessageW(toolbar, TB_GETBITMAP, commandId, 0);
    if (image > 0) {
      added.imageIndex = static_cast<int>(image);
      added.imageList = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
    }
  }
  return &added;
}

const MenuItemRecord* OwnerMenu::ConvertItem(HMENU popup, int position, HWND toolbar) {
  wchar_t text[std::size(MenuItemRecord{}.text)] = {};
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = static_cast<UINT>(std::size(text));
  if (!GetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &info)) return nullptr;
  const MenuItemRecord* record = FindRecord(info.wID);
  if (record != nullptr && record->imageList != nullptr) {
    // The toolbar may have new images since (another DPI): the record draws
    // from the list it has now.
    records_[record - records_].imageList =
        reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
  }
  if (record == nullptr) record = AddRecord(info.wID, text, toolbar);
  // Without a record there is no text to draw: the platform keeps the item.
  if (record == nullptr) return nullptr;
  if ((info.fType & MFT_OWNERDRAW) == 0) {
    info.fMask = MIIM_ID | MIIM_FTYPE;
    info.fType |= MFT_OWNERDRAW;
    SetMenuItemInfoW(popup, static_cast<UINT>(position), TRUE, &info);
  }
  return record;
}

void OwnerMenu::ConvertPopupItems(HMENU popup, HWND owner, HWND toolbar) {
  const int count = GetMenuItemCount(popup);
  if (count <= 0) return;
  ScopedGetDC dc(owner);
  ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);

  int widest = 0;
  for (int position = 0; position < count; ++position) {
    const MenuItemRecord* record = ConvertItem(popup, position, toolbar);
    if (record == nullptr) continue;
    // The stored text, not what the platform reports now: an owner-drawn
    // item reports none, and every opening must give the popup its width.
    SIZE size = {};
    if (GetTextExtentPoint32W(dc, record->text, static_cast<int>(std::wcslen(record->text)),
                              &size) &&
        size.cx > widest) {
      widest = size.cx;
    }
  }
  StoreItemSizes(popup, count, MenuHeightsFor(metrics.tmHeight, dpi_), widest, dpi_);
}

void OwnerMenu::MeasureMenuItem(MEASUREITEMSTRUCT* item) const {
  const auto data = static_cast<std::uint32_t>(item->itemData);
  item->itemHeight = static_cast<UINT>(MeasuredHeight(data));
  item->itemWidth = static_cast<UINT>(MeasuredWidth(data));
}

void OwnerMenu::DrawMenuItem(const DRAWITEMSTRUCT* item) const {
  if (item->CtlType != ODT_MENU) return;
  DrawItemInfo info;
  info.item.cbSize = sizeof info.item;
  info.item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
  GetMenuItemInfoW(reinterpret_cast<HMENU>(item->hwndItem), item->itemID, FALSE, &info.item);
  info.record = FindRecord(item->itemID);

  HDC dc = item->hDC;
  const RECT& rect = item->rcItem;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
  const MenuPlaces places = PlacesFor(dpi_);
  const MenuPalette colours = PaletteFor(highContrast_);

  DrawItemBackground(dc, rect, info, selected, places, colours);
  if (info.Separator()) {
    DrawSeparatorLine(dc, rect, places, colours);
    return;
  }
  if (info.record == nullptr || info.record->text[0] == 0) return;

  const int oldMode = SetBkMode(dc, TRANSPARENT);
  DrawItemText(dc, rect, info, selected, places, colours);
  const COLORREF checkFill = CheckFill(info, selected, colours);
  if (info.Checked()) {
    FramedBox(dc, {rect.left + 1, rect.top + 1, rect.left + places.checkBoxRight, rect.bottom - 1},
              colours.frame, checkFill);
  }
  const bool hasImage = info.record->imageList != nullptr && info.record->imageIndex != -1;
  if (hasImage) {
    DrawItemImage(dc, rect, info, selected, places, colours);
  } else if (info.Checked()) {
    DrawCheckMark(dc, rect, checkFill, places);
  }
  SetBkMode(dc, oldMode);
}

LRESULT OwnerMenu::MenuChar(HMENU /*menu*/, WORD /*character*/, WORD /*flags*/) const {
  return MAKELRESULT(0, MNC_IGNORE);
}

}  // namespace quill
