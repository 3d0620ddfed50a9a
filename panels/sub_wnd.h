// SubWnd: the find panel, a child window at the left of the main window.
#pragma once

#include <windows.h>

#include "book/book_file.h"
#include "shell/window_base.h"

namespace quill {

class SubWnd : public WindowBase {
 public:
  // The book the panel searches; the main window's, never owned.
  BookFile* book = nullptr;

  // Registers "SubWnd" and creates the panel as a child of mainWindow.
  HWND Create(HWND mainWindow);
  // Follows the main window's client size: x 3, y 35, 200 wide.
  void Move(int clientWidth, int clientHeight);
  void Show();
  void Hide();

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace quill
