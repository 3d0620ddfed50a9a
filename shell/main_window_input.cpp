// MainWindow: the input box, the navigation keys and the word list. Typing
// moves the word list and the cursor; Enter, a row click, the arrow keys and
// a word handed over by the find panel show an entry.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "win/ansi_text.h"
#include "resources/ids.h"
#include "shell/main_window.h"

namespace quill {

namespace {

constexpr char kOwnerProperty[] = "QuillpadMainWindow";

void SelectAll(HWND edit) { SendMessageA(edit, EM_SETSEL, 0, -1); }

void EnsureVisible(HWND list, int row) {
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

}  // namespace

LRESULT CALLBACK MainWindow::InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<MainWindow*>(GetPropA(window, kOwnerProperty));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  const WNDPROC previous = self->previousInputProc;
  if (message == WM_KEYDOWN) {
    SendMessageA(GetParent(window), WM_KEYDOWN, wParam, lParam);
    if (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_ESCAPE) return 0;
  } else if (message == WM_NCDESTROY) {
    RemovePropA(window, kOwnerProperty);
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

void MainWindow::OnKeyDown(WPARAM key) {
  switch (key) {
    case VK_RETURN:
      SendMessageA(inputBox, WM_GETTEXT, sizeof inputText, reinterpret_cast<LPARAM>(inputText));
      ShowWordList(false);
      ShowTypedEntry();
      SyncWordList();
      SetPaneEnabled(true);
      ShowWordList(false);
      RecordInHistory(inputText);
      enterState = TypingState::kEnterShown;
      SelectAll(inputBox);
      break;
    case VK_ESCAPE:
      showListOnChange = true;
      ShowWordList(false);
      SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_KILLFOCUS),
                   reinterpret_cast<LPARAM>(contentPane));
      break;
    case VK_UP:
    case VK_DOWN: {
      if (currentBook == nullptr) break;
      const int next = book.CurrentEntry() + (key == VK_UP ? -1 : 1);
      if (!book.SetCurrentEntry(next)) break;
      const ControlBox area =
          LayOutMainWindow(LayoutPass::kResize, sidePanel, clientWidth, clientHeight).entryArea;
      const RECT below = {area.x, area.y, area.x + area.width, area.y + area.height};
      InvalidateRect(hwnd, &below, FALSE);
      SyncWordList();
      PutCurrentKey(true, kTextUnits, 0);
      ShowEntry();
      break;
    }
    default:
      break;
  }
}

void MainWindow::OnInputBoxNotify(int code) {
  switch (code) {
    case EN_SETFOCUS:
      if (enterState == TypingState::kRefocusAfterEnter) {
        enterState = TypingState::kTyping;
      } else {
        PostMessageA(inputBox, EM_SETSEL, 0, -1);
      }
      if (listPicked) {
        listPicked = false;
        break;
      }
      SetPaneEnabled(false);
      ShowWordList(true);
      break;
    case EN_KILLFOCUS:
      SetPaneEnabled(true);
      ShowWordList(false);
      break;
    case EN_CHANGE: {
      if (skipNextChange) {
        skipNextChange = false;
        break;
      }
      SendMessageA(inputBox, WM_GETTEXT, sizeof inputText, reinterpret_cast<LPARAM>(inputText));
      char16_t word[kInputTextBytes] = {};
      FromAnsi(CP_ACP, inputText, sizeof inputText, word, kInputTextBytes);
      book.FindWord(word);
      EnsureVisible(wordList, book.CurrentEntry() + 9);
      SyncWordList();
      if (showListOnChange) {
        ShowWordList(true);
        showListOnChange = false;
      }
      if (enterState == TypingState::kEnterShown) {
        enterState = TypingState::kRefocusAfterEnter;
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDC_INPUT_BOX, EN_SETFOCUS),
                     reinterpret_cast<LPARAM>(contentPane));
        break;
      }
      SetPaneEnabled(false);
      ShowWordList(true);
      break;
    }
    default:
      break;
  }
}

void MainWindow::SyncWordList() {
  const int k = book.CurrentEntry();
  EnsureVisible(wordList, 0);
  EnsureVisible(wordList, k);
  const auto top = static_cast<int>(SendMessageA(wordList, LVM_GETTOPINDEX, 0, 0));
  EnsureVisible(wordList, 2 * k - top);
}

LRESULT MainWindow::OnNotify(int /*controlId*/, NMHDR* header) {
  if (header == nullptr) return 0;
  if (header->idFrom == IDC_WORD_LIST && header->hwndFrom == wordList) {
    if (header->code == LVN_GETDISPINFOA) {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      LVITEMA& item = info->item;
      if (item.iSubItem == 0 && (item.mask & LVIF_TEXT) != 0 && currentBook != nullptr &&
          item.pszText != nullptr && item.cchTextMax > 0) {
        const int k = book.CurrentEntry();
        if (book.SetCurrentEntry(item.iItem)) {
          char16_t key[kTextUnits] = {};
          if (book.ReadKey(key, kTextUnits)) {
            // Rows take at most kTextBytes bytes, whatever room the list offers.
            KeyToAnsi(key, item.pszText,
                      std::min(static_cast<std::size_t>(item.cchTextMax), kTextBytes), 0);
          }
        }
        book.SetCurrentEntry(k);
      }
    } else if (header->code == NM_CLICK) {
      const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
      if (click->iItem != -1 && currentBook != nullptr) {
        LVITEMA item{};
        item.iSubItem = 0;
        item.pszText = inputText;
        item.cchTextMax = sizeof inputText;
        inputText[0] = 0;
        SendMessageA(wordList, LVM_GETITEMTEXTA, static_cast<WPARAM>(click->iItem),
                     reinterpret_cast<LPARAM>(&item));
        EnsureVisible(wordList, book.CurrentEntry() - 1);
        RecordInHistory(inputText);
        SendMessageA(inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inputText));
        ShowTypedEntry();
        listPicked = true;
        SetFocus(inputBox);
        SelectAll(inputBox);
        SetPaneEnabled(true);
        ShowWordList(false);
      }
    }
  }
  if (header->code == TTN_NEEDTEXTA) {
    auto* tip = reinterpret_cast<NMTTDISPINFOA*>(header);
    const char* text = nullptr;
    switch (tip->hdr.idFrom) {
      case IDM_ABOUT: text = "About"; break;
      case IDM_OPEN_BOOK: text = "Open XQB..."; break;
      case IDM_PREVIOUS_ENTRY: text = "Last"; break;
      case IDM_NEXT_ENTRY: text = "Next"; break;
      case IDM_SPEAK: text = "Voice"; break;
      case IDM_FIND_PANEL: text = "Find View"; break;
      case IDM_BOOK_SHELF: text = "Book View"; break;
      case IDM_HISTORY: text = "History"; break;
      default: break;
    }
    if (text != nullptr) tip->lpszText = const_cast<char*>(text);
  }
  return 0;
}

LRESULT MainWindow::OnLookupWord(HWND window, const char* word, WPARAM wParam, LPARAM lParam) {
  if (word != nullptr) {
    SendMessageA(inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
    SendMessageA(inputBox, WM_GETTEXT, sizeof inputText, reinterpret_cast<LPARAM>(inputText));
    ShowTypedEntry();
    SyncWordList();
    SetFocus(inputBox);
    SelectAll(inputBox);
    SetPaneEnabled(true);
    ShowWordList(false);
  }
  return DefWindowProcA(window, MSG_LOOKUP_WORD, wParam, lParam);
}

}  // namespace quill
