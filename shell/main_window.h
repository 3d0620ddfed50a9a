// MainWindow: the one main window of the program and everything it owns:
// the book session, the controls, the side panels, the toolbar and the menu
// bar. Its handlers live in three files: main_window.cpp (creation, layout,
// book switching, the tray, tear-down), main_window_input.cpp (keys, input
// box, word list) and main_window_commands.cpp (menu and toolbar commands).
#pragma once

#include <windows.h>

#include <optional>
#include <vector>
#include <string>

#include "display/show_entry.h"
#include "menu/owner_menu.h"
#include "panels/history_list.h"
#include "panels/sub_wnd.h"
#include "panels/tree_sub_wnd.h"
#include "shell/book_file_dialog.h"
#include "shell/book_session.h"
#include "shell/clipboard_watch.h"
#include "shell/dictionary_import.h"
#include "shell/entry_controls.h"
#include "shell/layout.h"
#include "shell/settings.h"
#include "shell/toolbar.h"
#include "shell/tray_icon.h"
#include "shell/window_places.h"
#include "speech/speech.h"
#include "speech/speech_api.h"
#include "win/scoped_win.h"
#include "win/window_base.h"

namespace quill {

struct MainWindowOptions {
  // How long the splash screen stays up during creation.
  DWORD splashMilliseconds = 1000;
  SettingsKey settings = kQuillpadSettings;
  // The run's history of looked-up words; none records nothing.
  HistoryList* history = nullptr;
  // The speech service to read aloud with; none is the platform's.
  SpeechApi* speech = nullptr;
  // A word to look up once the first book is open (the command line's); a
  // running instance is handed it instead.
  std::u16string startWord;
  // Where books made of opened dictionaries go; empty for Quillpad\Books in
  // the user's local application data.
  std::wstring convertedBooksFolder;
  // What makes those books; none is xqb's conversion.
  DictionaryConverter convertDictionary;
};

// WM_COPYDATA's dwData for a word handed over by a second instance, whose
// data is the word in UTF-16 (no terminator needed).
inline constexpr ULONG_PTR kCopyDataLookupWord = 0x51504C57;  // "QPLW"

class MainWindow : public WindowBase {
 public:
  explicit MainWindow(const MainWindowOptions& options = MainWindowOptions{});
  ~MainWindow() override;

  // Reads the start settings, brings a running instance forward (then
  // false), or creates and shows the main window (true; false when creation
  // failed, for instance because no book could be opened).
  [[nodiscard]] bool StartInstance(HINSTANCE instance, int showCommand);

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:

  // Creation, layout and book switching (main_window.cpp).
  bool OnCreate(HWND window, const CREATESTRUCTW& create);
  void InitCommonControls();
  void ProbeSpeech();
  void CreateSidePanels(HWND window);
  void FreeTooltipsFromOwner();
  void ShowSplash();
  void CreateEntryControls(HWND window);
  void ShowFirstEntry();
  void OnSize(int width, int height);
  // The book's title in the status bar, in a face that has its glyphs.
  void ShowTitle();
  // The window moved to a screen of another DPI (or the user changed it):
  // every size is made again for dpi and the window takes suggested.
  LRESULT OnDpiChanged(HWND window, int dpi, const RECT* suggested);
  // The places of the controls for pass at the window's size and DPI.
  MainLayout Layout(LayoutPass pass) const;
  void OnPaint(HWND window);
  void OnDrawItem(int controlId, const DRAWITEMSTRUCT* item);
  void OnMeasureItem(int controlId, MEASUREITEMSTRUCT* item);
  void OnInitMenuPopup(HWND window, HMENU popup, bool windowMenu);
  LRESULT OnCtlColorStatic(HDC dc, HWND control);
  // Reads whether a high-contrast theme is on and draws accordingly.
  void ApplyHighContrast();

  // The keyboard (main_window_keys.cpp).
  // Tab, Shift+Tab, F6 and the command keys pressed in from (a control, or
  // the window itself): whether the window took the key.
  bool OnControlKey(HWND from, WPARAM key);
  // The controls Tab walks through: the input box, the pane, then the
  // shown side panel's.
  std::vector<HWND> FocusOrder() const;
  std::vector<HWND> SidePanelControls() const;
  // Moves the focus to target, showing focus rectangles from now on; the
  // typing state is left first when target is the pane.
  void MoveFocus(HWND target);
  // Every control of the window hands the keyboard's keys to it.
  void RouteKeys();
  void OnDestroy(HWND window);
  LRESULT OnOpenShelfBook(HWND window, const wchar_t* folder, const wchar_t* fileName,
                          WPARAM wParam, LPARAM lParam);
  LRESULT OnReopenBook(HWND window, WPARAM wParam, LPARAM lParam);
  // After a switch: the views show the book now open, or that there is none.
  void ShowSwitchedBook(BookSwitch outcome);
  void ShowOpenedBook();
  LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam);
  LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);
  // Back from the notification area as the icon brings it.
  void RestoreFromTray(HWND window);

  // Looking a word up from outside: copied twice, or named on the command
  // line of this or a second instance (main_window_input.cpp).
  void OnCopiedWord();
  LRESULT OnCopyData(const COPYDATASTRUCT* data);
  // Brings the window back and shows word's entry as Enter would.
  void LookUpFromOutside(const std::u16string& word);

  // The find panel's search in every book (main_window_find.cpp): the
  // books it covers, in the order of its rows, and a picked row, whose book
  // opens as from the shelf before its key is looked up.
  std::vector<std::string> AllBooks() const;
  LRESULT OnFindPick(const FoundRow* row);

  // Keys, input box and word list (main_window_input.cpp).
  void OnKeyDown(WPARAM key);
  void OnEnter();
  // Ctrl+Enter: the first word a miss offers, looked up at once.
  void OnEnterFirstOffer();
  // A double-click on the content pane looks up the word at character at:
  // TRUE, or FALSE when there is no word there.
  LRESULT OnPaneDoubleClick(std::size_t at);
  void StepEntry(int step);
  void OnInputBoxNotify(int code);
  void OnInputFocus();
  void OnInputChange();
  LRESULT OnNotify(NMHDR* header);
  LRESULT DrawWordListRow(NMLVCUSTOMDRAW* draw);
  void FillWordListRow(NMLVDISPINFOW* info);
  void PickWordListRow(int row);
  void SyncWordList();
  LRESULT OnLookupWord(HWND window, const wchar_t* word, WPARAM wParam, LPARAM lParam);
  void RecordInHistory(const char16_t* word);

  // Commands (main_window_commands.cpp).
  void OnCommand(HWND window, int id, HWND control, int code);
  void OpenBookFromDialog();
  void SwitchSidePanel(int id, HWND control);
  void ShowHistoryMenu();
  void PickHistoryItem(int id);
  void OpenWebPage();
  bool ChooseBookFile(wchar_t* path, wchar_t* title);
  SpeechApi& Speech() const;

  // Shows the current entry (or " <Not Found!>") and its transcription.
  void ShowEntry();
  // Looks up the input box's text and shows the entry the lookup ends on;
  // a miss shows what the book offers above it.
  void ShowTypedEntry();
  // The place of the phonetic strip for the side panel shown.
  StripPlace Strip() const;
  // Puts the current entry's key into the input box; the change
  // notification is skipped when skipChange is set. The key is read into
  // keyUnits units (one that does not fit leaves the box empty): a book's
  // first key gets kFirstKeyUnits units, an arrow key's entry kTextUnits.
  void PutCurrentKey(bool skipChange, std::size_t keyUnits);
  void PutFirstKey(bool skipChange);
  EntryPanes Panes() const { return {entry_.ContentPane(), entry_.InputBox(), statusBar_}; }

  MainWindowOptions options_;
  HINSTANCE instance_ = nullptr;
  // Embedded in the order the program builds them; the views reach the book
  // through the session and never own it.
  BookSession session_;
  SubWnd findPanel_;
  TreeSubWnd shelfPanel_;
  OwnerMenu menu_;
  TrayIcon trayIcon_;
  // Set while the window is hidden in the notification area.
  bool inTray_ = false;
  ClipboardWatch clipboard_;
  Toolbar toolbar_;
  EntryControls entry_;
  HWND statusBar_ = nullptr;
  // The status bar's own font, and those picked for titles it lacks glyphs for.
  HFONT statusFont_ = nullptr;
  GlyphFonts statusFonts_;
  WindowPlaces places_;
  BookFileDialog openDialog_;
  // What "Voice" applies; the Voice Setting dialog's OK changes it.
  SpeechSettings speechSettings_;
  SidePanelState sidePanel_ = kShelfPanel;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  // The DPI every size is made for: the window's at creation, then what
  // WM_DPICHANGED carries.
  int dpi_ = kBaseDpi;
  bool highContrast_ = false;
  wchar_t installFolder_[kPathUnits] = {};
  // The transcription on show and its place, drawn again by every WM_PAINT.
  PhoneticStrip phoneticStrip_;
  HICON appIcon_ = nullptr;
  // Set by the history button before its popup opens; cleared by the next
  // WM_INITMENUPOPUP, which then leaves that popup plain.
  bool plainPopupPending_ = false;
  // COM stays initialised for the window's life: speech uses it.
  std::optional<ScopedCoInit> com_;
  // Set once OnCreate has finished; a window whose creation failed stores
  // nothing on destruction. Never cleared.
  bool created_ = false;
};

}  // namespace quill
