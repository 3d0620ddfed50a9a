#include "display/entry_view.h"

#include <algorithm>

#include <memory>
#include <new>

#include "win/wide_text.h"
#include "display/phonetic_glyphs.h"
#include "resources/ids.h"

namespace quill {

EntryView::~EntryView() = default;

bool EntryView::FormatContent(const char16_t* content, std::int32_t lineSeparator,
                              std::int32_t textBufferUnits) {
  const std::size_t limit = DisplayLimit(textBufferUnits);
  std::unique_ptr<char16_t[]> display(new (std::nothrow) char16_t[limit]());
  hasPhonetic_ = true;
  if (display) {
    BuildDisplayText(content, display.get(), phonetic_, limit, lineSeparator);
  } else {
    phonetic_[0] = 0;
  }

  // Should memory run out, the pane is emptied rather than left showing the
  // previous entry as if it were this one.
  const bool converted = display != nullptr;
  SendMessageW(contentPane_, WM_SETREDRAW, FALSE, 0);
  SetWindowTextW(contentPane_, display ? AsWide(display.get()) : L"");
  SendMessageW(contentPane_, WM_SETREDRAW, TRUE, 0);
  // While redrawing was off the pane dropped its own invalidation; one
  // repaint now shows the new text.
  InvalidateRect(contentPane_, nullptr, TRUE);
  return converted;
}

bool EntryView::LoadGlyphs(HINSTANCE module) {
  glyphBitmap_.reset(LoadBitmapW(module, MAKEINTRESOURCEW(IDB_PHONETIC_GLYPHS)));
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
  for (std::size_t k = 0; k < kMaxPhoneticChars && phonetic_[k] != 0; ++k) {
    const int x = x0 + kGlyphAdvance * static_cast<int>(k);
    BitBlt(dc, x, y0, kGlyphWidth, kGlyphHeight, cells, GlyphColumn(GlyphIndex(phonetic_[k])), 0,
           SRCCOPY);
  }
}

}  // namespace quill
