// TreeSubWnd: the book-shelf panel, a child window at the left of the main
// window.
#pragma once

#include <windows.h>

#include "shell/window_base.h"

namespace quill {

class TreeSubWnd : public WindowBase {
 public:
  // Registers "TreeSubWnd" and creates the panel as a child of mainWindow.
  HWND Create(HWND mainWindow);
  // Follows the main window's client size: x 3, y 35, 200 wide.
  void Move(int clientWidth, int clientHeight);
  void Show();
  void Hide();

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace quill
