// TreeSubWnd: the book-shelf panel, a child window at the left of the main
// window.
#pragma once

#include <windows.h>

#include "panels/side_panel.h"

namespace quill {

class TreeSubWnd : public SidePanel {
 public:
  // Registers "TreeSubWnd" and creates the panel as a child of mainWindow.
  HWND Create(HWND mainWindow) { return CreatePanel(mainWindow, "TreeSubWnd", kShelfPanel); }
};

}  // namespace quill
