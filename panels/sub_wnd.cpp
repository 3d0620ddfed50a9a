// SubWnd: the find panel's controls, its search over the whole book and the
// hand-over of a picked row to the main window.
#include "panels/sub_wnd.h"

#include "win/controls.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "book/utf.h"

#include "win/wide_text.h"
#include "resources/ids.h"
#include "win/scoped_win.h"

namespace quill {

namespace {

// Where the controls stand in the panel. The result list starts narrow; the
// panel's first Move widens it and makes it reach the panel's foot.
constexpr ControlBox kFindEditBox = {5, 5, 185, 25};
constexpr ControlBox kFindButtonBox = {65, 40, 65, 20};
constexpr ControlBox kFirstResultListBox = {5, 70, 145, 250};
// "All books", in the room left of the Find button.
constexpr ControlBox kAllBooksBox = {5, 40, 58, 20};
constexpr wchar_t kAllBooksText[] = L"All books";
constexpr wchar_t kAllBooksShortText[] = L"All";
constexpr int kResultListLeft = 5;
constexpr int kResultListTop = 70;  // below the Find button
constexpr int kResultListWidth = 185;

int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); }

void InsertAtTop(HWND list, const wchar_t* text) {
  SendMessageW(list, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The file name of a path (UTF-8), as the rows name a book.
std::wstring FileName(const std::string& path) {
  std::u16string wide;
  Utf8ToUtf16(path.substr(path.find_last_of("/\\") + 1), &wide);
  return Wide(wide);
}

// The check box's label: "All books" when it fits beside the box (width
// wide) in the font given, else "All".
const wchar_t* AllBooksLabel(HWND box, HFONT font, int width) {
  const ScopedGetDC dc(box);
  if (dc.get() == nullptr) return kAllBooksShortText;
  const HGDIOBJ old = SelectObject(dc.get(), font);
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), kAllBooksText, static_cast<int>(std::wcslen(kAllBooksText)), &size);
  SelectObject(dc.get(), old);
  // The box, the gap the button leaves after it, and the text.
  const int needed = GetSystemMetrics(SM_CXMENUCHECK) + 2 * GetSystemMetrics(SM_CXEDGE) + size.cx;
  return needed <= width ? kAllBooksText : kAllBooksShortText;
}

// One or two terms from the typed text: the text before its first space and
// the text after it (further spaces belong to the second term). The text
// holds at most kMaxFindUnits units, so each term fits its slot whole.
void FillQuery(const char16_t* text, MatchQuery* query) {
  std::memset(query, 0, sizeof *query);
  int term = 0;
  int at = 0;
  for (const char16_t* unit = text; *unit != 0 && at < kTermSlotUnits - 1; ++unit) {
    if (*unit == u' ' && term == 0) {
      term = 1;
      at = 0;
      continue;
    }
    query->terms[term][at++] = *unit;
  }
  query->termCount = term + 1;
}

}  // namespace

HWND SubWnd::Create(HWND mainWindow, const ControlBox& box) {
  return CreatePanel(mainWindow, L"SubWnd", box);
}

void SubWnd::Move(const ControlBox& box) {
  SidePanel::Move(box);
  panelHeight_ = box.height;
  if (resultList == nullptr) return;
  // The list fills the panel from below the Find button to its foot.
  PlaceControl(resultList, {Scaled(kResultListLeft), Scaled(kResultListTop),
                            Scaled(kResultListWidth), box.height - Scaled(kResultListTop)});
}

void SubWnd::SetDpi(int dpi) {
  SidePanel::SetDpi(dpi);
  if (hwnd == nullptr) return;
  PlaceControl(findEdit, Scaled(kFindEditBox));
  PlaceControl(findButton, Scaled(kFindButtonBox));
  PlaceControl(allBooksBox, Scaled(kAllBooksBox));
  LabelAllBooksBox();
  // The rows take the height of the list's font, which the system made
  // for the new DPI.
  const ScopedGetDC dc(resultList);
  if (dc.get() != nullptr) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(resultList, WM_GETFONT, 0, 0));
    const ScopedSelect selected(dc.get(), font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    SendMessageW(resultList, LB_SETITEMHEIGHT, 0, metrics.tmHeight);
  }
  rowFonts_.Reset();
}

void SubWnd::LabelAllBooksBox() {
  const auto guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(allBooksBox, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);
  SetWindowTextW(allBooksBox, AllBooksLabel(allBooksBox, guiFont, Scaled(kAllBooksBox.width)));
}

void SubWnd::DrawRow(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const auto length = SendMessageW(resultList, LB_GETTEXTLEN, item.itemID, 0);
  if (length > 0) {
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(resultList, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()))));
    const auto listFont = reinterpret_cast<HFONT>(SendMessageW(resultList, WM_GETFONT, 0, 0));
    const HFONT font = rowFonts_.FontFor(
        dc, listFont != nullptr ? listFont : static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), text);
    const ScopedSelect selectedFont(dc, font);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect = item.rcItem;
    textRect.left += 2;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
  }
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    DrawFocusRect(dc, &item.rcItem);
  }
}

SubWnd::~SubWnd() { search_.Stop(); }

void SubWnd::Clear() {
  StopSearch();
  SendMessageW(findEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  ResetList();
}

void SubWnd::Hide() {
  StopSearch();
  SidePanel::Hide();
}

void SubWnd::ResetList() {
  SendMessageW(resultList, LB_RESETCONTENT, 0, 0);
  rows_.clear();
  searchingRowShown_ = false;
  listOfAllBooks_ = false;
}

LRESULT SubWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(window);
      return 0;
    case WM_DESTROY:
      StopSearch();
      PostQuitMessage(0);
      return 0;
    case WM_CTLCOLORSTATIC:
      // The check box stands on the panel's own background.
      if (reinterpret_cast<HWND>(lParam) == allBooksBox) {
        SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
      }
      break;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->hwndItem == resultList && resultList != nullptr) {
        DrawRow(*item);
        return TRUE;
      }
      break;
    }
    case MSG_FIND_PROGRESS:
      if (searching_ && wParam == searchNumber_) ShowFound();
      return 0;
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void SubWnd::OnCreate(HWND window) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
  findButton = CreateChildControl(window, instance,
                                  {0, L"BUTTON", L"Find", WS_VISIBLE | BS_PUSHBUTTON},
                                  Scaled(kFindButtonBox), IDC_FIND_BUTTON);
  findEdit = CreateChildControl(
      window, instance,
      {WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, L"EDIT", L"", WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL},
      Scaled(kFindEditBox), IDC_FIND_EDIT);
  resultList = CreateChildControl(
      window, instance,
      {0, L"LISTBOX", L"",
       WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS},
      Scaled(kFirstResultListBox), IDC_RESULT_LIST);
  allBooksBox = CreateChildControl(window, instance,
                                   {0, L"BUTTON", L"", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
                                   Scaled(kAllBooksBox), IDC_ALL_BOOKS);
  LabelAllBooksBox();
  LabelControl(findEdit, L"Find text");
  LabelControl(resultList, L"Results");
  // The box takes no more than a search accepts, so that what the user
  // types is never silently refused; a longer text set from code still is.
  SendMessageW(findEdit, EM_LIMITTEXT, kMaxFindUnits, 0);
  SubclassControl(findEdit, &SubWnd::FindEditProc, this);
}

LRESULT CALLBACK SubWnd::FindEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR) {
  if (message == WM_KEYDOWN) SendMessageW(GetParent(window), WM_KEYDOWN, wParam, lParam);
  return PassToControl(window, message, wParam, lParam, &SubWnd::FindEditProc);
}

void SubWnd::OnPaint(HWND window) {
  // The class background brush draws all there is.
  const ScopedPaint paint(window);
}

void SubWnd::OnKeyDown(WPARAM key) {
  if (key == VK_RETURN) Search();
  if (key == VK_ESCAPE) StopSearch();
}

void SubWnd::OnCommand(int id, int code, HWND control) {
  if (control != nullptr && control == allBooksBox) {
    StopSearch();
  } else if (control != nullptr && control == findButton) {
    Search();
  } else if (control != nullptr && control == resultList && id == IDC_RESULT_LIST &&
             code == LBN_SELCHANGE) {
    PickResult();
  }
}

void SubWnd::Search() {
  StopSearch();
  rows_.clear();
  searchingRowShown_ = false;
  listOfAllBooks_ = false;
  while (RowCount(resultList) > 0) SendMessageW(resultList, LB_RESETCONTENT, 0, 0);
  InvalidateRect(hwnd, nullptr, TRUE);

  textBuffer[0] = 0;
  SendMessageW(findEdit, WM_GETTEXT, kFindTextLimit, reinterpret_cast<LPARAM>(textBuffer));
  std::size_t length = 0;
  while (length < kFindTextLimit && textBuffer[length] != 0) ++length;
  if (length == 0 || length > static_cast<std::size_t>(kMaxFindUnits)) return;

  MatchQuery query;
  FillQuery(textBuffer, &query);
  if (SendMessageW(allBooksBox, BM_GETCHECK, 0, 0) == BST_CHECKED && allBooks) {
    SearchAllBooks(query);
    return;
  }
  if (book == nullptr) return;

  const int remembered = book->CurrentEntry();
  std::vector<int> matches;
  int previous = -1;
  for (;;) {
    query.startEntry = previous + 1;
    if (book->FindNextMatch(query) != 1) break;
    previous = book->CurrentEntry();
    matches.push_back(previous);
    if (matches.size() >= static_cast<std::size_t>(kMaxFindResults)) break;
  }
  ListMatches(matches.data(), matches.size());
  book->SetCurrentEntry(remembered);
}

void SubWnd::ListMatches(const int* matches, std::size_t count) {
  if (count == 0) {
    SendMessageW(resultList, LB_RESETCONTENT, 0, 0);
    InsertAtTop(resultList, kNoRecordsFound);
    return;
  }
  // Hundreds of rows each go to the top: draw the list once, at the end.
  SendMessageW(resultList, WM_SETREDRAW, FALSE, 0);
  for (std::size_t i = 0; i < count; ++i) {
    // A key that cannot be read whole into a row is left out rather than
    // listed cut.
    if (!book->SetCurrentEntry(matches[i]) || !book->ReadKey(textBuffer, kFindTextLimit)) continue;
    InsertAtTop(resultList, AsWide(textBuffer));
  }
  SendMessageW(resultList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(resultList, nullptr, TRUE);
}

void SubWnd::SearchAllBooks(const MatchQuery& query) {
  lookup::FindRequest request;
  request.books = allBooks();
  request.query = query;
  request.limit = kMaxFindResults;
  searchBooks_ = request.books;
  shownBooks_ = 0;
  searching_ = true;
  listOfAllBooks_ = true;
  const HWND panel = hwnd;
  const WPARAM number = ++searchNumber_;
  search_.Start(std::move(request),
                [panel, number] { PostMessageW(panel, MSG_FIND_PROGRESS, number, 0); });
  ShowFound();
}

void SubWnd::StopSearch() {
  if (!searching_) return;
  search_.Stop();
  searching_ = false;
  // The books done before the stop are listed; nothing is said of the rest.
  RemoveSearchingRow();
}

void SubWnd::AddRow(const std::wstring& text, LPARAM row) {
  const auto at = static_cast<int>(
      SendMessageW(resultList, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())));
  if (at >= 0) SendMessageW(resultList, LB_SETITEMDATA, static_cast<WPARAM>(at), row);
}

void SubWnd::RemoveSearchingRow() {
  if (!searchingRowShown_) return;
  const int rows = RowCount(resultList);
  if (rows > 0) SendMessageW(resultList, LB_DELETESTRING, static_cast<WPARAM>(rows - 1), 0);
  searchingRowShown_ = false;
}

void SubWnd::ShowFound() {
  const std::size_t count = search_.Count();
  const std::size_t ready = search_.Ready();
  SendMessageW(resultList, WM_SETREDRAW, FALSE, 0);
  RemoveSearchingRow();
  for (; shownBooks_ < ready; ++shownBooks_) {
    const lookup::BookFinds& finds = search_.Finds(shownBooks_);
    std::wstring path;
    {
      std::u16string wide;
      Utf8ToUtf16(searchBooks_[shownBooks_], &wide);
      path = Wide(wide);
    }
    for (const std::u16string& key : finds.keys) {
      // Rows are at most what a row of the single-book search may hold.
      const std::wstring text = Wide(key) + L" \u2014 " + Wide(finds.title);
      if (text.size() >= static_cast<std::size_t>(kFindTextLimit)) continue;
      rows_.push_back({path, key});
      AddRow(text, static_cast<LPARAM>(rows_.size()));
    }
  }
  if (ready < count) {
    AddRow(L"Searching\u2026 (" + std::to_wstring(ready) + L" of " + std::to_wstring(count) + L" books)", 0);
    searchingRowShown_ = true;
  } else {
    searching_ = false;
    search_.Wait();
    if (rows_.empty()) AddRow(kNoRecordsFound, 0);
    std::vector<std::wstring> failed;
    for (std::size_t n = 0; n < count; ++n) {
      if (!search_.Finds(n).searched) failed.push_back(FileName(searchBooks_[n]));
    }
    if (!failed.empty()) {
      std::wstring line = std::to_wstring(failed.size()) +
                          (failed.size() == 1 ? L" book could not be searched: " : L" books could not be searched: ");
      for (std::size_t n = 0; n < failed.size(); ++n) line += (n == 0 ? L"" : L", ") + failed[n];
      AddRow(line.substr(0, static_cast<std::size_t>(kFindTextLimit) - 1), 0);
    }
  }
  SendMessageW(resultList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(resultList, nullptr, TRUE);
}

void SubWnd::PickResult() {
  const auto row = static_cast<int>(SendMessageW(resultList, LB_GETCURSEL, 0, 0));
  if (row < 0) return;
  // A row of a search in every book carries its book and key; its other
  // rows (how far the search is, what failed) pick nothing.
  const auto found = static_cast<std::size_t>(SendMessageW(resultList, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
  if (listOfAllBooks_) {
    if (found == 0 || found > rows_.size()) return;
    const FoundRow picked = rows_[found - 1];
    const bool listHadFocus = GetFocus() == resultList;
    SendMessageW(GetParent(hwnd), MSG_FIND_PICK, reinterpret_cast<WPARAM>(&picked), 0);
    if (listHadFocus) SetFocus(resultList);
    return;
  }
  wchar_t word[kFindTextLimit] = {};
  const auto length = static_cast<int>(SendMessageW(resultList, LB_GETTEXTLEN, row, 0));
  if (length < 0 || length >= kFindTextLimit) return;
  SendMessageW(resultList, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(word));
  if (std::wcscmp(word, kNoRecordsFound) == 0) return;
  // The main window gives its input box the focus; a user walking the rows
  // with the arrow keys keeps walking them.
  const bool listHadFocus = GetFocus() == resultList;
  SendMessageW(GetParent(hwnd), MSG_LOOKUP_WORD, reinterpret_cast<WPARAM>(word), 0);
  if (listHadFocus) SetFocus(resultList);
}

}  // namespace quill
