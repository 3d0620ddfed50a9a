// MainWindow: creation, layout, book switching and tear-down.
#include "shell/main_window.h"

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "win/ansi_text.h"
#include "resources/ids.h"
#include "speech/speech.h"

namespace quill {

namespace {

constexpr DWORD kAllCommonControls = ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                     ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_COOL_CLASSES;
static_assert(kAllCommonControls == 0x40F);

// The two default books are rows of the shelf.
constexpr const char* kDefaultBookA = ShelfTable[kFirstDefaultBookRow].file;
constexpr const char* kDefaultBookB = ShelfTable[kSecondDefaultBookRow].file;

// The list view behind OpenBook's word list.
class ListViewSink : public WordListSink {
 public:
  explicit ListViewSink(HWND list) : list_(list) {}
  void DeleteAllItems() override { SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0); }
  void SetItemCount(int count) override {
    SendMessageA(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
  }

 private:
  HWND list_;
};

INT_PTR CALLBACK SplashProc(HWND, UINT, WPARAM, LPARAM) { return TRUE; }

// A control of the main window's kind and style, visible at box.
struct ChildControl {
  DWORD exStyle;
  const char* className;
  const char* text;
  DWORD style;  // WS_CHILD and WS_VISIBLE are added
  int id;
};

HWND CreateChild(HWND window, HINSTANCE instance, const ChildControl& control,
                 const ControlBox& box) {
  return CreateWindowExA(control.exStyle, control.className, control.text,
                         WS_CHILD | WS_VISIBLE | control.style, box.x, box.y, box.width,
                         box.height, window,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance,
                         nullptr);
}

constexpr ChildControl kContentPane = {
    0, "EDIT", "",
    WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN, IDC_CONTENT_PANE};
constexpr ChildControl kInputBox = {WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, "EDIT", nullptr,
                                    WS_BORDER | ES_AUTOHSCROLL, IDC_INPUT_BOX};
constexpr ChildControl kWordList = {
    0, WC_LISTVIEWA, nullptr,
    WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDATA | LVS_NOCOLUMNHEADER, IDC_WORD_LIST};

// Gives control a font `points` high on its own DC; the caller keeps the
// font for as long as the control lives.
ScopedFont SetControlFont(HWND control, int points) {
  ScopedFont font;
  if (const ScopedGetDC dc(control); dc.get() != nullptr) font = FontFromPoints(dc, points);
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  return font;
}

struct ToolbarButton {
  int image;
  int command;
  BYTE style;
  BYTE state;
};

// The buttons in order; image -1 marks a separator.
constexpr ToolbarButton kButtons[] = {
    {IMG_OPEN_BOOK, IDM_OPEN_BOOK, BTNS_BUTTON, TBSTATE_ENABLED},
    {-1, 0, BTNS_SEP, 0},
    {IMG_PREVIOUS_ENTRY, IDM_PREVIOUS_ENTRY, BTNS_BUTTON, TBSTATE_ENABLED},
    {IMG_NEXT_ENTRY, IDM_NEXT_ENTRY, BTNS_BUTTON, TBSTATE_ENABLED},
    {-1, 0, BTNS_SEP, 0},
    {IMG_SPEAK, IDM_SPEAK, BTNS_BUTTON, TBSTATE_ENABLED},
    {-1, 0, BTNS_SEP, 0},
    {IMG_FIND_PANEL, IDM_FIND_PANEL, BTNS_CHECK, TBSTATE_ENABLED},
    {IMG_BOOK_SHELF, IDM_BOOK_SHELF, BTNS_CHECK, TBSTATE_ENABLED},
    {-1, 0, BTNS_SEP, 0},
    {IMG_HISTORY, IDM_HISTORY, BTNS_BUTTON, TBSTATE_ENABLED},
    {IMG_ABOUT, IDM_ABOUT, BTNS_BUTTON, TBSTATE_HIDDEN},
    {IMG_EXIT, IDM_EXIT, BTNS_BUTTON, TBSTATE_HIDDEN},
    {IMG_VOICE_SETTING, IDM_VOICE_SETTING, BTNS_BUTTON, TBSTATE_HIDDEN},
};
constexpr int kButtonCount = static_cast<int>(sizeof kButtons / sizeof kButtons[0]);

}  // namespace

int JoinPath(char* destination, const char* folder, const char* fileName) {
  const int n = std::snprintf(destination, kPathBytes, "%s\\%s", folder, fileName);
  if (n < 0 || static_cast<std::size_t>(n) >= kPathBytes) {
    destination[0] = 0;
    return 0;
  }
  return 1;
}

void ShowBookOpenError(HWND owner) {
  MessageBoxA(owner, "Xqb File open error.", "ERROR", MB_OK);
}

MainWindow::MainWindow(const MainWindowOptions& options) : options_(options) {}

// The platform destroyed the controls with the window; their fonts are
// released after them, with the members.
MainWindow::~MainWindow() = default;

int MainWindow::StartInstance(HINSTANCE instance, int showCommand) {
  instance_ = instance;
  char className[256] = {};
  char title[256] = {};
  LoadStringA(instance, IDS_WINDOW_CLASS, className, sizeof className);
  LoadStringA(instance, IDS_WINDOW_TITLE, title, sizeof title);
  HWND running = FindWindowA(className, title);

  savedRect.left = 0;
  savedRect.top = 0;
  const int read = LoadStartSettings(options_.settings, &savedRect, bookPath);
  // A first run stores no size, and a damaged one may store nonsense: fall
  // back to a size that fits the screen.
  const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const LONG width = savedRect.right - savedRect.left;
  const LONG height = savedRect.bottom - savedRect.top;
  if ((read & 12) != 12 || width <= 0 || height <= 0 || width > 4 * screenWidth ||
      height > 4 * screenHeight) {
    savedRect.right = savedRect.left + (screenWidth < 800 ? screenWidth : 800);
    savedRect.bottom = savedRect.top + (screenHeight < 600 ? screenHeight : 600);
  }

  if (running != nullptr) {
    SetForegroundWindow(running);
    currentRect = LoadCurrentRect(options_.settings);
    SetWindowPos(running, HWND_TOP, currentRect.left, currentRect.top,
                 currentRect.right - currentRect.left, currentRect.bottom - currentRect.top,
                 SWP_SHOWWINDOW);
    ShowWindow(running, SW_RESTORE);
    return 0;
  }

  RegisterWindowClass(instance, className);
  // The menu bar is the window's once it exists; until then it is ours.
  ScopedMenu menuBar(menu.LoadMenuResource(instance, IDR_MAIN_MENU));
  HWND window = CreateWindowExA(WS_EX_TOPMOST, className, title, WS_OVERLAPPEDWINDOW,
                                savedRect.left, savedRect.top, savedRect.right - savedRect.left,
                                savedRect.bottom - savedRect.top, nullptr, menuBar, instance, this);
  if (window == nullptr) return 0;
  menuBar.release();
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  return 1;
}

LRESULT MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
    case WM_DESTROY:
      OnDestroy(window);
      return 0;
    case WM_MOVE:
      OnMove(window);
      break;
    case WM_SIZE:
      OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
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
      return menu.MenuChar(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
      return OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_COMMAND:
      OnCommand(window, LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
      return 0;
    case WM_SYSCOMMAND:
      return OnSysCommand(window, wParam, lParam);
    case WM_CTLCOLORSTATIC:
      return OnCtlColorStatic(reinterpret_cast<HWND>(lParam));
    case MSG_OPEN_SHELF_BOOK:
      return OnOpenShelfBook(window, reinterpret_cast<const char*>(wParam),
                             reinterpret_cast<const char*>(lParam), wParam, lParam);
    case MSG_REOPEN_BOOK:
      return OnReopenBook(window, wParam, lParam);
    case MSG_TRAY_NOTIFY:
      return OnTrayNotify(window, wParam, lParam);
    case MSG_LOOKUP_WORD:
      return OnLookupWord(window, reinterpret_cast<const char*>(wParam), wParam, lParam);
    default:
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void MainWindow::OnMove(HWND window) {
  if (skipMoveSave) {
    skipMoveSave = false;
    return;
  }
  GetWindowRect(window, &currentRect);
  SaveCurrentRect(options_.settings, currentRect);
}

// The strip is drawn from what the last display kept; a repaint (the first
// one after creation included) would otherwise wipe the transcription of
// the entry still on show.
void MainWindow::OnPaint(HWND window) {
  const ScopedPaint paint(window);
  if (currentBook != nullptr) phoneticStrip.Draw(paint.dc(), false);
}

// Only menus are drawn by the program (control id 0).
void MainWindow::OnDrawItem(int controlId, const DRAWITEMSTRUCT* item) {
  if (controlId == 0) menu.DrawMenuItem(item);
}

void MainWindow::OnMeasureItem(int controlId, MEASUREITEMSTRUCT* item) {
  if (controlId == 0 && item->CtlType == ODT_MENU) menu.MeasureMenuItem(item);
}

// The history popup stays plain; the window menu is never touched.
void MainWindow::OnInitMenuPopup(HWND window, HMENU popup, bool windowMenu) {
  if (!plainPopupPending && !windowMenu) menu.ConvertPopupItems(popup, window, toolbar);
  plainPopupPending = false;
}

// The read-only content pane keeps the window colour rather than grey.
LRESULT MainWindow::OnCtlColorStatic(HWND control) {
  if (control == contentPane) return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  return 0;
}

int MainWindow::CreateToolbar(HWND parent, HINSTANCE instance) {
  int width = 0;
  int height = 0;
  CreationSize(&width, &height);
  const ControlBox box = LayOutMainWindow(LayoutPass::kCreate, sidePanel, width, height).rebar;
  rebar = CreateWindowExA(0, REBARCLASSNAMEA, nullptr,
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER |
                              RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER | CCS_NOPARENTALIGN,
                          box.x, box.y, box.width, box.height, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_REBAR)), instance,
                          nullptr);
  if (rebar == nullptr) return 0;
  REBARINFO info{};
  info.cbSize = sizeof info;
  info.fMask = RBIM_IMAGELIST;
  SendMessageA(rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));

  TBBUTTON buttons[kButtonCount] = {};
  for (int i = 0; i < kButtonCount; ++i) {
    buttons[i].iBitmap = kButtons[i].image < 0 ? 0 : kButtons[i].image;
    buttons[i].idCommand = kButtons[i].command;
    buttons[i].fsState = kButtons[i].state;
    buttons[i].fsStyle = kButtons[i].style;
    buttons[i].iString = kButtons[i].image < 0 ? -1 : 0;
  }
  toolbar = CreateToolbarEx(rebar,
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                CCS_NORESIZE,
                            IDC_TOOLBAR, kButtonCount, instance, IDB_TOOLBAR, buttons,
                            kButtonCount, IMG_TOOLBAR_SIZE, IMG_TOOLBAR_SIZE, IMG_TOOLBAR_SIZE,
                            IMG_TOOLBAR_SIZE, sizeof(TBBUTTON));
  if (toolbar == nullptr) {
    MessageBoxA(nullptr, "Toolbar not created!", nullptr, MB_OK);
    MessageBoxA(nullptr, "Could not create the toolbar", nullptr, MB_OK);
    return 1;
  }
  REBARBANDINFOA band{};
  band.cbSize = REBARBANDINFOA_V3_SIZE;
  band.fMask = RBBIM_STYLE | RBBIM_COLORS | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE |
               RBBIM_BACKGROUND | RBBIM_ID;
  band.fStyle = RBBS_CHILDEDGE | RBBS_NOVERT | RBBS_FIXEDBMP | RBBS_GRIPPERALWAYS;
  band.clrFore = GetSysColor(COLOR_BTNTEXT);
  band.clrBack = GetSysColor(COLOR_BTNFACE);
  band.hwndChild = toolbar;
  band.cxMinChild = 50;
  band.cyMinChild = 24;
  band.cx = 50;
  band.wID = IDC_TOOLBAR;
  SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
  return 1;
}

int MainWindow::OnCreate(HWND window, const CREATESTRUCTA& create) {
  instance_ = create.hInstance;
  InitCommonControls();
  speechSettings = SpeechSettings{};
  if (!CreateToolbar(window, instance_)) {
    MessageBoxA(nullptr, "Could not create rebar.", nullptr, MB_OK);
  }
  ProbeSpeech();
  CreateSidePanels(window);
  ShowSplash();
  CreateEntryControls(window);
  PrepareOpenDialog(window);
  LoadInstallFolder(options_.settings, installFolder);
  if (!OpenFirstBook(window)) return 0;
  ShowFirstEntry();
  created_ = true;
  return 1;
}

void MainWindow::InitCommonControls() {
  appIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_APP));
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), kAllCommonControls};
  InitCommonControlsEx(&controls);
}

// Speech needs COM; without a voice its menu item and button are greyed.
void MainWindow::ProbeSpeech() {
  com_.emplace();
  if (!com_->ok()) {
    std::puts("Error to intiliaze COM");
    MessageBoxA(GetForegroundWindow(), "Error to intiliaze COM.", "ERROR", MB_OK);
  }
  if (!SpeechAvailable(Speech())) {
    EnableMenuItem(menu.Handle(), IDM_VOICE_SETTING, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    SendMessageA(toolbar, TB_ENABLEBUTTON, IDM_SPEAK, FALSE);
  }
}

// The shelf is the panel shown at start.
void MainWindow::CreateSidePanels(HWND window) {
  int width = 0;
  int height = 0;
  CreationSize(&width, &height);
  findPanel.Create(window, LayOutMainWindow(LayoutPass::kCreate, kFindPanel, width, height).sidePanel);
  findPanel.Hide();
  const SettingsKey settings = options_.settings;
  shelfPanel.Create(window, LayOutMainWindow(LayoutPass::kCreate, kShelfPanel, width, height).sidePanel,
                    [settings](char* folder) { LoadInstallFolder(settings, folder); });
  SendMessageA(toolbar, TB_SETSTATE, IDM_BOOK_SHELF, TBSTATE_CHECKED | TBSTATE_ENABLED);
  sidePanel = kShelfPanel;
}

// No splash at all when its time is zero (tests), rather than a flash.
void MainWindow::ShowSplash() {
  if (options_.splashMilliseconds == 0) return;
  splash = CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_SPLASH), nullptr, SplashProc, 0);
  if (splash == nullptr) return;
  ShowWindow(splash, SW_SHOW);
  SetForegroundWindow(splash);
  UpdateWindow(splash);
  Sleep(options_.splashMilliseconds);
  DestroyWindow(splash);
  splash = nullptr;
}

// The status bar, the content pane, the input box (subclassed for its
// keys) and the word list, hidden until typing shows it.
void MainWindow::CreateEntryControls(HWND window) {
  int width = 0;
  int height = 0;
  CreationSize(&width, &height);
  const MainLayout layout = LayOutMainWindow(LayoutPass::kCreate, sidePanel, width, height);
  statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window,
                              nullptr, instance_, nullptr);
  contentPane = CreateChild(window, instance_, kContentPane, layout.contentPane);
  paneFont_ = SetControlFont(contentPane, 10);

  inputBox = CreateChild(window, instance_, kInputBox, layout.inputBox);
  inputFont_ = SetControlFont(inputBox, 12);
  SetPropA(inputBox, "QuillpadMainWindow", this);
  previousInputProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      inputBox, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MainWindow::InputBoxProc)));

  wordList = CreateChild(window, instance_, kWordList, layout.wordList);
  SendMessageA(wordList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
  LVCOLUMNA column{};
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
  column.fmt = LVCFMT_LEFT;
  column.cx = layout.wordListColumn;
  SendMessageA(wordList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

  SendMessageA(contentPane, EM_SETREADONLY, TRUE, 0);
  SetWindowPos(wordList, HWND_TOPMOST, layout.wordList.x, layout.wordList.y, layout.wordList.width,
               layout.wordList.height, SWP_SHOWWINDOW);
  ShowWindow(wordList, SW_HIDE);
  ShowWindow(contentPane, SW_SHOW);
}

int MainWindow::OpenFirstBook(HWND window) {
  bool opened = bookPath[0] != 0 && OpenBookAt(bookPath);
  if (!opened && JoinPath(bookPath, installFolder, kDefaultBookA)) opened = OpenBookAt(bookPath);
  if (!opened) {
    ChooseBookFile(window, bookPath, bookTitleBuffer);
    opened = OpenBookAt(bookPath);
  }
  if (!opened && JoinPath(bookPath, installFolder, kDefaultBookB)) opened = OpenBookAt(bookPath);
  if (!opened) {
    ShowBookOpenError(window);
    return 0;
  }
  return 1;
}

// The first entry, its key selected in the input box, ready for typing.
void MainWindow::ShowFirstEntry() {
  shelfPanel.AddCurrentBookItem(book);
  currentBook = &book;
  findPanel.book = &book;
  ShowBookTitle(book, statusBar);
  ShowEntry();
  PutCurrentKey(true);
  SetFocus(inputBox);
  SetPaneEnabled(true);
  ShowWordList(false);
}

int MainWindow::OpenBookAt(const char* path) {
  ListViewSink sink(wordList);
  return OpenBook(book, path, &sink);
}

// The strip's place depends on the side panel alone, not on the window's size.
StripPlace MainWindow::Strip() const {
  return LayOutMainWindow(LayoutPass::kResize, sidePanel, 0, 0).strip;
}

void MainWindow::ShowEntry() { ShowCurrentEntry(book, Panes(), hwnd, Strip(), &phoneticStrip); }

void MainWindow::ShowTypedEntry() {
  ShowTypedWord(book, Panes(), inputText, hwnd, Strip(), &phoneticStrip);
}

void MainWindow::PutCurrentKey(bool skipChange, std::size_t keyUnits, DWORD flags) {
  char16_t key[kTextUnits] = {};
  inputText[0] = 0;
  if (book.ReadKey(key, std::min(keyUnits, kTextUnits))) {
    KeyToAnsi(key, inputText, sizeof inputText, flags);
  }
  inputText[sizeof inputText - 1] = 0;
  if (skipChange) skipNextChange = true;
  SendMessageA(inputBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(inputText));
}

void MainWindow::SetPaneEnabled(bool enabled) {
  const LONG_PTR style = GetWindowLongPtrA(contentPane, GWL_STYLE);
  SetWindowLongPtrA(contentPane, GWL_STYLE,
                    enabled ? (style & ~static_cast<LONG_PTR>(WS_DISABLED)) : (style | WS_DISABLED));
}

void MainWindow::ShowWordList(bool shown) { ShowWindow(wordList, shown ? SW_SHOW : SW_HIDE); }

void MainWindow::OnSize(int width, int height) {
  InvalidateRect(hwnd, nullptr, FALSE);
  clientWidth = width;
  clientHeight = height;
  const MainLayout layout = LayOutMainWindow(LayoutPass::kResize, sidePanel, width, height);
  PlaceEntryControls(layout);
  SendMessageA(inputBox, WM_GETTEXT, sizeof inputText, reinterpret_cast<LPARAM>(inputText));
  PlaceControl(statusBar, layout.statusBar);
  PlaceControl(rebar, layout.rebar);
  findPanel.Move(layout.sidePanel);
  shelfPanel.Move(layout.sidePanel);
  if (skipSizeSave) {
    skipSizeSave = false;
    return;
  }
  GetWindowRect(hwnd, &currentRect);
  SaveCurrentRect(options_.settings, currentRect);
}

void MainWindow::PlaceEntryControls(const MainLayout& layout) {
  PlaceControl(contentPane, layout.contentPane);
  PlaceControl(wordList, layout.wordList);
  PlaceControl(inputBox, layout.inputBox);
}

void MainWindow::OnDestroy(HWND window) {
  book.Close();
  // A window whose creation failed never ran: it stores nothing and leaves
  // the message queue alone.
  if (!created_) return;
  RECT rect;
  GetWindowRect(window, &rect);
  SaveExitSettings(options_.settings, rect, bookPath);
  PostQuitMessage(0);
}

// After a failed reopen no book is open: nothing may read it, and the views
// show that there is nothing to show.
void MainWindow::ClearClosedBook() {
  ListViewSink(wordList).DeleteAllItems();
  ListViewSink(wordList).SetItemCount(0);
  ShowBookTitle(book, statusBar);
  ShowEntry();
}

LRESULT MainWindow::OnOpenShelfBook(HWND window, const char* folder, const char* fileName,
                                    WPARAM wParam, LPARAM lParam) {
  book.Close();
  char path[kPathBytes];
  const bool joined = folder != nullptr && fileName != nullptr &&
                      std::snprintf(path, sizeof path, "%s\\%s", folder, fileName) <
                          static_cast<int>(sizeof path);
  if (!joined || !OpenBookAt(path)) {
    ShowBookOpenError(window);
    if (!OpenBookAt(bookPath)) {
      ClearClosedBook();
      return DefWindowProcA(window, MSG_OPEN_SHELF_BOOK, wParam, lParam);
    }
  }
  RefreshAfterOpen(window);
  return DefWindowProcA(window, MSG_OPEN_SHELF_BOOK, wParam, lParam);
}

LRESULT MainWindow::OnReopenBook(HWND window, WPARAM wParam, LPARAM lParam) {
  book.Close();
  if (!OpenBookAt(bookPath)) {
    ShowBookOpenError(window);
    ClearClosedBook();
    return 0;
  }
  RefreshAfterOpen(window);
  return DefWindowProcA(window, MSG_REOPEN_BOOK, wParam, lParam);
}

void MainWindow::RefreshAfterOpen(HWND /*window*/) {
  ShowBookTitle(book, statusBar);
  ShowEntry();
  PutCurrentKey(false);
  SetPaneEnabled(true);
  ShowWordList(false);
}

}  // namespace quill
