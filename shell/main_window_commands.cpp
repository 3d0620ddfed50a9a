// MainWindow: the menu and toolbar commands, the open-file dialog, the
// side-panel switch, the history popup, the About box and the web page.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "win/ansi_text.h"
#include "resources/ids.h"
#include "shell/main_window.h"
#include "shell/product.h"
#include "speech/speech.h"
#include "speech/voice_dialog.h"

namespace quill {

namespace {


// The open-file dialog's record, filled once at creation.
OPENFILENAMEA openDialog;
constexpr char kBookFilter[] = "Quillpad Files(*.xqb)\0*.xqb\0";

void DrawAboutLine(HDC dc, HFONT font, const char* text, RECT rect) {
  const ScopedSelect select(dc, font);
  DrawTextA(dc, text, -1, &rect, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
}

ScopedFont AboutFont(HDC dc, int points) {
  return FontFromPoints(dc, points, PointRounding::kDown, CHINESEBIG5_CHARSET);
}

void PaintAbout(HWND dialog) {
  const ScopedPaint paint(dialog);
  const HDC dc = paint.dc();
  SetBkMode(dc, TRANSPARENT);
  const ScopedFont title = AboutFont(dc, 14);
  const ScopedFont body = AboutFont(dc, 10);
  DrawAboutLine(dc, title, kProductName, {80, 10, 280, 35});
  DrawAboutLine(dc, body, kProductVersionLine, {70, 35, 240, 60});
  DrawAboutLine(dc, body, kProductRights, {20, 65, 240, 85});
  DrawAboutLine(dc, body, kProductMaker, {20, 90, 240, 110});
  DrawAboutLine(dc, body, kProductWebAddress, {20, 115, 240, 135});
  DrawAboutLine(dc, body, kProductReserved, {20, 140, 240, 160});
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      break;
    case WM_PAINT:
      PaintAbout(dialog);
      return TRUE;
    default:
      break;
  }
  return FALSE;
}

}  // namespace

void MainWindow::OnCommand(HWND window, int id, HWND control, int code) {
  if (id >= IDM_HISTORY_FIRST && id <= IDM_HISTORY_LAST) {
    PickHistoryItem(id);
    return;
  }
  switch (id) {
    case IDM_ABOUT:
      DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutProc, 0);
      break;
    case IDM_EXIT:
      DestroyWindow(window);
      break;
    case IDC_INPUT_BOX:
      OnInputBoxNotify(code);
      break;
    case IDM_OPEN_BOOK:
      OpenBookFromDialog();
      break;
    case IDM_PREVIOUS_ENTRY:
      SendMessageA(window, WM_KEYDOWN, VK_UP, 0);
      break;
    case IDM_NEXT_ENTRY:
      SendMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
      break;
    case IDM_FIND_PANEL:
    case IDM_BOOK_SHELF:
      SwitchSidePanel(id, control);
      break;
    case IDM_HISTORY:
      ShowHistoryMenu();
      break;
    case IDM_WEB_PAGE:
      OpenWebPage();
      break;
    case IDM_SPEAK:
      SpeakCurrentEntry();
      break;
    case IDM_VOICE_SETTING:
      ShowVoiceDialog(instance_, window, Speech(), speechSettings);
      break;
    default:
      break;
  }
}

void MainWindow::PrepareOpenDialog(HWND owner) {
  std::memset(&openDialog, 0, sizeof openDialog);
  openDialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  openDialog.hwndOwner = owner;
  openDialog.lpstrFilter = kBookFilter;
  openDialog.nMaxFile = kPathBytes;
  openDialog.nMaxFileTitle = kPathBytes;
  openDialog.lpstrDefExt = "txt";
}

int MainWindow::ChooseBookFile(HWND owner, char* fileBuffer, char* titleBuffer) {
  openDialog.hwndOwner = owner;
  openDialog.lpstrFile = fileBuffer;
  openDialog.lpstrFileTitle = titleBuffer;
  openDialog.Flags = OFN_CREATEPROMPT | OFN_HIDEREADONLY;
  return GetOpenFileNameA(&openDialog);
}

void MainWindow::OpenBookFromDialog() {
  if (ChooseBookFile(hwnd, bookPath, bookTitleBuffer)) {
    book.Close();
    if (!OpenBookAt(bookPath)) {
      ShowBookOpenError(hwnd);
      ClearClosedBook();
    }
    ShowBookTitle(book, statusBar);
    shelfPanel.RenameCurrentBookItem(book);
  }
  SendMessageA(inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  SendMessageA(contentPane, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
  findPanel.Clear();
  ShowEntry();
  PutCurrentKey(false);
  SetFocus(inputBox);
  SendMessageA(inputBox, EM_SETSEL, 0, -1);
  SetPaneEnabled(true);
  ShowWordList(false);
}

void MainWindow::SwitchSidePanel(int id, HWND control) {
  const bool wantFind = id == IDM_FIND_PANEL;
  const SidePanelState shown = wantFind ? kFindPanel : kShelfPanel;
  if (sidePanel == shown) {
    sidePanel = kNoSidePanel;
    if (wantFind) {
      findPanel.Hide();
    } else {
      shelfPanel.Hide();
    }
  } else {
    SendMessageA(control, TB_SETSTATE, wantFind ? IDM_FIND_PANEL : IDM_BOOK_SHELF,
                 TBSTATE_CHECKED | TBSTATE_ENABLED);
    SendMessageA(control, TB_SETSTATE, wantFind ? IDM_BOOK_SHELF : IDM_FIND_PANEL,
                 TBSTATE_ENABLED);
    sidePanel = shown;
    if (wantFind) {
      findPanel.Show();
      shelfPanel.Hide();
    } else {
      shelfPanel.Show();
      findPanel.Hide();
    }
  }
  PlaceEntryControls(
      LayOutMainWindow(LayoutPass::kPanelSwitch, sidePanel, clientWidth, clientHeight));
  SetPaneEnabled(true);
  SendMessageA(inputBox, WM_GETTEXT, sizeof inputText, reinterpret_cast<LPARAM>(inputText));
  ShowTypedEntry();
  ShowWordList(false);
  SendMessageA(wordList, LVM_ENSUREVISIBLE, static_cast<WPARAM>(book.CurrentEntry() + 9), FALSE);
}

SpeechApi& MainWindow::Speech() const {
  return options_.speech != nullptr ? *options_.speech : PlatformSpeechApi();
}

void MainWindow::SpeakCurrentEntry() { SpeakCurrentKey(Speech(), currentBook, speechSettings); }

void MainWindow::RecordInHistory(const char* word) {
  if (options_.history != nullptr) options_.history->Add(word);
}

void MainWindow::ShowHistoryMenu() {
  HistoryList* history = options_.history;
  const ScopedMenu bar(CreateMenu());
  ScopedMenu popup(CreatePopupMenu());
  int appended = 0;
  for (int i = 0; history != nullptr && i < 10; ++i) {
    char word[kTextBytes];
    if (!history->ItemAt(history->Count() - 1 - i, word, sizeof word)) break;
    AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(IDM_HISTORY_FIRST + i), word);
    ++appended;
  }
  if (appended == 0) return;
  plainPopupPending = true;
  RECT rect;
  GetWindowRect(hwnd, &rect);
  // The bar owns the popup from here on and destroys it with itself.
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup.release()), "POP");
  TrackPopupMenu(GetSubMenu(bar, 0), TPM_RIGHTALIGN, rect.left + 280, rect.top + 80, 0, hwnd,
                 nullptr);
}

void MainWindow::PickHistoryItem(int id) {
  if (currentBook == nullptr || options_.history == nullptr) return;
  char word[kTextBytes];
  if (!options_.history->ItemAt(options_.history->Count() - id + 199, word, sizeof word)) return;
  SendMessageA(inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
  char16_t wide[kTextUnits] = {};
  FromAnsi(CP_ACP, word, sizeof word, wide, kTextUnits);
  if (book.FindWord(wide) != 1) return;
  SyncWordList();
  ShowEntry();
  SetFocus(inputBox);
  SendMessageA(inputBox, EM_SETSEL, 0, -1);
  SetPaneEnabled(true);
  ShowWordList(false);
}

void MainWindow::OpenWebPage() {
  const ScopedRegKey key =
      OpenRegistryKey({HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command"});
  if (!key) return;
  // Room for the command as read, a space and the address.
  char command[256 + sizeof kProductWebAddress + 1] = {};
  DWORD size = 255;
  if (!ReadValue(key, nullptr, command, &size)) return;
  command[255] = 0;
  char* text = command;
  if (text[0] == '"') text += 1;
  char* stop = std::strchr(text, '.');
  if (stop != nullptr) {
    stop[0] = ' ';
    std::memcpy(stop + 1, kProductWebAddress, sizeof kProductWebAddress);
  }
  WinExec(text, SW_SHOWNORMAL);
}

}  // namespace quill
