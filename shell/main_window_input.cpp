// MainWindow: the input box, the navigation keys and the word list. Typing
// moves the word list and the cursor; Enter, a row click, the arrow keys and
// a word handed over by the find panel show an entry.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "resources/ids.h"
#include "shell/main_window.h"
#include "win/ansi_text.h"

namespace quill {

namespace {

// Typing scrolls the word list this many rows past the cursor first, so
// that the nearest key ends up among the rows shown rather than at the edge.
constexpr int kTypingScrollAhead = 9;

// A book's first key is read into this many units at most.
constexpr std::size_t kFirstKeyUnits = 50;

void SelectAll(HWND edit) { SendMessageA(edit, EM_SETSEL, 0, -1); }

void EnsureVisible(HWND list, int row) {
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

LRESULT CALLBACK MainWindow::InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<MainWindow*>(GetPropA(window, kInputOwnerProperty));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  const WNDPROC previous = self->previousInputProc_;
  if (message == WM_KEYDOWN) {
    SendMessageA(GetParent(window), WM_KEYDOWN, wParam, lParam);
    if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_ESCAPE) return 0;
  } else if (message == WM_NCDESTROY) {
    RemovePropA(window, kInputOwnerProperty);
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

const char* MainWindow::ReadInputBox() {
  SendMessageA(controls_.inputBox, WM_GETTEXT, sizeof inputText_,
               reinterpret_cast<LPARAM>(inputText_));
  return inputText_;
}

void MainWindow::ReadyForTyping() {
  SetFocus(controls_.inputBox);
  SelectAll(controls_.inputBox);
  SetPaneEnabled(true);
  ShowWordList(false);
}

void MainWindow::SetPaneEnabled(bool enabled) {
  const HWND pane = controls_.contentPane;
  const LONG_PTR style = GetWindowLongPtrA(pane, GWL_STYLE);
  SetWindowLongPtrA(pane, GWL_STYLE,
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

void MainWindow::PutCurrentKey(bool skipChange, std::size_t keyUnits, DWORD flags) {
  char16_t key[kTextUnits] = {};
  inputText_[0] = 0;
  if (session_.Book().ReadKey(key, std::min(keyUnits, kTextUnits))) {
    KeyToAnsi(key, inputText_, sizeof inputText_, flags);
  }
  inputText_[sizeof inputText_ - 1] = 0;
  if (skipChange) typing_.ExpectOwnChange();
  SendMessageA(controls_.inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inputText_));
}

void MainWindow::PutFirstKey(bool skipChange) {
  PutCurrentKey(skipChange, kFirstKeyUnits, WC_COMPOSITECHECK);
}

void MainWindow::OnKeyDown(WPARAM key) {
  switch (key) {
    case VK_RETURN:
      OnEnter();
      break;
    case VK_ESCAPE:
      typing_.EscapePressed();
      ShowWordList(false);
      SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_KILLFOCUS),
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
  PutCurrentKey(true, kTextUnits, 0);
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
  if (!typing_.TakeRefocus()) PostMessageA(controls_.inputBox, EM_SETSEL, 0, -1);
  if (typing_.TakeRowPicked()) return;
  SetPaneEnabled(false);
  ShowWordList(true);
}

// Typing moves the cursor to the nearest key and the list with it; the
// entry is shown only on Enter.
void MainWindow::OnInputChange() {
  if (typing_.TakeOwnChange()) return;
  ReadInputBox();
  char16_t word[kInputTextBytes] = {};
  FromAnsi(CP_ACP, inputText_, sizeof inputText_, word, kInputTextBytes);
  BookFile& book = session_.Book();
  book.FindWord(word);
  EnsureVisible(controls_.wordList, book.CurrentEntry() + kTypingScrollAhead);
  SyncWordList();
  if (typing_.TakeShowListOnChange()) ShowWordList(true);
  if (typing_.TakeChangeAfterEnter()) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_SETFOCUS),
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
  const auto top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  EnsureVisible(list, 2 * k - top);
}

LRESULT MainWindow::OnNotify(NMHDR* header) {
  if (header == nullptr) return 0;
  if (header->idFrom == IDC_WORD_LIST && header->hwndFrom == controls_.wordList) {
    if (header->code == LVN_GETDISPINFOA) {
      FillWordListRow(reinterpret_cast<NMLVDISPINFOA*>(header));
    } else if (header->code == NM_CLICK) {
      const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
      if (click->iItem != -1 && session_.Started()) PickWordListRow(click->iItem);
    }
  }
  if (header->code == TTN_NEEDTEXTA) {
    auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
    const char* text = Toolbar::TooltipText(tip->hdr.idFrom);
    if (text != nullptr) tip->lpszText = const_cast<char*>(text);
  }
  return 0;
}

// A row of the virtual list is the key of entry iItem; the cursor is moved
// there to read it and back.
void MainWindow::FillWordListRow(NMLVDISPINFOA* info) {
  LVITEMA& item = info->item;
  if (item.iSubItem != 0 || (item.mask & LVIF_TEXT) == 0 || !session_.Started() ||
      item.pszText == nullptr || item.cchTextMax <= 0) {
    return;
  }
  BookFile& book = session_.Book();
  const int k = book.CurrentEntry();
  if (book.SetCurrentEntry(item.iItem)) {
    char16_t key[kTextUnits] = {};
    if (book.ReadKey(key, kTextUnits)) {
      // Rows take at most kTextBytes bytes, whatever room the list offers.
      KeyToAnsi(key, item.pszText, std::min(static_cast<std::size_t>(item.cchTextMax), kTextBytes),
                0);
    }
  }
  book.SetCurrentEntry(k);
}

void MainWindow::PickWordListRow(int row) {
  LVITEMA item{};
  item.iSubItem = 0;
  item.pszText = inputText_;
  item.cchTextMax = sizeof inputText_;
  inputText_[0] = 0;
  SendMessageA(controls_.wordList, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&item));
  EnsureVisible(controls_.wordList, session_.Book().CurrentEntry() - 1);
  RecordInHistory(inputText_);
  SendMessageA(controls_.inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inputText_));
  ShowTypedEntry();
  typing_.RowPicked();
  ReadyForTyping();
}

LRESULT MainWindow::OnLookupWord(HWND window, const char* word, WPARAM wParam, LPARAM lParam) {
  if (word != nullptr) {
    SendMessageA(controls_.inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
    ReadInputBox();
    ShowTypedEntry();
    SyncWordList();
    ReadyForTyping();
  }
  return DefWindowProcA(window, MSG_LOOKUP_WORD, wParam, lParam);
}

void MainWindow::RecordInHistory(const char* word) {
  if (options_.history != nullptr) options_.history->Add(word);
}

}  // namespace quill
