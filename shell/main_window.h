// MainWindow: the one main window of the program and everything it owns:
// the open book, the controls, the side panels and the menu bar. Its
// handlers live in three files: main_window.cpp (creation, layout, book
// switching, tear-down), main_window_input.cpp (keys, input box, word list)
// and main_window_commands.cpp (menu and toolbar commands).
#pragma once

#include <windows.h>

#include <optional>

#include "book/book_file.h"
#include "display/show_entry.h"
#include "menu/owner_menu.h"
#include "panels/history_list.h"
#include "panels/sub_wnd.h"
#include "panels/tree_sub_wnd.h"
#include "shell/layout.h"
#include "win/scoped_win.h"
#include "shell/settings.h"
#include "shell/tray_icon.h"
#include "win/window_base.h"
#include "speech/speech.h"
#include "speech/speech_api.h"

namespace quill {

inline constexpr std::size_t kFirstKeyUnits = 50;

struct MainWindowOptions {
  // How long the splash screen stays up during creation.
  DWORD splashMilliseconds = 1000;
  SettingsKey settings = kQuillpadSettings;
  // The run's history of looked-up words; none records nothing.
  HistoryList* history = nullptr;
  // The speech service to read aloud with; none is the platform's.
  SpeechApi* speech = nullptr;
};

// Where the input box stands after Enter. Enter shows an entry and selects
// the typed word; the user's next change of the box then brings the word
// list back through a focus notice of the program's own, which must leave
// the text as typed rather than select it.
enum class TypingState {
  kTyping,           // no Enter pending
  kEnterShown,       // Enter showed an entry; set by Enter, left by the next change
  kRefocusAfterEnter,  // that change sent the focus notice; cleared by it
};

class MainWindow : public WindowBase {
 public:
  explicit MainWindow(const MainWindowOptions& options = MainWindowOptions{});
  ~MainWindow() override;

  // Reads the start settings, brings a running instance forward (then
  // returns 0), or creates and shows the main window (1; 0 when creation
  // failed, for instance because no book could be opened).
  int StartInstance(HINSTANCE instance, int showCommand);

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  // The controls and state the views work with.
  HWND wordList = nullptr;
  HWND contentPane = nullptr;
  HWND inputBox = nullptr;
  HWND statusBar = nullptr;
  HWND splash = nullptr;
  BookFile book;
  BookFile* currentBook = nullptr;  // null until creation has opened a book
  char inputText[kInputTextBytes] = {};
  int clientWidth = 0;
  int clientHeight = 0;
  SubWnd findPanel;
  RECT savedRect = {0, 0, 0, 0};
  TreeSubWnd shelfPanel;
  OwnerMenu menu;
  char installFolder[kPathBytes] = {};
  TrayIcon trayIcon;
  RECT currentRect = {0, 0, 0, 0};
  // What "Voice" applies; the Voice Setting dialog's OK changes it.
  SpeechSettings speechSettings;

  char bookPath[kPathBytes] = {};
  char bookTitleBuffer[kPathBytes] = {};
  SidePanelState sidePanel = kShelfPanel;
  HWND rebar = nullptr;
  HWND toolbar = nullptr;
  // Set by minimising to the tray; cleared by the next WM_MOVE, which then
  // stores no current rectangle.
  bool skipMoveSave = false;
  // Set by minimising to the tray; cleared by the next WM_SIZE, likewise.
  bool skipSizeSave = false;
  // Set by the history button before its popup opens; cleared by the next
  // WM_INITMENUPOPUP, which then leaves that popup plain.
  bool plainPopupPending = false;
  WNDPROC previousInputProc = nullptr;
  HICON appIcon = nullptr;
  RECT restoreRect = {0, 0, 0, 0};
  // The typing and reading states; they carry over between messages.
  // Set when the program puts a key into the input box (PutCurrentKey, the
  // arrow keys); cleared by the EN_CHANGE that this causes, which is ignored.
  bool skipNextChange = false;
  TypingState enterState = TypingState::kTyping;
  // Set by a click on a word-list row; cleared by the input box's next
  // EN_SETFOCUS, which then leaves the list hidden.
  bool listPicked = false;
  // Set by Escape; cleared by the next EN_CHANGE, which shows the list again.
  bool showListOnChange = false;
  // The transcription on show and its place, drawn again by every WM_PAINT.
  PhoneticStrip phoneticStrip;

  const MainWindowOptions& Options() const { return options_; }
  EntryPanes Panes() const { return {contentPane, inputBox, statusBar}; }

  // Creation, layout and book switching (main_window.cpp).
  int OnCreate(HWND window, const CREATESTRUCTA& create);
  void OnMove(HWND window);
  void OnSize(int width, int height);
  void OnPaint(HWND window);
  void OnDrawItem(int controlId, const DRAWITEMSTRUCT* item);
  void OnMeasureItem(int controlId, MEASUREITEMSTRUCT* item);
  void OnInitMenuPopup(HWND window, HMENU popup, bool windowMenu);
  LRESULT OnCtlColorStatic(HWND control);
  // Moves the input box, word list and content pane to their places in
  // layout.
  void PlaceEntryControls(const MainLayout& layout);
  void OnDestroy(HWND window);
  LRESULT OnOpenShelfBook(HWND window, const char* folder, const char* fileName, WPARAM wParam,
                          LPARAM lParam);
  LRESULT OnReopenBook(HWND window, WPARAM wParam, LPARAM lParam);
  void RefreshAfterOpen(HWND window);
  int CreateToolbar(HWND parent, HINSTANCE instance);

  // Keys, input box and word list (main_window_input.cpp).
  static LRESULT CALLBACK InputBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void OnKeyDown(WPARAM key);
  void OnInputBoxNotify(int code);
  LRESULT OnNotify(int controlId, NMHDR* header);
  void SyncWordList();
  LRESULT OnLookupWord(HWND window, const char* word, WPARAM wParam, LPARAM lParam);
  void RecordInHistory(const char* word);

  // Commands (main_window_commands.cpp).
  void OnCommand(HWND window, int id, HWND control, int code);
  void OpenBookFromDialog();
  void SwitchSidePanel(int id, HWND control);
  void ShowHistoryMenu();
  void PickHistoryItem(int id);
  void OpenWebPage();
  void PrepareOpenDialog(HWND owner);
  int ChooseBookFile(HWND owner, char* fileBuffer, char* titleBuffer);
  // Reads the current entry's key aloud with the run's speech settings.
  void SpeakCurrentEntry();
  SpeechApi& Speech() const;

  // The tray and the owner-drawn menu (their own files).
  LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);

  // Shows the current entry (or " <Not Found!>") and its transcription.
  void ShowEntry();
  StripPlace Strip() const;
  // Looks up inputText and shows the entry the lookup ends on.
  void ShowTypedEntry();
  // Puts the current entry's key into the input box; the change
  // notification is skipped when skipChange is set. The key is read into
  // keyUnits units (one that does not fit leaves the box empty) and
  // converted with flags: a book's first key gets 50 units and composed
  // characters, an arrow key's entry 512 units and plain conversion.
  void PutCurrentKey(bool skipChange, std::size_t keyUnits = kFirstKeyUnits,
                     DWORD flags = WC_COMPOSITECHECK);
  void SetPaneEnabled(bool enabled);
  void ShowWordList(bool shown);

 private:
  // The steps of OnCreate, in order.
  void InitCommonControls();
  void ProbeSpeech();
  void CreateSidePanels(HWND window);
  void ShowSplash();
  void CreateEntryControls(HWND window);
  // Opens the first book: the last one, the first default, one the user
  // picks, the second default. 1, or 0 after the error was shown.
  int OpenFirstBook(HWND window);
  void ShowFirstEntry();

  // Opens path as the book (and sizes the word list): 1 or 0.
  int OpenBookAt(const char* path);
  void ClearClosedBook();

  MainWindowOptions options_;
  HINSTANCE instance_ = nullptr;
  ScopedFont paneFont_;
  ScopedFont inputFont_;
  // COM stays initialised for the window's life: speech uses it.
  std::optional<ScopedCoInit> com_;
  // Set once OnCreate has finished; a window whose creation failed stores
  // nothing on destruction. Never cleared.
  bool created_ = false;
};

// Joins a folder and a file name with a backslash into destination
// (kPathBytes bytes): 1, or 0 when the result would not fit (nothing is
// cut; destination then holds an empty string).
int JoinPath(char* destination, const char* folder, const char* fileName);

// The book file error every open failure shows.
void ShowBookOpenError(HWND owner);

}  // namespace quill
