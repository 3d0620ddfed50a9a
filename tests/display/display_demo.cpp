// Shows one entry of a small book on the display test window and keeps it
// on screen for a while, so that the pane and the glyph strip can be looked
// at (for example with a screenshot under Xvfb). Not a test.
//   display_demo [key] [side-panel state] [seconds]
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "display/show_entry.h"
#include "display_window.h"
#include "support/test_books.h"

int main(int argc, char** argv) {
  using namespace quill;
  const std::string key = argc > 1 ? argv[1] : "symbols";
  const int sidePanel = argc > 2 ? std::atoi(argv[2]) : 0;
  const int seconds = argc > 3 ? std::atoi(argv[3]) : 20;

  std::vector<BookEntry> entries = {
      {u"book", u"[bUk]|a set of printed pages fastened together|to book: to reserve a seat"},
      {u"cat", u"[kat]|a small domesticated animal"},
      {u"measure", u"[\'m8C5]|the size or amount of something"},
      {u"symbols", u"[iIUOpbtdkfvszmnhlrwj\'.gLMNa0123456789ABCDEe]|every glyph, "
                   u"then e, which has none|second line"},
      {u"thing", u"[DiA]|an object"},
  };
  BookLayout layout;
  layout.title = u"Demo Shelf Book";
  layout.lineSeparator = u'|';
  BookFile book;
  if (book.Open(testing::WriteBook(entries, layout).c_str()) != 1) return 1;

  testing::DisplayWindow window;
  char16_t inputText[kInputTextUnits] = {};
  for (std::size_t i = 0; i < key.size() && i + 1 < kInputTextUnits; ++i) {
    inputText[i] = static_cast<unsigned char>(key[i]);
  }
  SetWindowTextW(window.Panes().inputBox, reinterpret_cast<const wchar_t*>(inputText));
  ShowBookTitle(book, window.Panes().statusBar);
  window.Pump();
  // The strip where the main window puts it with no side panel or with one.
  const int left = sidePanel == 0 ? 5 : 205;
  const int bandLeft = sidePanel == 0 ? 5 : 203;
  ShowTypedWord(book, window.Panes(), inputText, window.Window(),
                StripPlace{true, {bandLeft, 70, 1024 - bandLeft, 20}, left, 75});

  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000u;
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(50);
  }
  book.Close();
  return 0;
}
