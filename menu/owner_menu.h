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

 private:
  HMENU menuBar_ = nullptr;
};

}  // namespace quill
