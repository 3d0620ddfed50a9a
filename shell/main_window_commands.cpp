// MainWindow: the menu and toolbar commands, the open-file dialog, the
// side-panel switch, the history popup and the web page.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <cwchar>

#include "resources/ids.h"
#include "shell/about_box.h"
#include "shell/main_window.h"
#include "shell/product.h"
#include "speech/speech.h"
#include "speech/voice_dialog.h"
#include "win/ansi_text.h"
#include "win/registry_key.h"

namespace quill {

namespace {

// The history popup shows the newest words, at most this many.
constexpr int kHistoryMenuWords = IDM_HISTORY_LAST - IDM_HISTORY_FIRST;
// Where the history popup opens, from the window's top-left corner: below
// the history button, its right edge at the button.
constexpr int kHistoryMenuRight = 280;
constexpr int kHistoryMenuTop = 80;
// A panel switch scrolls the word list this many rows past the cursor, as
// typing does.
constexpr int kSwitchScrollAhead = 9;
// The browser command is read up to this many units.
constexpr std::size_t kBrowserCommandUnits = 255;

}  // namespace

void MainWindow::OnCommand(HWND window, int id, HWND control, int code) {
  if (id >= IDM_HISTORY_FIRST && id <= IDM_HISTORY_LAST) {
    PickHistoryItem(id);
    return;
  }
  switch (id) {
    case IDM_ABOUT:
      ShowAboutBox(instance_, window);
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
      SendMessageW(window, WM_KEYDOWN, VK_UP, 0);
      break;
    case IDM_NEXT_ENTRY:
      SendMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
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
      SpeakCurrentKey(Speech(), session_.Started() ? &session_.Book() : nullptr, speechSettings_);
      break;
    case IDM_VOICE_SETTING:
      ShowVoiceDialog(instance_, window, Speech(), speechSettings_);
      break;
    default:
      break;
  }
}

// A dictionary chosen in the dialog stands for the book made of it.
bool MainWindow::ChooseBookFile(wchar_t* path, wchar_t* title) {
  if (!openDialog_.Choose(hwnd, path, title)) return false;
  if (!NeedsConversion(path)) return true;
  DictionaryImportSetup setup;
  setup.instance = instance_;
  setup.owner = hwnd;
  setup.booksFolder = options_.convertedBooksFolder.empty() ? DefaultConvertedBooksFolder()
                                                            : options_.convertedBooksFolder;
  setup.convert = options_.convertDictionary;
  wchar_t book[kPathUnits];
  if (ImportDictionary(setup, path, book) != DictionaryImport::kReady) return false;
  std::wmemcpy(path, book, kPathUnits);
  const wchar_t* name = std::wcsrchr(book, L'\\');
  lstrcpynW(title, name != nullptr ? name + 1 : book, kPathUnits);
  return true;
}

void MainWindow::OpenBookFromDialog() {
  const BookChooser choose = [this](wchar_t* path, wchar_t* title) {
    return ChooseBookFile(path, title);
  };
  BookSwitch outcome = BookSwitch::kOpened;
  if (session_.OpenChosen(hwnd, choose, &outcome)) {
    if (outcome == BookSwitch::kNoBook) {
      ShowTitle();
      ShowEntry();
    }
    ShowTitle();
    shelfPanel_.RenameCurrentBookItem(session_.Book());
  }
  entry_.SetInput(u"");
  SendMessageW(entry_.ContentPane(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  findPanel_.Clear();
  ShowEntry();
  PutFirstKey(false);
  entry_.ReadyForTyping();
}

// A panel's button shows it, or hides it when it is already shown; the
// other panel gives way.
void MainWindow::SwitchSidePanel(int id, HWND control) {
  const bool wantFind = id == IDM_FIND_PANEL;
  const SidePanelState wanted = wantFind ? kFindPanel : kShelfPanel;
  SidePanel& panel = wantFind ? static_cast<SidePanel&>(findPanel_) : shelfPanel_;
  SidePanel& other = wantFind ? static_cast<SidePanel&>(shelfPanel_) : findPanel_;
  if (sidePanel_ == wanted) {
    sidePanel_ = kNoSidePanel;
    panel.Hide();
  } else {
    Toolbar::CheckPanelButton(control, wanted);
    sidePanel_ = wanted;
    panel.Show();
    other.Hide();
  }
  entry_.Place(Layout(LayoutPass::kPanelSwitch));
  entry_.SetPaneEnabled(true);
  entry_.ReadInput();
  ShowTypedEntry();
  entry_.ShowWordList(false);
  SendMessageW(entry_.WordList(), LVM_ENSUREVISIBLE,
               static_cast<WPARAM>(session_.Book().CurrentEntry() + kSwitchScrollAhead), FALSE);
}

SpeechApi& MainWindow::Speech() const {
  return options_.speech != nullptr ? *options_.speech : PlatformSpeechApi();
}

void MainWindow::ShowHistoryMenu() {
  HistoryList* history = options_.history;
  const ScopedMenu bar(CreateMenu());
  ScopedMenu popup(CreatePopupMenu());
  int appended = 0;
  for (int i = 0; history != nullptr && i < kHistoryMenuWords; ++i) {
    char16_t word[kTextUnits];
    if (!history->ItemAt(history->Count() - 1 - i, word, kTextUnits)) break;
    AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(IDM_HISTORY_FIRST + i), AsWide(word));
    ++appended;
  }
  if (appended == 0) return;
  plainPopupPending_ = true;
  RECT rect;
  GetWindowRect(hwnd, &rect);
  // The bar owns the popup from here on and destroys it with itself.
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup.release()), L"POP");
  TrackPopupMenu(GetSubMenu(bar, 0), TPM_RIGHTALIGN,
                 rect.left + ScaleForDpi(kHistoryMenuRight, dpi_),
                 rect.top + ScaleForDpi(kHistoryMenuTop, dpi_), 0, hwnd, nullptr);
}

// Item IDM_HISTORY_FIRST + i is the i-th newest word.
void MainWindow::PickHistoryItem(int id) {
  HistoryList* history = options_.history;
  if (!session_.Started() || history == nullptr) return;
  char16_t word[kTextUnits];
  const int newestFirst = id - IDM_HISTORY_FIRST;
  if (!history->ItemAt(history->Count() - 1 - newestFirst, word, kTextUnits)) return;
  entry_.SetInput(word);
  if (session_.Book().FindWord(word) != 1) return;
  SyncWordList();
  ShowEntry();
  entry_.ReadyForTyping();
}

// The product's page opens in the browser that opens HTML files: its
// command up to the first dot, then the address.
void MainWindow::OpenWebPage() {
  const ScopedRegKey key =
      OpenRegistryKey({HKEY_CLASSES_ROOT, "htmlfile\\shell\\open\\command"});
  if (!key) return;
  wchar_t read[kBrowserCommandUnits + 1] = {};
  if (!ReadText(key, nullptr, read, kBrowserCommandUnits + 1)) return;
  std::wstring command = read[0] == L'"' ? read + 1 : read;
  if (const std::size_t stop = command.find(L'.'); stop != std::wstring::npos) {
    command.replace(stop, std::wstring::npos, L" " + Widen(kProductWebAddress));
  }
  // WinExec takes the command in the ANSI code page.
  AnsiText text;
  if (!ToAnsi(CP_ACP, 0, AsUnits(command.c_str()), command.size(), &text)) return;
  WinExec(text.c_str(), SW_SHOWNORMAL);
}

}  // namespace quill
