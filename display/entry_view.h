// EntryView: shows one entry, for the duration of one display. It formats
// the content into the content pane and draws the transcription that the
// content opens with as a strip of glyphs from bitmap 130.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "display/entry_format.h"
#include "win/placement.h"
#include "win/scoped_win.h"

namespace quill {

// Where the phonetic strip goes in the window it is drawn on: the band
// cleared before drawing and the first glyph cell. A place not shown draws
// nothing.
struct StripPlace {
  bool shown = false;
  ControlBox band;
  int glyphX = 0;
  int glyphY = 0;
  // Each glyph pixel is drawn as a factor x factor square.
  int factor = 1;
  // Under a high-contrast theme: the glyphs in the window-text colour on
  // the window colour, not the art's greys on white.
  bool highContrast = false;
};

class EntryView {
 public:
  EntryView() = default;
  EntryView(const EntryView&) = delete;
  EntryView& operator=(const EntryView&) = delete;
  virtual ~EntryView();

  void SetContentPane(HWND pane) { contentPane_ = pane; }

  // Puts content (null for a missing entry) into the content pane, its
  // transcription into the phonetic text: false when memory ran out and
  // the pane was emptied instead. A note, when given, is one line put
  // above the formatted content; the transcription stays the entry's own.
  bool FormatContent(const char16_t* content, std::int32_t lineSeparator,
                     std::int32_t textBufferUnits, std::u16string_view note = {});

  // Loads bitmap 130 from module: whether it loaded (without it the strip
  // draws nothing). The cells are kept at factor times their size.
  bool LoadGlyphs(HINSTANCE module, int factor = 1);
  int GlyphFactor() const { return glyphFactor_; }
  bool HasGlyphs() const { return glyphBitmap_.get() != nullptr; }

  // Draws the phonetic text at place, when shown.
  void DrawPhoneticStrip(HDC dc, const StripPlace& place) const;
  // Draws the phonetic text, one glyph cell per unit, from (x0, y0), each
  // cell at the loaded factor; plain draws the ink in the window-text
  // colour on the window colour.
  void DrawGlyphs(HDC dc, int x0, int y0, bool plain = false) const;

  const char16_t* PhoneticText() const { return phonetic_; }

 private:
  HWND contentPane_ = nullptr;
  char16_t phonetic_[kPhoneticUnits] = {};
  bool hasPhonetic_ = false;
  ScopedBitmap glyphBitmap_;
  int glyphFactor_ = 1;
  // The glyphs' ink as a one-bit mask (ink 0), made when first drawn plain.
  mutable ScopedBitmap glyphMask_;
};

}  // namespace quill
