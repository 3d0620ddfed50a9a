// SidePanel: what the two panels at the left of the main window share: a
// child window of a class of its own, moved with the main window and shown
// or hidden by the side-panel buttons.
#pragma once

#include <windows.h>

#include "shell/layout.h"
#include "shell/window_base.h"

namespace quill {

class SidePanel : public WindowBase {
 public:
  // Follows the main window's client size to the side panel's place in
  // LayOutMainWindow (x 3, y 35, 200 wide).
  virtual void Move(int clientWidth, int clientHeight);
  void Show();
  void Hide();

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // Registers className and creates the panel as a visible child of
  // mainWindow at the creation place of panel `which`, with this object as
  // its creation parameter.
  HWND CreatePanel(HWND mainWindow, const char* className, SidePanelState which);

 private:
  SidePanelState which_ = kNoSidePanel;
};

}  // namespace quill
