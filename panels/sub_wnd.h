// SubWnd: the find panel, a child window at the left of the main window.
#pragma once

#include <windows.h>

#include "book/book_file.h"
#include "panels/side_panel.h"

namespace quill {

class SubWnd : public SidePanel {
 public:
  // The book the panel searches; the main window's, never owned.
  BookFile* book = nullptr;

  // Registers "SubWnd" and creates the panel as a child of mainWindow.
  HWND Create(HWND mainWindow) { return CreatePanel(mainWindow, "SubWnd", kFindPanel); }
};

}  // namespace quill
