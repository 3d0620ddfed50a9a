// How the views show an entry or the book's identity. The main window calls
// these after it has moved the book's cursor; they take the windows they
// draw on, so a test window holding the same controls can stand in for it.
#pragma once

#include <windows.h>

#include "book/book_file.h"
#include "display/entry_view.h"
#include "book/buffer_sizes.h"

namespace quill {

// The controls of the main window that an entry display touches.
struct EntryPanes {
  HWND contentPane;  // read-only multi-line edit
  HWND inputBox;     // its text is selected after every display
  HWND statusBar;    // part 0 shows the book's title
};

// The size of the main window's copy of the input box text, in units.
inline constexpr std::size_t kInputTextUnits = kTextUnits;

// The phonetic strip as the window it is drawn on keeps it: the glyph
// bitmap (loaded once), the transcription of the entry on show and its
// place. Showing an entry stores them; a repaint
// draws them again without reading the book.
class PhoneticStrip {
 public:
  // The view that formats the entry on show and holds its transcription.
  EntryView& View() { return view_; }
  // Places the strip and loads bitmap 130 at the place's factor unless it
  // is loaded at it.
  void Prepare(const StripPlace& place);
  // Draws the kept transcription on dc, the strip window's device context.
  // clearBand whitens the band first, wiping the last entry's glyphs; a
  // repaint's erased background needs no clearing.
  void Draw(HDC dc, bool clearBand) const;

 private:
  EntryView view_;
  StripPlace place_;
};

// Shows the book's current entry in the content pane (" <Not Found!>" when
// there is none, a closed book included), draws its transcription on
// stripWindow's client area at place, and selects the
// whole input box text. strip, when given, keeps what was drawn for later
// repaints; note, when given, is a line shown above the entry. False when
// memory ran out (the pane is then empty).
bool ShowCurrentEntry(BookFile& book, const EntryPanes& panes, HWND stripWindow,
                      const StripPlace& place, PhoneticStrip* strip = nullptr,
                      std::u16string_view note = {});

// Looks up inputText (kInputTextUnits units at most, the rest not looked
// at) and shows the entry the lookup ends on, found or not; false as
// ShowCurrentEntry.
bool ShowTypedWord(BookFile& book, const EntryPanes& panes, const char16_t* inputText,
                   HWND stripWindow, const StripPlace& place, PhoneticStrip* strip = nullptr);

// Shows the book's title in part 0 of the status bar.
void ShowBookTitle(const BookFile& book, HWND statusBar);

}  // namespace quill
