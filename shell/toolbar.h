// Toolbar: the rebar at the top of the main window and the toolbar in it,
// with its buttons, their states and their tooltips.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "shell/layout.h"
#include "win/dpi.h"
#include "win/placement.h"
#include "win/scoped_win.h"

namespace quill {

class Toolbar {
 public:
  // Creates the rebar at box and the toolbar in it. False when the rebar
  // could not be made; a toolbar that could not be made is reported to the
  // user here and the program goes on without it.
  // Its images are the art at dpi's whole factor.
  [[nodiscard]] bool Create(HWND parent, HINSTANCE instance, const ControlBox& box, int dpi);
  // Gives the buttons images and sizes for dpi.
  void SetDpi(int dpi);

  HWND Rebar() const { return rebar_; }
  HWND Bar() const { return toolbar_; }

  // Checks the shelf button, the panel shown at start.
  void CheckShelfButton();
  void EnableSpeakButton(bool enabled);

  // Checks the button of the panel shown on bar, the toolbar a panel
  // command came from (none for the menu), and releases the other one.
  static void CheckPanelButton(HWND bar, SidePanelState shown);

  // The tooltip of a button, or null for an id without one.
  static const wchar_t* TooltipText(UINT_PTR id);

 private:
  void CreateBar(HINSTANCE instance);
  void InsertBand();
  // Puts the images at factor into the toolbar and sizes its buttons.
  void UseImages(int factor);
  void SizeBand();
  void SetChildSize(REBARBANDINFOW* band) const;

  HINSTANCE instance_ = nullptr;
  HWND rebar_ = nullptr;
  HWND toolbar_ = nullptr;
  int dpi_ = kBaseDpi;
  // The toolbar's images at the current factor; the menus draw from it too.
  ScopedImageList images_;
};

}  // namespace quill
