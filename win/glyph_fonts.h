// Fonts for text whose characters a control's font has no glyphs for. An
// EDIT control or a list row draws with one font; when that font lacks some
// characters of the text (Chinese in a Latin face, say), another installed
// face that has them is picked by asking each face for its glyphs, whether
// or not the system links fonts of its own.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "win/scoped_win.h"

namespace quill {

// The characters of text that font (selected into no DC; dc is used to ask)
// has no glyph for, each once, in order. Line breaks, tabs, other controls,
// format characters and surrogate halves are never counted as missing.
std::wstring MissingGlyphs(HDC dc, HFONT font, std::wstring_view text);

// The installed face that draws the most of characters (all of them, when
// one does), at base's height: the faces most likely to have a script are
// asked first, then every other face. Empty when none draws any.
std::wstring FaceForGlyphs(HDC dc, HFONT base, std::wstring_view characters);

// Keeps, for one base font, the fonts picked for the texts shown with it.
// Not thread-safe: the GUI thread's.
class GlyphFonts {
 public:
  // The font to draw text with: base when base has every glyph, else base's
  // size and style in the face that has the most of them (kept here, for
  // as long as this object or until Reset). dc asks; null takes the screen.
  HFONT FontFor(HDC dc, HFONT base, std::wstring_view text);
  // Forgets every font made (the base changed, for a new DPI).
  void Reset();

 private:
  HFONT FontOfFace(HFONT base, const std::wstring& face);

  HFONT base_ = nullptr;
  // Face names by the 128-character blocks of the missing characters.
  std::map<std::wstring, std::wstring> faceByBlocks_;
  std::map<std::wstring, ScopedFont> fontByFace_;
};

}  // namespace quill
