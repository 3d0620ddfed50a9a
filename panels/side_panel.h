// SidePanel: what the two panels at the left of the main window share: a
// child window of a class of its own, moved with the main window and shown
// or hidden by the side-panel buttons.
#pragma once

#include <windows.h>

#include "win/dpi.h"
#include "win/placement.h"
#include "win/window_base.h"

namespace quill {

class SidePanel : public WindowBase {
 public:
  // Moves the panel to box, the place the main window gives it.
  virtual void Move(const ControlBox& box);
  void Show();
  virtual void Hide();
  // Sets the DPI the panel's controls are laid out for (before Create, or
  // when it changes; the main window moves the panel after).
  virtual void SetDpi(int dpi) { dpi_ = dpi; }

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Registers className and creates the panel as a visible child of
  // mainWindow at box, with this object as its creation parameter.
  HWND CreatePanel(HWND mainWindow, const wchar_t* className, const ControlBox& box);
  // A length given at 96 DPI at the panel's DPI.
  int Scaled(int value) const { return ScaleForDpi(value, dpi_); }
  ControlBox Scaled(const ControlBox& box) const { return ScaleForDpi(box, dpi_); }

  int dpi_ = kBaseDpi;
};

}  // namespace quill
