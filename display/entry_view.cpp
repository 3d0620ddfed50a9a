#include "display/entry_view.h"

#include <algorithm>
#include <memory>
#include <new>

#include "win/dpi.h"
#include "win/wide_text.h"
#include "display/phonetic_glyphs.h"
#include "resources/ids.h"

namespace quill {

EntryView::~EntryView() = default;

bool EntryView::FormatContent(const char16_t* content, std::int32_t lineSeparator,
                              std::int32_t textBufferUnits, std::u16string_view note) {
  const std::size_t limit = DisplayLimit(textBufferUnits);
  std::unique_ptr<char16_t[]> display(new (std::nothrow) char16_t[limit]());
  hasPhonetic_ = true;
  if (display) {
    BuildDisplayText(content, display.get(), phonetic_, limit, lineSeparator);
  } else {
    phonetic_[0] = 0;
  }
  std::unique_ptr<char16_t[]> noted;
  if (display && !note.empty()) {
    // The note goes above the text as it was formatted, so that the entry's
    // own phonetic line is the one the strip draws.
    std::size_t units = 0;
    while (display[units] != 0) ++units;
    noted.reset(new (std::nothrow) char16_t[note.size() + 2 + units + 1]);
    if (noted) {
      std::copy(note.begin(), note.end(), noted.get());
      noted[note.size()] = u'\r';
      noted[note.size() + 1] = u'\n';
      std::copy(display.get(), display.get() + units + 1, noted.get() + note.size() + 2);
    }
  }

  // Should memory run out, the pane is emptied rather than left showing the
  // previous entry as if it were this one.
  const bool converted = display != nullptr && (note.empty() || noted != nullptr);
  const char16_t* shown = noted ? noted.get() : display.get();
  SendMessageW(contentPane_, WM_SETREDRAW, FALSE, 0);
  SetWindowTextW(contentPane_, converted ? AsWide(shown) : L"");
  SendMessageW(contentPane_, WM_SETREDRAW, TRUE, 0);
  // While redrawing was off the pane dropped its own invalidation; one
  // repaint now shows the new text.
  InvalidateRect(contentPane_, nullptr, TRUE);
  return converted;
}

bool EntryView::LoadGlyphs(HINSTANCE module, int factor) {
  glyphBitmap_ = LoadBitmapWhole(module, IDB_PHONETIC_GLYPHS, factor);
  glyphFactor_ = glyphBitmap_ != nullptr ? factor : 1;
  return glyphBitmap_ != nullptr;
}

void EntryView::DrawPhoneticStrip(HDC dc, const StripPlace& place) const {
  if (hasPhonetic_ && place.shown) DrawGlyphs(dc, place.glyphX, place.glyphY);
}

void EntryView::DrawGlyphs(HDC dc, int x0, int y0) const {
  if (glyphBitmap_ == nullptr) return;
  ScopedMemDC cells(dc);
  if (!cells) return;
  ScopedSelect bitmap(cells, glyphBitmap_);
  const int f = glyphFactor_;
  for (std::size_t k = 0; k < kMaxPhoneticChars && phonetic_[k] != 0; ++k) {
    const int x = x0 + f * kGlyphAdvance * static_cast<int>(k);
    BitBlt(dc, x, y0, f * kGlyphWidth, f * kGlyphHeight, cells,
           f * GlyphColumn(GlyphIndex(phonetic_[k])), 0, SRCCOPY);
  }
}

}  // namespace quill
