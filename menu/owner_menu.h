// OwnerMenu: the main window's menu bar.
#pragma once

#include <windows.h>

namespace quill {

class OwnerMenu {
 public:
  OwnerMenu() = default;
  OwnerMenu(const OwnerMenu&) = delete;
  OwnerMenu& operator=(const OwnerMenu&) = delete;
  virtual ~OwnerMenu() = default;

  // Loads menu resource 109; the window that gets it destroys it.
  HMENU Load(HINSTANCE instance);
  HMENU Handle() const { return menuBar_; }

  // The main window hands these messages over. Until the menus are drawn
  // by the program, items keep the system's look: nothing is measured or
  // drawn here, and a menu character gets the default answer.
  void MeasureItem(MEASUREITEMSTRUCT* item) const;
  void DrawItem(const DRAWITEMSTRUCT* item) const;
  void PreparePopup(HMENU popup, HWND owner, HWND toolbar);
  LRESULT MenuChar(HMENU menu, WORD character, WORD flags) const;

 private:
  HMENU menuBar_ = nullptr;
};

}  // namespace quill
