#include "display/show_entry.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <new>

#include "book/book_format.h"
#include "display/ansi_text.h"
#include "display/entry_view.h"

namespace quill {

namespace {

// Typed words are converted into the same 512 units that the word list uses.
constexpr std::size_t kTypedWordUnits = 512;
constexpr std::size_t kTitleBytes = 512;

}  // namespace

int ShowCurrentEntry(BookFile& book, const EntryPanes& panes, HWND stripWindow, int sidePanel) {
  EntryView view;
  BookHeader header;
  book.CopyHeader(&header);
  const std::size_t capacity = ContentCapacity(header.textBufferUnits);
  std::unique_ptr<char16_t[]> content(new (std::nothrow) char16_t[capacity]);
  const bool haveContent = content && book.ReadContent(content.get(), capacity) == 1;

  HDC dc = GetDC(stripWindow);
  view.SetContentPane(panes.contentPane);
  const int formatted =
      view.FormatContent(haveContent ? content.get() : nullptr, header.lineSeparator,
                         header.textBufferUnits);
  view.LoadGlyphs(GetModuleHandleA(nullptr));

  const MainLayout layout =
      LayOutMainWindow(LayoutPass::kResize, static_cast<SidePanelState>(sidePanel), 0, 0);
  if (dc != nullptr) {
    if (layout.hasStrip) {
      const ControlBox& b = layout.stripBand;
      const RECT band = {b.x, b.y, b.x + b.width, b.y + b.height};
      FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    view.DrawPhoneticStrip(dc, sidePanel);
  }
  SendMessageA(panes.inputBox, EM_SETSEL, 0, -1);
  if (dc != nullptr) ReleaseDC(stripWindow, dc);
  return formatted;
}

void PaintPhoneticStrip(BookFile& book, HDC dc, int sidePanel) {
  BookHeader header;
  book.CopyHeader(&header);
  const std::size_t capacity = ContentCapacity(header.textBufferUnits);
  std::unique_ptr<char16_t[]> content(new (std::nothrow) char16_t[capacity]);
  if (!content || book.ReadContent(content.get(), capacity) != 1) return;
  EntryView view;
  view.TakePhonetic(content.get());
  if (view.PhoneticText()[0] == 0 || !view.LoadGlyphs(GetModuleHandleA(nullptr))) return;
  view.DrawPhoneticStrip(dc, sidePanel);
}

int ShowTypedWord(BookFile& book, const EntryPanes& panes, const char* inputText,
                  HWND stripWindow, int sidePanel) {
  char16_t word[kTypedWordUnits];
  FromAnsi(CP_ACP, inputText, kInputTextBytes - 1, word, kTypedWordUnits);
  book.FindWord(word);
  return ShowCurrentEntry(book, panes, stripWindow, sidePanel);
}

void ShowBookTitle(const BookFile& book, HWND statusBar) {
  BookHeader header;
  book.CopyHeader(&header);
  std::size_t units = 0;
  while (units < static_cast<std::size_t>(kTitleUnits) && header.title[units] != 0) ++units;
  char title[kTitleBytes] = {};
  AnsiText text;
  if (ToAnsi(CP_ACP, 0, header.title, units, &text) && text.length < kTitleBytes) {
    std::memcpy(title, text.c_str(), text.length);
  }
  SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(title));
}

}  // namespace quill
