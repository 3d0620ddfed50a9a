// EntryControls: the controls a look-up is typed into and shown in: the
// input box, the virtual word list that drops down under it and the
// read-only content pane, with their fonts, the text last read from the box
// and what typing carries from one message to the next. The main window
// decides what they show; this owner makes them, places them and keeps
// their state.
#pragma once

#include <windows.h>

#include "display/show_entry.h"
#include "shell/layout.h"
#include "shell/typing_state.h"
#include "win/glyph_fonts.h"
#include "win/scoped_win.h"

namespace quill {

class EntryControls {
 public:
  EntryControls() = default;
  EntryControls(const EntryControls&) = delete;
  EntryControls& operator=(const EntryControls&) = delete;

  // Makes the three controls in parent at layout's places, the list hidden.
  // Keys pressed in the input box go to parent first (WM_KEYDOWN); Up,
  // Down and Esc stop there. A double-click on the content pane goes to
  // parent as MSG_PANE_DOUBLE_CLICK with the character's index; the pane
  // selects the word itself only when parent answers FALSE.
  // Fonts are made for dpi. Text with characters the pane's or the input
  // box's font has no glyphs for is shown in a face that has them.
  void Create(HWND parent, HINSTANCE instance, const MainLayout& layout, int dpi);
  void Place(const MainLayout& layout);
  // Makes the fonts again for dpi (the caller places the controls).
  void SetDpi(int dpi);
  // The font a word list row with text is drawn in: the list's own, unless
  // it lacks glyphs text needs.
  HFONT RowFont(HDC dc, std::wstring_view text);

  HWND InputBox() const { return inputBox_; }
  HWND WordList() const { return wordList_; }
  HWND ContentPane() const { return contentPane_; }

  // The input box's text, read into Text() now.
  const char16_t* ReadInput();
  // The text last read or put there (kInputTextUnits with its terminator).
  char16_t* Text() { return text_; }
  void SetInput(const char16_t* text);
  void SelectInput();

  // The end of every look-up: the focus in the input box with its text
  // selected, the content pane enabled and the word list hidden.
  void ReadyForTyping();
  void SetPaneEnabled(bool enabled);
  void ShowWordList(bool shown);

  TypingState& Typing() { return typing_; }

 private:
  static LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclass, DWORD_PTR owner);
  static LRESULT CALLBACK ContentPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR subclass, DWORD_PTR owner);
  void CreateWordList(HWND parent, HINSTANCE instance, const MainLayout& layout);
  void MakeFonts(int dpi);
  // Gives control the font that draws its text now: base, or a face that
  // has the glyphs base lacks.
  static void FitFont(HWND control, HFONT base, GlyphFonts& fonts);

  HWND inputBox_ = nullptr;
  HWND wordList_ = nullptr;
  HWND contentPane_ = nullptr;
  ScopedFont paneFont_;
  ScopedFont inputFont_;
  GlyphFonts paneFonts_;
  GlyphFonts inputFonts_;
  GlyphFonts rowFonts_;
  char16_t text_[kInputTextUnits] = {};
  TypingState typing_;
};

}  // namespace quill
