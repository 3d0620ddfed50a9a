// MainWindow: the input box, the navigation keys and the word list. Typing
// moves the word list and the cursor; Enter, a row click, the arrow keys and
// a word handed over by the find panel show an entry.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <cstring>

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

void SelectAll(HWND edit) { SendMessageW(edit, EM_SETSEL, 0, -1); }

void EnsureVisible(HWND list, int row) {
  SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

LRESULT CALLBACK MainWindow::InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<MainWindow*>(GetPropW(window, kInputOwnerProperty));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  const WNDPROC previous = self->previousInputProc_;
  if (message == WM_KEYDOWN) {
    SendMessageW(GetParent(window), WM_KEYDOWN, wParam, lParam);
    if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_ESCAPE) return 0;
  } else if (message == WM_NCDESTROY) {
    RemovePropW(window, kInputOwnerProperty);
  }
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

const char16_t* MainWindow::ReadInputBox() {
  inputText_[0] = 0;
  SendMessageW(controls_.inputBox, WM_GETTEXT, kInputTextUnits,
               reinterpret_cast<LPARAM>(inputText_));
  return inputText_;
}

void MainWindow::SetInputText(const char16_t* text) {
  SendMessageW(controls_.inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void MainWindow::ReadyForTyping() {
  SetFocus(controls_.inputBox);
  SelectAll(controls_.inputBox);
  SetPaneEnabled(true);
  ShowWordList(false);
}

void MainWindow::SetPaneEnabled(bool enabled) {
  const HWND pane = controls_.contentPane;
  const LONG_PTR style = GetWindowLongPtrW(pane, GWL_STYLE);
  SetWindowLongPtrW(pane, GWL_STYLE,
                    enabled ? (style & ~static_cast<LONG_PTR>(WS_DISABLED)) : (style | WS_DISABLED));
}

void MainWindow::ShowWordList(bool shown) {
  ShowWindow(controls_.wordList, shown ? SW_SHOW : SW_HIDE);
}

void MainWindow::ShowEntry() {
  ShowCurrentEntry(session_.Book(), Panes(), hwnd, Strip(), &phoneticStrip_);
}

void MainWindow::ShowTypedEntry() {
  ShowTypedWord(session_.Book(), Panes(), inputText_, hwnd, Strip(), &phoneticStrip_);
}

// The strip's place depends on the side panel alone, not on the window's size.
StripPlace MainWindow::Strip() const {
  return LayOutMainWindow(LayoutPass::kResize, sidePanel_, 0, 0).strip;
}

void MainWindow::PutCurrentKey(bool skipChange, std::size_t keyUnits) {
  // A key that does not fit leaves the box empty.
  inputText_[0] = 0;
  session_.Book().ReadKey(inputText_, std::min(keyUnits, kInputTextUnits));
  if (skipChange) typing_.ExpectOwnChange();
  SetInputText(inputText_);
}

void MainWindow::PutFirstKey(bool skipChange) { PutCurrentKey(skipChange, kFirstKeyUnits); }

void MainWindow::OnKeyDown(WPARAM key) {
  switch (key) {
    case VK_RETURN:
      OnEnter();
      break;
    case VK_ESCAPE:
      typing_.EscapePressed();
      ShowWordList(false);
      SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(controls_.contentPane));
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
  ReadInputBox();
  ShowWordList(false);
  ShowTypedEntry();
  SyncWordList();
  SetPaneEnabled(true);
  ShowWordList(false);
  RecordInHistory(inputText_);
  typing_.EnterShown();
  SelectAll(controls_.inputBox);
}

// The arrow keys step through the book and show each entry at once.
void MainWindow::StepEntry(int step) {
  if (!session_.Started()) return;
  BookFile& book = session_.Book();
  if (!book.SetCurrentEntry(book.CurrentEntry() + step)) return;
  const ControlBox area =
      LayOutMainWindow(LayoutPass::kResize, sidePanel_, clientWidth_, clientHeight_).entryArea;
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
      SetPaneEnabled(true);
      ShowWordList(false);
      break;
    case EN_CHANGE:
      OnInputChange();
      break;
    default:
      break;
  }
}

void MainWindow::OnInputFocus() {
  if (!typing_.TakeRefocus()) PostMessageW(controls_.inputBox, EM_SETSEL, 0, -1);
  if (typing_.TakeRowPicked()) return;
  SetPaneEnabled(false);
  ShowWordList(true);
}

// Typing moves the cursor to the nearest key and the list with it; the
// entry is shown only on Enter.
void MainWindow::OnInputChange() {
  if (typing_.TakeOwnChange()) return;
  ReadInputBox();
  // FindWord folds the word in place: it works on a copy.
  char16_t word[kInputTextUnits];
  std::copy(std::begin(inputText_), std::end(inputText_), word);
  BookFile& book = session_.Book();
  book.FindWord(word);
  EnsureVisible(controls_.wordList, book.CurrentEntry() + kTypingScrollAhead);
  SyncWordList();
  if (typing_.TakeShowListOnChange()) ShowWordList(true);
  if (typing_.TakeChangeAfterEnter()) {
    SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_SETFOCUS),
                 reinterpret_cast<LPARAM>(controls_.contentPane));
    return;
  }
  SetPaneEnabled(false);
  ShowWordList(true);
}

// Puts the cursor's row in the middle of the list where it can.
void MainWindow::SyncWordList() {
  const HWND list = controls_.wordList;
  const int k = session_.Book().CurrentEntry();
  EnsureVisible(list, 0);
  EnsureVisible(list, k);
  const auto top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
  EnsureVisible(list, 2 * k - top);
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header == nullptr) return 0;
  if (header->idFrom == IDC_WORD_LIST && header->hwndFrom == controls_.wordList) {
    if (header->code == LVN_GETDISPINFOW) {
      FillWordListRow(reinterpret_cast<NMLVDISPINFOW*>(header));
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
  item.pszText = AsWide(inputText_);
  item.cchTextMax = static_cast<int>(kInputTextUnits);
  inputText_[0] = 0;
  SendMessageW(controls_.wordList, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  EnsureVisible(controls_.wordList, session_.Book().CurrentEntry() - 1);
  RecordInHistory(inputText_);
  SetInputText(inputText_);
  ShowTypedEntry();
  typing_.RowPicked();
  ReadyForTyping();
}

LRESULT MainWindow::OnLookupWord(HWND window, const wchar_t* word, WPARAM wParam, LPARAM lParam) {
  if (word != nullptr) {
    SendMessageW(controls_.inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
    ReadInputBox();
    ShowTypedEntry();
    SyncWordList();
    ReadyForTyping();
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
  SetInputText(word.c_str());
  OnEnter();
  ReadyForTyping();
}

void MainWindow::RecordInHistory(const char16_t* word) {
  if (options_.history != nullptr) options_.history->Add(word);
}

}  // namespace quill
