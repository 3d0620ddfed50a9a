// SubWnd: the find panel, a child window at the left of the main window. The
// user types one or two words, and the panel lists every entry of the open
// book whose key or content holds them; picking a row looks its key up in
// the main window.
#pragma once

#include <windows.h>

#include <cstddef>

#include "book/book_file.h"
#include "book/match_query.h"
#include "panels/side_panel.h"

namespace quill {

// The longest typed text, in units, that a search accepts.
inline constexpr int kMaxFindUnits = 80;
// The most entries one search lists.
inline constexpr int kMaxFindResults = 300;
// The only row of a search that found nothing; picking it looks up nothing.
inline constexpr wchar_t kNoRecordsFound[] = L"No records found!";
// What a window text or a result row may fill of textBuffer, in units.
inline constexpr int kFindTextLimit = static_cast<int>(kTextUnits);

// Every typed text the panel accepts fits one term slot whole.
static_assert(kMaxFindUnits < kTermSlotUnits);

class SubWnd : public SidePanel {
 public:
  // The main window's open book; not owned, null until the first book is
  // open.
  BookFile* book = nullptr;
  HWND findButton = nullptr;
  // The typed text and, one after another, each result key; no platform
  // call is given more than kFindTextLimit units of it.
  char16_t textBuffer[kFindTextLimit] = {};
  HWND resultList = nullptr;
  HWND findEdit = nullptr;

  // Registers "SubWnd" and creates the panel, with its three controls, as a
  // child of mainWindow at box.
  HWND Create(HWND mainWindow, const ControlBox& box);
  // Moves the panel to box, the result list filling it below the button.
  void Move(const ControlBox& box) override;
  // Empties the text box and the result list, as after another book is
  // opened.
  void Clear();

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  // Lists the first kMaxFindResults entries that hold the typed words, the
  // one nearest the end of the book first, or "No records found!"; the
  // book's current entry is left where it was.
  void Search();
  // Sends the selected row to the main window as a word to look up, unless
  // it is the "No records found!" row.
  void PickResult();

 private:
  // Creates the text box, the button and the result list.
  void OnCreate(HWND window);
  void OnPaint(HWND window);
  void OnKeyDown(WPARAM key);
  void OnCommand(int id, int code, HWND control);
  // Fills the list with the keys of the matches, each at the top.
  void ListMatches(const int* matches, std::size_t count);

  // The text box's subclass: key presses go to the panel first, so that
  // Enter searches.
  static LRESULT CALLBACK FindEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclass, DWORD_PTR panel);
};

}  // namespace quill
