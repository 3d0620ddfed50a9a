#include "display/show_entry.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <new>

#include "book/book_format.h"
#include "win/wide_text.h"
#include "display/entry_view.h"
#include "win/scoped_win.h"

namespace quill {

void PhoneticStrip::Prepare(const StripPlace& place) {
  place_ = place;
  if (!view_.HasGlyphs() || view_.GlyphFactor() != place.factor) {
    view_.LoadGlyphs(GetModuleHandleW(nullptr), place.factor);
  }
}

void PhoneticStrip::Draw(HDC dc, bool clearBand) const {
  if (clearBand && place_.shown) {
    const RECT band = ToRect(place_.band);
    FillRect(dc, &band,
             place_.highContrast ? GetSysColorBrush(COLOR_WINDOW)
                                 : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  view_.DrawPhoneticStrip(dc, place_);
}

bool ShowCurrentEntry(BookFile& book, const EntryPanes& panes, HWND stripWindow,
                      const StripPlace& place, PhoneticStrip* strip, std::u16string_view note) {
  PhoneticStrip local;
  PhoneticStrip& kept = strip != nullptr ? *strip : local;
  BookHeader header;
  book.CopyHeader(&header);
  const std::size_t capacity = ContentCapacity(header.textBufferUnits);
  std::unique_ptr<char16_t[]> content(new (std::nothrow) char16_t[capacity]);
  const bool haveContent = content && book.ReadContent(content.get(), capacity) == 1;

  kept.View().SetContentPane(panes.contentPane);
  const bool formatted = kept.View().FormatContent(haveContent ? content.get() : nullptr,
                                                   header.lineSeparator, header.textBufferUnits, note);
  kept.Prepare(place);
  if (const ScopedGetDC dc(stripWindow); dc.get() != nullptr) kept.Draw(dc, true);
  SendMessageW(panes.inputBox, EM_SETSEL, 0, -1);
  return formatted;
}

bool ShowTypedWord(BookFile& book, const EntryPanes& panes, const char16_t* inputText,
                   HWND stripWindow, const StripPlace& place, PhoneticStrip* strip) {
  // FindWord folds the word in place: it works on a copy.
  char16_t word[kInputTextUnits];
  std::size_t units = 0;
  while (units + 1 < kInputTextUnits && inputText[units] != 0) {
    word[units] = inputText[units];
    ++units;
  }
  word[units] = 0;
  book.FindWord(word);
  return ShowCurrentEntry(book, panes, stripWindow, place, strip);
}

void ShowBookTitle(const BookFile& book, HWND statusBar) {
  BookHeader header;
  book.CopyHeader(&header);
  char16_t title[kTitleUnits + 1] = {};
  for (std::size_t i = 0; i < static_cast<std::size_t>(kTitleUnits) && header.title[i] != 0; ++i) {
    title[i] = header.title[i];
  }
  SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(title));
}

}  // namespace quill
