// OwnerMenu: the main window's menu bar, whose drop-down menus the program
// draws itself: a light icon bar with the toolbar's images, a lighter text
// area, a framed highlight, framed check boxes and thin separators, all in
// colours derived from the user's system colours.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace quill {

// What OwnerMenu keeps of one menu command, made the first time a popup
// holding it opens and never changed afterwards.
struct MenuItemRecord {
  UINT commandId = 0;  // 0 for separators
  // The item's text as it was then, mnemonic ampersands included: the only
  // copy once the item is drawn by the program.
  wchar_t text[256] = {};
  HIMAGELIST imageList = nullptr;  // the toolbar's, when it has an image for the command
  int imageIndex = 0;              // 0 when there is no image
};

class OwnerMenu {
 public:
  static constexpr int kRecordSlots = 256;
  static constexpr int kMaxRecords = 255;

  OwnerMenu() = default;
  OwnerMenu(const OwnerMenu&) = delete;
  OwnerMenu& operator=(const OwnerMenu&) = delete;
  virtual ~OwnerMenu() = default;

  // Loads menu resource menuId from instance and returns it (null on
  // failure); the window created with it destroys it.
  HMENU LoadMenuResource(HINSTANCE instance, int menuId);
  HMENU Handle() const { return menu_; }

  // Makes popup's items drawn by the program: records each new command
  // (text and toolbar image, at most kMaxRecords in all) and stores each
  // item's size in its item data. Commands beyond the last record are left
  // to the platform with their own text.
  void ConvertPopupItems(HMENU popup, HWND owner, HWND toolbar);
  // Sizes items and images for dpi from the next popup opened on.
  void SetDpi(int dpi) { dpi_ = dpi; }
  // Under a high-contrast theme the items are drawn in the system colours
  // as they are, without today's lighter and darker shades.
  void SetHighContrast(bool on) { highContrast_ = on; }
  // Answers a WM_MEASUREITEM for a converted item from its item data.
  void MeasureMenuItem(MEASUREITEMSTRUCT* item) const;
  // Draws a menu item for a WM_DRAWITEM; other owner-drawn controls are
  // left alone.
  void DrawMenuItem(const DRAWITEMSTRUCT* item) const;
  // The answer to WM_MENUCHAR: MNC_IGNORE, a typed letter picks nothing.
  LRESULT MenuChar(HMENU menu, WORD character, WORD flags) const;

  // The record of commandId, or null when it has none.
  const MenuItemRecord* FindRecord(UINT commandId) const;
  int RecordCount() const { return recordCount_; }

 private:
  // Records commandId with text and the toolbar's image for it: the new
  // record, or null when all kMaxRecords are taken.
  const MenuItemRecord* AddRecord(UINT commandId, const wchar_t* text, HWND toolbar);
  // Finds or makes the record of popup's item at position and makes the
  // item drawn by the program: its record, or null when it has none.
  const MenuItemRecord* ConvertItem(HMENU popup, int position, HWND toolbar);

  HINSTANCE instance_ = nullptr;
  HMENU menu_ = nullptr;
  int menuResourceId_ = 0;
  MenuItemRecord records_[kRecordSlots];
  int recordCount_ = 0;
  int dpi_ = 96;
  bool highContrast_ = false;
};

}  // namespace quill
