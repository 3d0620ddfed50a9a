#include "display/entry_view.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "win/dpi.h"
#include "win/wide_text.h"
#include "display/phonetic_glyphs.h"
#include "resources/ids.h"

namespace quill {

namespace {

// bitmap's ink (every pixel darker than light grey) as a one-bit bitmap:
// 0 for ink, 1 for paper. Null when it cannot be made.
ScopedBitmap InkMask(HBITMAP bitmap) {
  int width = 0;
  int height = 0;
  const std::vector<DWORD> pixels = BitmapPixels(bitmap, &width, &height);
  if (pixels.empty()) return {};
  // CreateBitmap takes rows padded to 16 bits.
  const std::size_t stride = static_cast<std::size_t>((width + 15) / 16) * 2;
  std::vector<BYTE> bits(stride * height, 0xFF);
  constexpr int kPaper = 3 * 0xE0;  // the sum of a light grey's channels
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const DWORD p = pixels[static_cast<std::size_t>(y) * width + x];
      const int sum = static_cast<int>((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF));
      if (sum < kPaper) bits[y * stride + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
    }
  }
  return ScopedBitmap(CreateBitmap(width, height, 1, 1, bits.data()));
}

}  // namespace

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
  glyphMask_.reset();
  return glyphBitmap_ != nullptr;
}

void EntryView::DrawPhoneticStrip(HDC dc, const StripPlace& place) const {
  if (hasPhonetic_ && place.shown) DrawGlyphs(dc, place.glyphX, place.glyphY, place.highContrast);
}

void EntryView::DrawGlyphs(HDC dc, int x0, int y0, bool plain) const {
  if (glyphBitmap_ == nullptr) return;
  if (plain && glyphMask_ == nullptr) glyphMask_ = InkMask(glyphBitmap_.get());
  const HBITMAP source = plain && glyphMask_ != nullptr ? glyphMask_.get() : glyphBitmap_.get();
  ScopedMemDC cells(dc);
  if (!cells) return;
  ScopedSelect bitmap(cells, source);
  // A one-bit source is drawn with the text colour for its 0 bits and the
  // background colour for its 1 bits.
  const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  const int f = glyphFactor_;
  for (std::size_t k = 0; k < kMaxPhoneticChars && phonetic_[k] != 0; ++k) {
    const int x = x0 + f * kGlyphAdvance * static_cast<int>(k);
    BitBlt(dc, x, y0, f * kGlyphWidth, f * kGlyphHeight, cells,
           f * GlyphColumn(GlyphIndex(phonetic_[k])), 0, SRCCOPY);
  }
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

}  // namespace quill
