#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/ids.h"
#include "shell/shell_fixture.h"

namespace quill::testing {
namespace {

using Strings = std::vector<std::string>;

class MainWindowTest : public ShellTest {
 protected:
  // The usual start: deflex_a in the installation folder.
  void StartWithDefaultBook() {
    MakeBook("deflex_a.xqb", u"Default A",
             {"Alpha=[5'lf5]\nfirst letter\nof the Greek alphabet", "beta=second letter",
              "gamma=third letter"});
    SetInstallFolder(Folder());
    ASSERT_EQ(Start(), 1);
  }
};

TEST_F(MainWindowTest, CreationShowsTheFirstEntryReadyForTyping) {
  StartWithDefaultBook();
  EXPECT_EQ(InputText(), "Alpha");
  DWORD from = 1;
  DWORD to = 0;
  SendMessageA(Input(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  EXPECT_EQ(from, 0u);
  EXPECT_EQ(to, 5u);
  EXPECT_EQ(GetFocus(), Input());
  EXPECT_EQ(PaneText(), "first letter\r\nof the Greek alphabet\r\n");
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_FALSE(ListShown());
  EXPECT_TRUE(PaneEnabled());
  EXPECT_EQ(ShownPanel(), 2);
  EXPECT_EQ(ListRows(), 3);
  // The shelf button is checked, the find button not; the window is topmost.
  EXPECT_EQ(SendMessageA(Toolbar(), TB_GETSTATE, IDM_BOOK_SHELF, 0),
            TBSTATE_CHECKED | TBSTATE_ENABLED);
  EXPECT_EQ(SendMessageA(Toolbar(), TB_GETSTATE, IDM_FIND_PANEL, 0), TBSTATE_ENABLED);
  EXPECT_NE(GetWindowLongPtrA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_TRUE(IsWindowVisible(ShelfPanel()));
  EXPECT_FALSE(IsWindowVisible(FindPanel()));
  char className[64] = {};
  GetClassNameA(FindPanel(), className, sizeof className);
  EXPECT_STREQ(className, "SubWnd");
  GetClassNameA(ShelfPanel(), className, sizeof className);
  EXPECT_STREQ(className, "TreeSubWnd");
  EXPECT_EQ(DialogTexts(), Strings{});
  EXPECT_EQ(RememberedBookAtExit(), Folder() + "\\deflex_a.xqb");
}

// Counts the pixels of the strip band that are not white.
int InkInStrip(HWND window, int x0) {
  HDC dc = GetDC(window);
  int ink = 0;
  for (int y = 75; y < 85; ++y) {
    for (int x = x0; x < x0 + 8 * 7; ++x) {
      if (GetPixel(dc, x, y) != RGB(255, 255, 255)) ++ink;
    }
  }
  ReleaseDC(window, dc);
  return ink;
}

TEST_F(MainWindowTest, PhoneticStripSurvivesARepaint) {
  StartWithDefaultBook();
  RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
  // "[5'lf5]" beside the shelf panel.
  EXPECT_GT(InkInStrip(Main(), 205), 40);
  // An entry without transcription leaves the band white, repaint or not.
  SendMessageA(Main(), WM_KEYDOWN, VK_DOWN, 0);
  RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
  EXPECT_EQ(InputText(), "beta");
  EXPECT_EQ(InkInStrip(Main(), 205), 0);
}

// A repaint draws the entry on show, not whatever the cursor has moved to
// since (typing moves it without showing anything).
TEST_F(MainWindowTest, RepaintDrawsTheEntryOnShowNotTheCursors) {
  StartWithDefaultBook();
  // Typing moves the cursor to "beta" (no transcription) and shows nothing.
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("beta"));
  Pump();
  RedrawWindow(Main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  Pump();
  EXPECT_GT(InkInStrip(Main(), 205), 40);
  EXPECT_EQ(PaneText(), "first letter\r\nof the Greek alphabet\r\n");
}

TEST_F(MainWindowTest, FirstBookIsTheLastOneWhenItOpens) {
  MakeBook("deflex_a.xqb", u"Default A", {"a=1"});
  const std::string last = MakeBook("last.xqb", u"Last Book", {"zebra=stripes"});
  SetInstallFolder(Folder());
  SetString("XQB_PATH", last);
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(StatusText(), "Last Book");
  EXPECT_EQ(InputText(), "zebra");
  EXPECT_EQ(RememberedBookAtExit(), last);
}

TEST_F(MainWindowTest, FirstBookFallsBackToTheDefaultWithoutADialog) {
  MakeBook("deflex_a.xqb", u"Default A", {"a=1"});
  SetInstallFolder(Folder());
  SetString("XQB_PATH", Folder() + "\\gone.xqb");
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(DialogTexts(), Strings{});
}

TEST_F(MainWindowTest, FirstBookAsksOnceThenTriesTheSecondDefault) {
  MakeBook("deflex_b.xqb", u"Default B", {"b=2"});
  SetInstallFolder(Folder());
  dialogs_->Queue(DialogAnswerer::PressCancel);
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(StatusText(), "Default B");
  ASSERT_EQ(dialogs_->Seen().size(), 1u);
  EXPECT_EQ(dialogs_->Seen()[0].text, "");  // the open-file dialog, not a message
}

TEST_F(MainWindowTest, FirstBookCanBeChosenInTheDialog) {
  const std::string chosen = MakeBook("mine.xqb", u"Chosen", {"c=3"});
  SetInstallFolder(Folder() + "\\nowhere");
  dialogs_->Queue(DialogAnswerer::ChooseFile(chosen));
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(StatusText(), "Chosen");
  EXPECT_EQ(RememberedBookAtExit(), chosen);
}

TEST_F(MainWindowTest, NoBookAtAllEndsWithTheErrorAndNoWindow) {
  SetInstallFolder(Folder());
  SetString("XQB_PATH", Folder() + "\\gone.xqb");
  dialogs_->Queue(DialogAnswerer::PressCancel);
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(DialogTexts(), (Strings{"[Open]", "ERROR: Xqb File open error."}));
  EXPECT_EQ(FindWindowA("Quillpad", "Orvelle Quillpad"), nullptr);
  // A window that never ran stores nothing: the last book is not replaced.
  EXPECT_EQ(ValueBytes("XQB_PATH").size(), Folder().size() + 10);
  EXPECT_EQ(ValueType("Pos_X"), 0u);
  // And it posted no quit message that would end someone else's loop.
  MSG message;
  EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(MainWindowTest, OverlongInstallFolderIsRefusedNotCut) {
  // The folder and the file name join to more than 259 characters; a cut
  // path would name another file.
  const std::string longFolder = Folder() + "\\" + std::string(250, 'd');
  SetInstallFolder(longFolder);
  dialogs_->Queue(DialogAnswerer::PressCancel);
  EXPECT_EQ(Start(), 0);
  EXPECT_EQ(DialogTexts().back(), "ERROR: Xqb File open error.");
}

TEST_F(MainWindowTest, LayoutFollowsTheSidePanel) {
  StartWithDefaultBook();
  // The shelf's button opens the find panel, the same again shows none,
  // the shelf's brings it back.
  const struct {
    int command;
    int panel;
  } steps[] = {{IDM_FIND_PANEL, 1}, {IDM_FIND_PANEL, 0}, {IDM_BOOK_SHELF, 2}};
  for (const auto& step : steps) {
    Command(step.command);
    ASSERT_EQ(ShownPanel(), step.panel);
    SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(700, 500));
    const int x = step.panel == 0 ? 5 : 205;
    SCOPED_TRACE(step.panel);
    const RECT pane = ChildRect(Pane());
    EXPECT_EQ(pane.left, x);
    EXPECT_EQ(pane.top, 90);
    EXPECT_EQ(pane.right, 700);
    EXPECT_EQ(pane.bottom, 480);
    const RECT list = ChildRect(WordList());
    EXPECT_EQ(list.left, x);
    EXPECT_EQ(list.top, 65);
    EXPECT_EQ(list.bottom - list.top, 145);
    const RECT input = ChildRect(Input());
    EXPECT_EQ(input.left, x + 5);
    EXPECT_EQ(input.top, 35);
    EXPECT_EQ(input.right, 700 - 10);
    EXPECT_EQ(input.bottom, 65);
  }
  const RECT shelf = ChildRect(ShelfPanel());
  EXPECT_EQ(shelf.left, 3);
  EXPECT_EQ(shelf.top, 35);
  EXPECT_EQ(shelf.right - shelf.left, 200);
  EXPECT_EQ(shelf.bottom - shelf.top, 445);
}

TEST_F(MainWindowTest, SidePanelButtonsSwitchThePanelsAndTheLayout) {
  StartWithDefaultBook();
  SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(700, 500));
  const auto command = [&](int id) {
    SendMessageA(Main(), WM_COMMAND, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(Toolbar()));
    Pump();
  };
  command(IDM_FIND_PANEL);  // from the shelf straight to the find panel
  EXPECT_EQ(ShownPanel(), 1);
  EXPECT_TRUE(IsWindowVisible(FindPanel()));
  EXPECT_FALSE(IsWindowVisible(ShelfPanel()));
  EXPECT_EQ(SendMessageA(Toolbar(), TB_GETSTATE, IDM_FIND_PANEL, 0),
            TBSTATE_CHECKED | TBSTATE_ENABLED);
  EXPECT_EQ(SendMessageA(Toolbar(), TB_GETSTATE, IDM_BOOK_SHELF, 0), TBSTATE_ENABLED);
  EXPECT_EQ(ChildRect(Input()).left, 210);
  EXPECT_EQ(ChildRect(Input()).bottom - ChildRect(Input()).top, 25);
  EXPECT_EQ(ChildRect(WordList()).top, 60);
  EXPECT_EQ(ChildRect(Pane()).left, 205);
  EXPECT_FALSE(ListShown());
  EXPECT_TRUE(PaneEnabled());

  command(IDM_FIND_PANEL);  // again: no panel at all
  EXPECT_EQ(ShownPanel(), 0);
  EXPECT_FALSE(IsWindowVisible(FindPanel()));
  EXPECT_EQ(ChildRect(Input()).left, 10);
  EXPECT_EQ(ChildRect(Pane()).left, 5);
  EXPECT_EQ(ChildRect(Pane()).bottom, 500 - 20);

  command(IDM_BOOK_SHELF);
  EXPECT_EQ(ShownPanel(), 2);
  EXPECT_TRUE(IsWindowVisible(ShelfPanel()));
  EXPECT_EQ(ChildRect(Input()).left, 210);
  // The entry is shown again at the new place, strip included.
  EXPECT_EQ(PaneText(), "first letter\r\nof the Greek alphabet\r\n");
}

TEST_F(MainWindowTest, ShelfBookOpensWithoutBeingRemembered) {
  StartWithDefaultBook();
  MakeBook("shelf.xqb", u"Shelf Book", {"kiwi=a fruit", "lime=green"});
  std::string folder = Folder();
  OpenShelfBook(folder, "shelf.xqb");
  Pump();
  EXPECT_EQ(StatusText(), "Shelf Book");
  EXPECT_EQ(InputText(), "kiwi");
  EXPECT_EQ(PaneText(), "a fruit\r\n");
  EXPECT_FALSE(ListShown());
  EXPECT_TRUE(PaneEnabled());
  EXPECT_EQ(ListRows(), 2);

  // A shelf book that does not open: the error, then the book of bookPath.
  OpenShelfBook(folder, "missing.xqb");
  Pump();
  EXPECT_EQ(DialogTexts(), Strings{"ERROR: Xqb File open error."});
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(InputText(), "Alpha");

  // A folder so long that the joined path would have to be cut.
  const std::string longFolder(300, 'x');
  OpenShelfBook(longFolder, "shelf.xqb");
  Pump();
  EXPECT_EQ(DialogTexts().size(), 2u);
  EXPECT_EQ(StatusText(), "Default A");
  // Neither a shelf book nor a failed one becomes the book remembered.
  EXPECT_EQ(RememberedBookAtExit(), Folder() + "\\deflex_a.xqb");
}

TEST_F(MainWindowTest, ReopenAndAFailedReopenLeaveNothingToRead) {
  StartWithDefaultBook();
  std::string folder = Folder();
  MakeBook("shelf.xqb", u"Shelf Book", {"kiwi=a fruit"});
  OpenShelfBook(folder, "shelf.xqb");
  Pump();
  EXPECT_EQ(StatusText(), "Shelf Book");
  SendMessageA(Main(), MSG_REOPEN_BOOK, 0, 0);
  Pump();
  EXPECT_EQ(StatusText(), "Default A");
  EXPECT_EQ(InputText(), "Alpha");

  // The book of bookPath is gone (deleted while the shelf book was open):
  // the error, and no book is open.
  OpenShelfBook(folder, "shelf.xqb");
  ASSERT_TRUE(DeleteFileA((Folder() + "\\deflex_a.xqb").c_str()));
  EXPECT_EQ(SendMessageA(Main(), MSG_REOPEN_BOOK, 0, 0), 0);
  Pump();
  EXPECT_EQ(DialogTexts(), Strings{"ERROR: Xqb File open error."});
  EXPECT_EQ(PaneText(), "\r\n <Not Found!>");
  EXPECT_EQ(StatusText(), "");
  EXPECT_EQ(ListRows(), 0);
  // Whatever the user does now reads nothing and breaks nothing.
  SendMessageA(Main(), WM_KEYDOWN, VK_DOWN, 0);
  SendMessageA(Main(), WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("beta"));
  LookUp("gamma");
  Pump();
  EXPECT_EQ(PaneText(), "\r\n <Not Found!>");
  // A book opens again through the shelf.
  OpenShelfBook(folder, "shelf.xqb");
  Pump();
  EXPECT_EQ(StatusText(), "Shelf Book");
}

bool Topmost(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

struct OwnedCount {
  HWND owner;
  int n;
};

BOOL CALLBACK CountOwned(HWND each, LPARAM param) {
  auto* count = reinterpret_cast<OwnedCount*>(param);
  if (GetWindow(each, GW_OWNER) == count->owner) ++count->n;
  return TRUE;
}

// The windows of this thread that window owns.
int OwnedWindows(HWND window) {
  OwnedCount count{window, 0};
  EnumThreadWindows(GetCurrentThreadId(), CountOwned, reinterpret_cast<LPARAM>(&count));
  return count.n;
}

// Twice: as started, and after the pointer went over the toolbar (which may
// make its tooltip only then). Under Wine a window that owns a popup comes
// back from HWND_TOPMOST below the popup and not topmost, so the main window
// owns none.
TEST_F(MainWindowTest, MinimisingHidesToTheTrayAndTheIconBringsItBack) {
  StartWithDefaultBook();
  SetWindowPos(Main(), nullptr, 40, 30, 640, 480, SWP_NOZORDER);
  Pump();
  RECT before;
  GetWindowRect(Main(), &before);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    if (round == 1) {
      RECT button;
      SendMessageA(Toolbar(), TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
      SendMessageA(Toolbar(), WM_MOUSEMOVE, 0, MAKELPARAM(button.left + 2, button.top + 2));
      Pump();
    }
    EXPECT_EQ(OwnedWindows(Main()), 0);
    EXPECT_TRUE(Topmost(Main()));
    EXPECT_EQ(SendMessageA(Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0), 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(Main()));
    EXPECT_FALSE(IsIconic(Main()));
    EXPECT_FALSE(Topmost(Main()));
    // The stores that the hiding causes are skipped: Now_* keep the rectangle.
    EXPECT_EQ(ValueLong("Now_LEFT"), before.left);
    EXPECT_EQ(ValueLong("Now_RIGHT"), before.right);
    // Other mouse events on the icon do nothing.
    SendMessageA(Main(), MSG_TRAY_NOTIFY, MSG_TRAY_NOTIFY, WM_RBUTTONDOWN);
    SendMessageA(Main(), MSG_TRAY_NOTIFY, MSG_TRAY_NOTIFY, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(Main()));
    SendMessageA(Main(), MSG_TRAY_NOTIFY, MSG_TRAY_NOTIFY, WM_LBUTTONDOWN);
    Pump();
    EXPECT_TRUE(IsWindowVisible(Main()));
    RECT after;
    GetWindowRect(Main(), &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_TRUE(Topmost(Main()));
  }
}

TEST_F(MainWindowTest, ContentPaneGetsTheWindowColour) {
  StartWithDefaultBook();
  HDC dc = GetDC(Pane());
  EXPECT_EQ(SendMessageA(Main(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(Pane())),
            reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)));
  EXPECT_EQ(SendMessageA(Main(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                         reinterpret_cast<LPARAM>(Input())),
            0);
  ReleaseDC(Pane(), dc);
}

TEST_F(MainWindowTest, TooltipsNameTheEightCommands) {
  StartWithDefaultBook();
  const std::pair<int, const char*> expected[] = {
      {IDM_ABOUT, "About"},        {IDM_OPEN_BOOK, "Open XQB..."},
      {IDM_PREVIOUS_ENTRY, "Last"}, {IDM_NEXT_ENTRY, "Next"},
      {IDM_SPEAK, "Voice"},        {IDM_FIND_PANEL, "Find View"},
      {IDM_BOOK_SHELF, "Book View"}, {IDM_HISTORY, "History"},
      {IDM_EXIT, nullptr},         {IDM_VOICE_SETTING, nullptr}};
  for (const auto& [id, text] : expected) {
    NMTTDISPINFOW tip{};
    tip.hdr.hwndFrom = Toolbar();
    tip.hdr.idFrom = static_cast<UINT_PTR>(id);
    tip.hdr.code = TTN_NEEDTEXTW;
    EXPECT_EQ(SendMessageW(Main(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip)), 0);
    if (text == nullptr) {
      EXPECT_EQ(tip.lpszText, nullptr) << id;
    } else {
      ASSERT_NE(tip.lpszText, nullptr) << id;
      EXPECT_EQ(std::wstring(tip.lpszText), Wide(text));
    }
  }
}

}  // namespace
}  // namespace quill::testing
