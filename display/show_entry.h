// How the views show an entry or the book's identity. The main window calls
// these after it has moved the book's cursor; they take the windows they
// draw on, so a test window holding the same controls can stand in for it.
#pragma once

#include <windows.h>

#include "book/book_file.h"
#include "book/buffer_sizes.h"

namespace quill {

// The controls of the main window that an entry display touches.
struct EntryPanes {
  HWND contentPane;  // read-only multi-line edit
  HWND inputBox;     // its text is selected after every display
  HWND statusBar;    // part 0 shows the book's title
};

// The size of the main window's copy of the input box text.
inline constexpr std::size_t kInputTextBytes = kTextBytes;

// Shows the book's current entry in the content pane (" <Not Found!>" when
// there is none, a closed book included), draws its transcription on
// stripWindow's client area at the place for sidePanel, and selects the
// whole input box text. 1, or 0 when memory ran out.
int ShowCurrentEntry(BookFile& book, const EntryPanes& panes, HWND stripWindow, int sidePanel);

// Draws the current entry's transcription again on dc, the strip window's
// paint device context, at the place for sidePanel; the content pane is
// left alone. Without this a repaint would wipe the strip.
void PaintPhoneticStrip(BookFile& book, HDC dc, int sidePanel);

// Looks up inputText (ANSI, kInputTextBytes bytes at most) and shows the
// entry the lookup ends on, found or not.
int ShowTypedWord(BookFile& book, const EntryPanes& panes, const char* inputText,
                  HWND stripWindow, int sidePanel);

// Shows the book's title in part 0 of the status bar.
void ShowBookTitle(const BookFile& book, HWND statusBar);

}  // namespace quill
