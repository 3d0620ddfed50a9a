// BookFileDialog: the open-file dialog that picks a book, its record kept
// for the window's life as the platform expects between calls.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace quill {

class BookFileDialog {
 public:
  // Fills the record once, at the main window's creation.
  void Prepare(HWND owner);
  // Shows the dialog: true with the chosen path and its file name in path
  // and title (kPathUnits each).
  [[nodiscard]] bool Choose(HWND owner, wchar_t* path, wchar_t* title);

 private:
  OPENFILENAMEW record_{};
};

}  // namespace quill
