// MainWindow: creation, layout, book switching, the tray and tear-down.
#include "shell/main_window.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resources/ids.h"
#include "speech/speech.h"
#include "win/wide_text.h"
#include "win/controls.h"
#include "win/high_contrast.h"
#include "win/message_box.h"

namespace quill {

namespace {

constexpr DWORD kAllCommonControls = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                     ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_COOL_CLASSES;
static_assert(kAllCommonControls == 0x40F);

// The point sizes of the content pane's and the input box's fonts.
// Where the window's title and class name are loaded to.
constexpr int kResourceTextChars = 256;

INT_PTR CALLBACK SplashProc(HWND, UINT, WPARAM, LPARAM) { return TRUE; }

// Hands word to the instance already running (nothing for an empty word).
void HandOverWord(HWND running, const std::u16string& word) {
  if (word.empty()) return;
  COPYDATASTRUCT data{};
  data.dwData = kCopyDataLookupWord;
  data.cbData = static_cast<DWORD>(word.size() * sizeof(char16_t));
  data.lpData = const_cast<char16_t*>(word.data());
  SendMessageW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

MainLayout CreationLayout(SidePanelState state, int dpi) {
  int width = 0;
  int height = 0;
  CreationSize(&width, &height);
  return LayOutMainWindow(LayoutPass::kCreate, state, width, height, dpi);
}

}  // namespace

MainWindow::MainWindow(const MainWindowOptions& options)
    : options_(options), places_(options.settings) {}

// The platform destroyed the controls with the window; their fonts are
// released after them, with the members.
MainWindow::~MainWindow() = default;

bool MainWindow::StartInstance(HINSTANCE instance, int showCommand) {
  instance_ = instance;
  wchar_t className[kResourceTextChars] = {};
  wchar_t title[kResourceTextChars] = {};
  LoadStringW(instance, IDS_WINDOW_CLASS, className, kResourceTextChars);
  LoadStringW(instance, IDS_WINDOW_TITLE, title, kResourceTextChars);
  HWND running = FindWindowW(className, title);
  session_.Remember(places_.LoadStart());
  if (running != nullptr) {
    places_.BringForward(running);
    HandOverWord(running, options_.startWord);
    return false;
  }

  RegisterWindowClass(instance, className);
  // The menu bar is the window's once it exists; until then it is ours.
  ScopedMenu menuBar(menu_.LoadMenuResource(instance, IDR_MAIN_MENU));
  const RECT& start = places_.Start();
  HWND window = CreateWindowExW(WS_EX_TOPMOST, className, title, WS_OVERLAPPEDWINDOW, start.left,
                                start.top, start.right - start.left, start.bottom - start.top,
                                nullptr, menuBar, instance, this);
  if (window == nullptr) return false;
  menuBar.release();
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  const std::u16string word = WordFromCopiedText(options_.startWord, kInputTextUnits - 1);
  if (!word.empty()) LookUpFromOutside(word);
  return true;
}

LRESULT MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_MOVE:
      places_.Moved(window);
      break;
    case WM_SIZE:
      OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_DPICHANGED:
      return OnDpiChanged(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
    case WM_PAINT:
      OnPaint(window);
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(static_cast<int>(wParam), reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      break;
    case WM_MEASUREITEM:
      OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      break;
    case WM_INITMENUPOPUP:
      OnInitMenuPopup(window, reinterpret_cast<HMENU>(wParam), HIWORD(lParam) != 0);
      return 0;
    case WM_MENUCHAR:
      return menu_.MenuChar(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_KEYDOWN:
      if (!OnControlKey(window, wParam)) OnKeyDown(wParam);
      return 0;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(window, wParam, lParam);
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SYSCOLORCHANGE:
      // The common controls keep colours of their own: only their top-level
      // window tells them of new ones.
      for (const HWND control : {toolbar_.Rebar(), toolbar_.Bar(), statusBar_, entry_.WordList(),
                                 shelfPanel_.tree}) {
        if (control != nullptr) SendMessageW(control, WM_SYSCOLORCHANGE, wParam, lParam);
      }
      ApplyHighContrast();
      RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      break;
    case WM_SETTINGCHANGE:
      ApplyHighContrast();
      break;
    case MSG_CONTROL_KEY:
      return OnControlKey(reinterpret_cast<HWND>(lParam), wParam) ? TRUE : FALSE;
    case WM_SYSKEYDOWN:
      if (OnControlKey(window, wParam)) return 0;
      break;
    case MSG_OPEN_SHELF_BOOK:
      return OnOpenShelfBook(window, reinterpret_cast<const wchar_t*>(wParam),
                             reinterpret_cast<const wchar_t*>(lParam), wParam, lParam);
    case MSG_REOPEN_BOOK:
      return OnReopenBook(window, wParam, lParam);
    case MSG_TRAY_NOTIFY:
      return OnTrayNotify(window, wParam, lParam);
    case MSG_LOOKUP_WORD:
      return OnLookupWord(window, reinterpret_cast<const wchar_t*>(wParam), wParam, lParam);
    case MSG_COPIED_WORD:
      OnCopiedWord();
      return 0;
    case MSG_PANE_DOUBLE_CLICK:
      return OnPaneDoubleClick(static_cast<std::size_t>(wParam));
    case MSG_FIND_PICK:
      return OnFindPick(reinterpret_cast<const FoundRow*>(wParam));
    case WM_COPYDATA:
      return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool MainWindow::OnCreate(HWND window, const CREATESTRUCTW& create) {
  instance_ = create.hInstance;
  dpi_ = WindowDpi(window);
  menu_.SetDpi(dpi_);
  highContrast_ = HighContrastOn();
  menu_.SetHighContrast(highContrast_);
  InitCommonControls();
  speechSettings_ = SpeechSettings{};
  if (!toolbar_.Create(window, instance_, CreationLayout(sidePanel_, dpi_).rebar, dpi_)) {
    ShowError(nullptr, "Could not create rebar.", nullptr);
  }
  ProbeSpeech();
  CreateSidePanels(window);
  FreeTooltipsFromOwner();
  ShowSplash();
  CreateEntryControls(window);
  openDialog_.Prepare(window);
  LoadInstallFolder(options_.settings, installFolder_);
  const BookChooser choose = [this](wchar_t* path, wchar_t* title) {
    return ChooseBookFile(path, title);
  };
  if (!session_.OpenFirst(window, installFolder_, choose)) return false;
  ShowFirstEntry();
  if (LoadClipboardLookup(options_.settings)) {
    clipboard_.Start(window, MSG_COPIED_WORD, kInputTextUnits - 1);
  }
  RouteKeys();
  created_ = true;
  return true;
}

void MainWindow::InitCommonControls() {
  appIcon_ = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), kAllCommonControls};
  InitCommonControlsEx(&controls);
}

// Speech needs COM; without a voice its menu item and button are greyed.
void MainWindow::ProbeSpeech() {
  com_.emplace();
  if (!com_->ok()) {
    std::puts("Error to intiliaze COM");
    ShowError(GetForegroundWindow(), "Error to intiliaze COM.");
  }
  if (!SpeechAvailable(Speech())) {
    EnableMenuItem(menu_.Handle(), IDM_VOICE_SETTING, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    toolbar_.EnableSpeakButton(false);
  }
}

// The shelf is the panel shown at start. It reads the installation folder
// from the settings whenever it opens a book.
void MainWindow::CreateSidePanels(HWND window) {
  findPanel_.SetDpi(dpi_);
  shelfPanel_.SetDpi(dpi_);
  findPanel_.Create(window, CreationLayout(kFindPanel, dpi_).sidePanel);
  findPanel_.Hide();
  findPanel_.allBooks = [this] { return AllBooks(); };
  const SettingsKey settings = options_.settings;
  shelfPanel_.Create(window, CreationLayout(kShelfPanel, dpi_).sidePanel,
                     [settings](wchar_t* folder) { LoadInstallFolder(settings, folder); });
  toolbar_.CheckShelfButton();
  sidePanel_ = kShelfPanel;
}

// The toolbar's and the shelf tree's tooltips are popup windows that the
// main window would own for the whole run. Under Wine a window that owns a
// popup cannot go back into the topmost band: SetWindowPos raises the owned
// popups to the top and then puts the window below them without
// WS_EX_TOPMOST, so back from the tray it would no longer stay on top.
// A tooltip puts itself on top whenever it shows, so it needs no owner. The
// toolbar may make its tooltip only when it is first needed: asking for it
// makes it now.
void MainWindow::FreeTooltipsFromOwner() {
  const HWND tooltips[] = {
      reinterpret_cast<HWND>(SendMessageW(toolbar_.Bar(), TB_GETTOOLTIPS, 0, 0)),
      reinterpret_cast<HWND>(SendMessageW(shelfPanel_.tree, TVM_GETTOOLTIPS, 0, 0))};
  for (HWND tooltip : tooltips) {
    if (tooltip != nullptr) SetWindowLongPtrW(tooltip, GWLP_HWNDPARENT, 0);
  }
}

// No splash at all when its time is zero (tests), rather than a flash.
void MainWindow::ShowSplash() {
  if (options_.splashMilliseconds == 0) return;
  HWND splash = CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_SPLASH), nullptr, SplashProc, 0);
  if (splash == nullptr) return;
  // The picture grows by the whole factor; the one the template loaded goes
  // back before the dialog goes, so that the control frees its own.
  const HWND picture = GetDlgItem(splash, IDC_SPLASH_PICTURE);
  const ScopedBitmap grown =
      WholeFactor(dpi_) > 1 ? LoadBitmapWhole(instance_, IDB_SPLASH, WholeFactor(dpi_)) : ScopedBitmap{};
  LRESULT original = 0;
  if (grown) {
    original = SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(grown.get()));
  }
  ShowWindow(splash, SW_SHOW);
  SetForegroundWindow(splash);
  UpdateWindow(splash);
  Sleep(options_.splashMilliseconds);
  if (grown) SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, original);
  DestroyWindow(splash);
}

// The status bar, the content pane, the input box (subclassed for its
// keys) and the word list, hidden until typing shows it.
void MainWindow::CreateEntryControls(HWND window) {
  const MainLayout layout = CreationLayout(sidePanel_, dpi_);
  // The status bar places itself.
  statusBar_ = CreateChildControl(window, instance_, {0, STATUSCLASSNAMEW, L"", WS_VISIBLE},
                                  ControlBox{}, 0);
  statusFont_ = reinterpret_cast<HFONT>(SendMessageW(statusBar_, WM_GETFONT, 0, 0));
  entry_.Create(window, instance_, layout, dpi_);
  session_.SetWordList(entry_.WordList());
}

// The first entry, its key selected in the input box, ready for typing.
void MainWindow::ShowFirstEntry() {
  shelfPanel_.AddCurrentBookItem(session_.Book());
  session_.MarkStarted();
  findPanel_.book = &session_.Book();
  ShowTitle();
  ShowEntry();
  PutFirstKey(true);
  entry_.ReadyForTyping();
}

void MainWindow::OnSize(int width, int height) {
  InvalidateRect(hwnd, nullptr, FALSE);
  clientWidth_ = width;
  clientHeight_ = height;
  const MainLayout layout = Layout(LayoutPass::kResize);
  entry_.Place(layout);
  entry_.ReadInput();
  PlaceControl(statusBar_, layout.statusBar);
  PlaceControl(toolbar_.Rebar(), layout.rebar);
  findPanel_.Move(layout.sidePanel);
  shelfPanel_.Move(layout.sidePanel);
  places_.Resized(hwnd);
}

void MainWindow::ShowTitle() {
  session_.ShowTitle(statusBar_);
  wchar_t title[kTitleUnits + 1] = {};
  if (LOWORD(SendMessageW(statusBar_, SB_GETTEXTLENGTHW, 0, 0)) <= kTitleUnits) {
    SendMessageW(statusBar_, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(title));
  }
  const HFONT font = statusFonts_.FontFor(nullptr, statusFont_, title);
  if (reinterpret_cast<HFONT>(SendMessageW(statusBar_, WM_GETFONT, 0, 0)) != font) {
    SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

MainLayout MainWindow::Layout(LayoutPass pass) const {
  return LayOutMainWindow(pass, sidePanel_, clientWidth_, clientHeight_, dpi_);
}

LRESULT MainWindow::OnDpiChanged(HWND window, int dpi, const RECT* suggested) {
  dpi_ = SaneDpi(dpi);
  menu_.SetDpi(dpi_);
  toolbar_.SetDpi(dpi_);
  findPanel_.SetDpi(dpi_);
  shelfPanel_.SetDpi(dpi_);
  entry_.SetDpi(dpi_);
  // The status bar takes its height from its font again.
  SendMessageW(statusBar_, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_), FALSE);
  statusFonts_.Reset();
  ShowTitle();
  if (suggested != nullptr) {
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // The size may not have changed: the controls are placed again anyway.
  RECT client{};
  GetClientRect(window, &client);
  OnSize(client.right, client.bottom);
  if (session_.Started()) ShowEntry();
  InvalidateRect(window, nullptr, TRUE);
  return 0;
}

// The strip is drawn from what the last display kept; a repaint (the first
// one after creation included) would otherwise wipe the transcription of
// the entry still on show.
void MainWindow::OnPaint(HWND window) {
  const ScopedPaint paint(window);
  if (session_.Started()) phoneticStrip_.Draw(paint.dc(), false);
}

// Only menus are drawn by the program (control id 0).
void MainWindow::OnDrawItem(int controlId, const DRAWITEMSTRUCT* item) {
  if (controlId == 0) menu_.DrawMenuItem(item);
}

void MainWindow::OnMeasureItem(int controlId, MEASUREITEMSTRUCT* item) {
  if (controlId == 0 && item->CtlType == ODT_MENU) menu_.MeasureMenuItem(item);
}

// The history popup stays plain; the window menu is never touched.
void MainWindow::OnInitMenuPopup(HWND window, HMENU popup, bool windowMenu) {
  if (!plainPopupPending_ && !windowMenu) menu_.ConvertPopupItems(popup, window, toolbar_.Bar());
  plainPopupPending_ = false;
}

// The read-only content pane keeps the window colours rather than grey.
LRESULT MainWindow::OnCtlColorStatic(HDC dc, HWND control) {
  if (control == entry_.ContentPane()) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return 0;
}

void MainWindow::ApplyHighContrast() {
  const bool on = HighContrastOn();
  if (on == highContrast_) return;
  highContrast_ = on;
  menu_.SetHighContrast(on);
  phoneticStrip_.Prepare(Strip());
  RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
}

void MainWindow::OnDestroy(HWND window) {
  findPanel_.StopSearch();
  clipboard_.Stop();
  session_.Close();
  // A window whose creation failed never ran: it stores nothing and leaves
  // the message queue alone.
  if (!created_) return;
  RECT rect;
  GetWindowRect(window, &rect);
  SaveExitSettings(options_.settings, ToStoredRect(rect, dpi_), session_.Path());
  PostQuitMessage(0);
}

LRESULT MainWindow::OnOpenShelfBook(HWND window, const wchar_t* folder, const wchar_t* fileName,
                                    WPARAM wParam, LPARAM lParam) {
  ShowSwitchedBook(session_.OpenShelfBook(window, folder, fileName));
  return DefWindowProcW(window, MSG_OPEN_SHELF_BOOK, wParam, lParam);
}

LRESULT MainWindow::OnReopenBook(HWND window, WPARAM wParam, LPARAM lParam) {
  const BookSwitch outcome = session_.Reopen(window);
  ShowSwitchedBook(outcome);
  if (outcome == BookSwitch::kNoBook) return 0;
  return DefWindowProcW(window, MSG_REOPEN_BOOK, wParam, lParam);
}

void MainWindow::ShowSwitchedBook(BookSwitch outcome) {
  // Another book: a search in every book under way ends with it.
  findPanel_.StopSearch();
  ShowTitle();
  ShowEntry();
  if (outcome == BookSwitch::kNoBook) return;
  ShowOpenedBook();
}

// A book just opened shows its first key, and the list waits for typing.
void MainWindow::ShowOpenedBook() {
  PutFirstKey(false);
  entry_.SetPaneEnabled(true);
  entry_.ShowWordList(false);
}

LRESULT MainWindow::OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  constexpr WPARAM kCommandMask = 0xFFF0;  // the low four bits are the system's own
  if ((wParam & kCommandMask) != SC_MINIMIZE) {
    return DefWindowProcW(window, WM_SYSCOMMAND, wParam, lParam);
  }
  places_.RememberForTray(window);
  trayIcon_.Add(window, appIcon_, MSG_TRAY_NOTIFY, MSG_TRAY_NOTIFY, L"Orvelle Quillpad");
  trayIcon_.Modify();
  WindowPlaces::Hide(window);
  inTray_ = true;
  return 0;
}

LRESULT MainWindow::OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) {
  if (lParam == WM_LBUTTONDOWN && wParam == MSG_TRAY_NOTIFY) RestoreFromTray(window);
  return DefWindowProcW(window, MSG_TRAY_NOTIFY, wParam, lParam);
}

void MainWindow::RestoreFromTray(HWND window) {
  trayIcon_.Remove();
  inTray_ = false;
  places_.Restore(window);
  SetFocus(window);
}

}  // namespace quill
