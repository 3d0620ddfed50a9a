// MainWindow: the input box, the navigation keys and the word list. Typing
// moves the word list and the cursor; Enter, a row click, the arrow keys and
// a word handed over by the find panel show an entry.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>
#include <optional>
#include <string>
#include <cstring>

#include "lookup/offers.h"
#include "lookup/word_at.h"
#include "resources/ids.h"
#include "shell/main_window.h"
#include "shell/word_from_clipboard.h"
#include "win/wide_text.h"

namespace quill {

namespace {

// Typing scrolls the word list this many rows past the cursor first, so
// that the nearest key ends up among the rows shown rather than at the edge.
constexpr int kTypingScrollAhead = 9;

// A book's first key is read into this many units at most.
constexpr std::size_t kFirstKeyUnits = 50;

void EnsureVisible(HWND list, int row) {
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

void MainWindow::ShowEntry() {
  ShowCurrentEntry(session_.Book(), Panes(), hwnd, Strip(), &phoneticStrip_);
}

void MainWindow::ShowTypedEntry() {
  BookFile& book = session_.Book();
  // FindWord folds the word in place: it works on a copy.
  char16_t word[kInputTextUnits];
  std::copy(entry_.Text(), entry_.Text() + kInputTextUnits, word);
  word[kInputTextUnits - 1] = 0;
  std::u16string note;
  if (!book.FindWord(word) && book.IsOpen()) {
    if (const lookup::BookKeys* keys = session_.Keys()) {
      note = lookup::MissNote(entry_.Text(), lookup::OfferWords(*keys, entry_.Text()));
    }
  }
  ShowCurrentEntry(book, Panes(), hwnd, Strip(), &phoneticStrip_, note);
}

// The strip's place depends on the side panel alone, not on the window's size.
StripPlace MainWindow::Strip() const {
  StripPlace place = LayOutMainWindow(LayoutPass::kResize, sidePanel_, 0, 0, dpi_).strip;
  place.highContrast = highContrast_;
  return place;
}

void MainWindow::PutCurrentKey(bool skipChange, std::size_t keyUnits) {
  // A key that does not fit leaves the box empty.
  entry_.Text()[0] = 0;
  session_.Book().ReadKey(entry_.Text(), std::min(keyUnits, kInputTextUnits));
  if (skipChange) entry_.Typing().ExpectOwnChange();
  entry_.SetInput(entry_.Text());
}

void MainWindow::PutFirstKey(bool skipChange) { PutCurrentKey(skipChange, kFirstKeyUnits); }

void MainWindow::OnKeyDown(WPARAM key) {
  switch (key) {
    case VK_RETURN:
      if (GetKeyState(VK_CONTROL) < 0) {
        OnEnterFirstOffer();
      } else {
        OnEnter();
      }
      break;
    case VK_ESCAPE:
      entry_.Typing().EscapePressed();
      entry_.ShowWordList(false);
      SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(entry_.ContentPane()));
      break;
    case VK_UP:
      StepEntry(-1);
      break;
    case VK_DOWN:
      StepEntry(1);
      break;
    default:
      break;
  }
}

void MainWindow::OnEnter() {
  entry_.ReadInput();
  entry_.ShowWordList(false);
  ShowTypedEntry();
  SyncWordList();
  entry_.SetPaneEnabled(true);
  entry_.ShowWordList(false);
  RecordInHistory(entry_.Text());
  entry_.Typing().EnterShown();
  entry_.SelectInput();
}

void MainWindow::OnEnterFirstOffer() {
  entry_.ReadInput();
  const lookup::BookKeys* keys = session_.Started() ? session_.Keys() : nullptr;
  if (keys != nullptr) {
    const std::vector<lookup::Offer> offers = lookup::OfferWords(*keys, entry_.Text());
    if (!offers.empty() && offers.front().word.size() < kInputTextUnits) {
      entry_.SetInput(offers.front().word.c_str());
    }
  }
  OnEnter();
}

LRESULT MainWindow::OnPaneDoubleClick(std::size_t at) {
  if (!session_.Started()) return FALSE;
  const HWND pane = entry_.ContentPane();
  const int length = GetWindowTextLengthW(pane);
  std::u16string text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, u'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(pane, AsWide(text.data()), static_cast<int>(text.size()))));
  // Whether a text is a key, for scripts written without spaces: from the
  // keys at hand, else from the book itself.
  const lookup::BookKeys* keys = session_.Keys();
  BookFile& book = session_.Book();
  const lookup::KeyTest isKey = [keys, &book](std::u16string_view candidate) {
    if (keys != nullptr) return keys->Find(candidate) >= 0;
    if (candidate.size() >= kInputTextUnits) return false;
    char16_t folded[kInputTextUnits];
    std::copy(candidate.begin(), candidate.end(), folded);
    folded[candidate.size()] = 0;
    const int cursor = book.CurrentEntry();
    const bool found = book.FindWord(folded) == 1;
    book.SetCurrentEntry(cursor);
    return found;
  };
  const lookup::WordSpan span = lookup::WordAt(text, at, isKey);
  if (span.begin == span.end) return FALSE;
  const std::u16string word =
      text.substr(span.begin, std::min(span.end - span.begin, kInputTextUnits - 1));
  entry_.SetInput(word.c_str());
  OnEnter();
  entry_.ReadyForTyping();
  return TRUE;
}

// The arrow keys step through the book and show each entry at once.
void MainWindow::StepEntry(int step) {
  if (!session_.Started()) return;
  BookFile& book = session_.Book();
  if (!book.SetCurrentEntry(book.CurrentEntry() + step)) return;
  const ControlBox area = Layout(LayoutPass::kResize).entryArea;
  const RECT below = ToRect(area);
  InvalidateRect(hwnd, &below, FALSE);
  SyncWordList();
  PutCurrentKey(true, kTextUnits);
  ShowEntry();
}

void MainWindow::OnInputBoxNotify(int code) {
  switch (code) {
    case EN_SETFOCUS:
      OnInputFocus();
      break;
    case EN_KILLFOCUS:
      entry_.SetPaneEnabled(true);
      entry_.ShowWordList(false);
      break;
    case EN_CHANGE:
      OnInputChange();
      break;
    default:
      break;
  }
}

void MainWindow::OnInputFocus() {
  if (!entry_.Typing().TakeRefocus()) PostMessageW(entry_.InputBox(), EM_SETSEL, 0, -1);
  if (entry_.Typing().TakeRowPicked()) return;
  entry_.SetPaneEnabled(false);
  entry_.ShowWordList(true);
}

// Typing moves the cursor to the nearest key and the list with it; the
// entry is shown only on Enter.
void MainWindow::OnInputChange() {
  if (entry_.Typing().TakeOwnChange()) return;
  entry_.ReadInput();
  // FindWord folds the word in place: it works on a copy.
  char16_t word[kInputTextUnits];
  std::copy(entry_.Text(), entry_.Text() + kInputTextUnits, word);
  BookFile& book = session_.Book();
  book.FindWord(word);
  EnsureVisible(entry_.WordList(), book.CurrentEntry() + kTypingScrollAhead);
  SyncWordList();
  if (entry_.Typing().TakeShowListOnChange()) entry_.ShowWordList(true);
  if (entry_.Typing().TakeChangeAfterEnter()) {
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_SETFOCUS),
                 reinterpret_cast<LPARAM>(entry_.ContentPane()));
    return;
  }
  entry_.SetPaneEnabled(false);
  entry_.ShowWordList(true);
}

// Puts the cursor's row in the middle of the list where it can.
void MainWindow::SyncWordList() {
  const HWND list = entry_.WordList();
  const int k = session_.Book().CurrentEntry();
  EnsureVisible(list, 0);
  EnsureVisible(list, k);
  const auto top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  EnsureVisible(list, 2 * k - top);
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header == nullptr) return 0;
  if (header->idFrom == IDC_WORD_LIST && header->hwndFrom == entry_.WordList()) {
    if (header->code == LVN_GETDISPINFOW) {
      FillWordListRow(reinterpret_cast<NMLVDISPINFOW*>(header));
    } else if (header->code == NM_CUSTOMDRAW) {
      return DrawWordListRow(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
    } else if (header->code == NM_CLICK) {
      const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
      if (click->iItem != -1 && session_.Started()) PickWordListRow(click->iItem);
    }
  }
  if (header->code == TTN_NEEDTEXTW) {
    auto* tip = reinterpret_cast<NMTTDISPINFOW*>(header);
    const wchar_t* text = Toolbar::TooltipText(tip->hdr.idFrom);
    if (text != nullptr) tip->lpszText = const_cast<wchar_t*>(text);
  }
  return 0;
}

// Each row is drawn in the list's font unless its key needs glyphs that
// font lacks; then in a face that has them.
LRESULT MainWindow::DrawWordListRow(NMLVCUSTOMDRAW* draw) {
  NMCUSTOMDRAW& row = draw->nmcd;
  if (row.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (row.dwDrawStage != CDDS_ITEMPREPAINT || !session_.Started()) return CDRF_DODEFAULT;
  wchar_t key[kTextUnits] = {};
  NMLVDISPINFOW info{};
  info.item.mask = LVIF_TEXT;
  info.item.iItem = static_cast<int>(row.dwItemSpec);
  info.item.pszText = key;
  info.item.cchTextMax = static_cast<int>(kTextUnits);
  FillWordListRow(&info);
  const HFONT font = entry_.RowFont(row.hdc, key);
  if (font == reinterpret_cast<HFONT>(SendMessageW(entry_.WordList(), WM_GETFONT, 0, 0))) {
    return CDRF_DODEFAULT;
  }
  SelectObject(row.hdc, font);
  return CDRF_NEWFONT;
}

// A row of the virtual list is the key of entry iItem; the cursor is moved
// there to read it and back.
void MainWindow::FillWordListRow(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iSubItem != 0 || (item.mask & LVIF_TEXT) == 0 || !session_.Started() ||
      item.pszText == nullptr || item.cchTextMax <= 0) {
    return;
  }
  BookFile& book = session_.Book();
  const int k = book.CurrentEntry();
  if (book.SetCurrentEntry(item.iItem)) {
    // Rows take at most kTextUnits units, whatever room the list offers; a
    // key that does not fit shows an empty row rather than a cut one.
    const std::size_t room = std::min(static_cast<std::size_t>(item.cchTextMax), kTextUnits);
    if (!book.ReadKey(AsUnits(item.pszText), room)) item.pszText[0] = 0;
  }
  book.SetCurrentEntry(k);
}

void MainWindow::PickWordListRow(int row) {
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = AsWide(entry_.Text());
  item.cchTextMax = static_cast<int>(kInputTextUnits);
  entry_.Text()[0] = 0;
  SendMessageW(entry_.WordList(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  EnsureVisible(entry_.WordList(), session_.Book().CurrentEntry() - 1);
  RecordInHistory(entry_.Text());
  entry_.SetInput(entry_.Text());
  ShowTypedEntry();
  entry_.Typing().RowPicked();
  entry_.ReadyForTyping();
}

LRESULT MainWindow::OnLookupWord(HWND window, const wchar_t* word, WPARAM wParam, LPARAM lParam) {
  if (word != nullptr) {
    SendMessageW(entry_.InputBox(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
    entry_.ReadInput();
    ShowTypedEntry();
    SyncWordList();
    entry_.ReadyForTyping();
  }
  return DefWindowProcW(window, MSG_LOOKUP_WORD, wParam, lParam);
}

void MainWindow::OnCopiedWord() {
  if (const std::optional<std::u16string> word = clipboard_.Take()) LookUpFromOutside(*word);
}

// A second instance's word: any length and any bytes may arrive, so it is
// taken as far as its first zero unit and cut like a copied text.
LRESULT MainWindow::OnCopyData(const COPYDATASTRUCT* data) {
  if (data == nullptr || data->dwData != kCopyDataLookupWord || data->lpData == nullptr) {
    return FALSE;
  }
  const auto* units = static_cast<const char16_t*>(data->lpData);
  std::u16string text(units, data->cbData / sizeof(char16_t));
  text = text.substr(0, text.find(u'\0'));
  const std::u16string word = WordFromCopiedText(text, kInputTextUnits - 1);
  if (!word.empty() && session_.Started()) LookUpFromOutside(word);
  return TRUE;
}

void MainWindow::LookUpFromOutside(const std::u16string& word) {
  if (inTray_) {
    RestoreFromTray(hwnd);
  } else {
    if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
    SetForegroundWindow(hwnd);
  }
  entry_.SetInput(word.c_str());
  OnEnter();
  entry_.ReadyForTyping();
}

void MainWindow::RecordInHistory(const char16_t* word) {
  if (options_.history != nullptr) options_.history->Add(word);
}

}  // namespace quill
