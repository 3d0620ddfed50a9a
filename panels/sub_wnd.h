// SubWnd: the find panel, a child window at the left of the main window. The
// user types one or two words, and the panel lists every entry of the open
// book whose key or content holds them; picking a row looks its key up in
// the main window.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "book/match_query.h"
#include "lookup/find_all.h"
#include "panels/side_panel.h"
#include "win/glyph_fonts.h"

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

// A row of a search in every book, as the panel hands it to the main window
// (MSG_FIND_PICK): the book it came from and its key.
struct FoundRow {
  std::wstring book;  // the book's path
  std::u16string key;
};

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
  HWND allBooksBox = nullptr;
  // The books a search in every book covers, in the order their rows
  // are listed (UTF-8 paths, each file once); set by the main window.
  std::function<std::vector<std::string>()> allBooks;

  SubWnd() = default;
  SubWnd(const SubWnd&) = delete;
  SubWnd& operator=(const SubWnd&) = delete;
  ~SubWnd() override;

  // Registers "SubWnd" and creates the panel, with its three controls, as a
  // child of mainWindow at box.
  HWND Create(HWND mainWindow, const ControlBox& box);
  // Moves the panel to box, the result list filling it below the button.
  void Move(const ControlBox& box) override;
  void SetDpi(int dpi) override;
  // Empties the text box and the result list, as after another book is
  // opened.
  void Clear();
  // Hides the panel, stopping a search in every book.
  void Hide() override;
  // Stops a search in every book under way: its rows so far stay, with no
  // other row after them. Every worker has finished when it returns.
  void StopSearch();
  // Whether a search in every book is under way.
  bool Searching() const { return searching_; }

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  // Lists the first kMaxFindResults entries that hold the typed words, the
  // one nearest the end of the book first, or "No records found!"; the
  // book's current entry is left where it was. With "All books" checked,
  // starts a search in every book instead, whose rows come book by book.
  void Search();
  // Sends the selected row to the main window as a word to look up, unless
  // it is the "No records found!" row; a row of a search in every book
  // goes as its FoundRow (MSG_FIND_PICK).
  void PickResult();

 private:
  // Creates the text box, the button and the result list.
  void OnCreate(HWND window);
  void OnPaint(HWND window);
  void OnKeyDown(WPARAM key);
  void OnCommand(int id, int code, HWND control);
  // Draws a result row in the list's font, or in a face that has the
  // glyphs the row needs when that font lacks some.
  void DrawRow(const DRAWITEMSTRUCT& item);
  // The check box's label for its font at the panel's DPI.
  void LabelAllBooksBox();
  // Fills the list with the keys of the matches, each at the top.
  void ListMatches(const int* matches, std::size_t count);
  void SearchAllBooks(const MatchQuery& query);
  // Lists the books done since the last call, in order, and after them
  // how far the search is or how it ended.
  void ShowFound();
  void AddRow(const std::wstring& text, LPARAM row);
  void RemoveSearchingRow();
  // Empties the list and forgets the rows of the last search.
  void ResetList();

  lookup::FindInBooks search_;
  std::vector<std::string> searchBooks_;
  std::vector<FoundRow> rows_;    // the rows of the last search in every book
  std::size_t shownBooks_ = 0;    // books of that search listed so far
  bool searching_ = false;
  bool searchingRowShown_ = false;
  bool listOfAllBooks_ = false;   // the list holds a search in every book
  WPARAM searchNumber_ = 0;       // tells a finished search's late messages apart
  GlyphFonts rowFonts_;
  // The list's height (its last Move), kept for a DPI change.
  int panelHeight_ = 0;

  // The text box's subclass: key presses go to the panel first, so that
  // Enter searches.
  static LRESULT CALLBACK FindEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR subclass, DWORD_PTR panel);
};

}  // namespace quill
