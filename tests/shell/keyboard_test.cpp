// The window for a keyboard and screen-reader user, in the real window:
// Tab, Shift+Tab and F6 walk its parts, every toolbar command has a key,
// high contrast draws in the plain system colours, and every control a
// user types into or reads carries a label.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "shell/keyboard.h"
#include "shell/shell_fixture.h"
#include "speech/fake_speech.h"
#include "win/high_contrast.h"

namespace quill::testing {
namespace {

bool highContrastAnswer = false;
bool AnswerHighContrast() { return highContrastAnswer; }

class KeyboardTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    options_.speech = &speech_;
  }
  void TearDown() override {
    SetHighContrastQuery(nullptr);
    highContrastAnswer = false;
    ShellTest::TearDown();
  }
  void StartWithWords() {
    StartWithBook({{u"house", u"[h'aUs]\na building"}, {u"housing", u"houses"}, {u"tree", u"a plant"}});
  }

  // Presses key in the focused control with the modifiers held, as the
  // keyboard would: the key, then the character it makes.
  void Press(UINT key, bool control = false, bool shift = false, bool alt = false) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    state[VK_CONTROL] = control ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(state);
    const HWND focus = GetFocus() != nullptr ? GetFocus() : Main();
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    SendMessageW(focus, down, key, 1);
    const wchar_t character = key == VK_TAB ? L'\t' : (control && key >= 'A' && key <= 'Z')
                                                          ? static_cast<wchar_t>(key - 'A' + 1)
                                                          : 0;
    if (character != 0) SendMessageW(GetFocus(), WM_CHAR, character, 1);
    state[VK_CONTROL] = state[VK_SHIFT] = state[VK_MENU] = 0;
    SetKeyboardState(state);
    Pump();
  }

  HWND Find(int id) const { return GetDlgItem(FindPanel(), id); }

  FakeSpeech speech_;
};

TEST_F(KeyboardTest, TabShiftTabAndF6WalkThePartsAndComeBack) {
  StartWithWords();
  const struct {
    int panelCommand;  // 0: the shelf, as at start
    std::vector<const char*> order;
  } layouts[] = {
      {0, {"input", "pane", "tree"}},
      {IDM_FIND_PANEL, {"input", "pane", "find text", "all books", "find button", "results"}},
      {IDM_FIND_PANEL, {"input", "pane"}},  // pressed again: no panel
  };
  const auto name = [&](HWND focus) -> std::string {
    if (focus == Input()) return "input";
    if (focus == Pane()) return "pane";
    if (focus == Tree()) return "tree";
    if (focus == Find(IDC_FIND_EDIT)) return "find text";
    if (focus == Find(IDC_ALL_BOOKS)) return "all books";
    if (focus == Find(IDC_FIND_BUTTON)) return "find button";
    if (focus == Find(IDC_RESULT_LIST)) return "results";
    return "other";
  };
  for (const auto& layout : layouts) {
    if (layout.panelCommand != 0) Command(layout.panelCommand);
    SCOPED_TRACE(layout.order.size());
    // From the typing state: the word list shows, the pane is disabled.
    SetFocus(Input());
    SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hou"));
    Pump();
    ASSERT_TRUE(ListShown());
    for (std::size_t step = 1; step <= layout.order.size(); ++step) {
      Press(VK_TAB);
      EXPECT_EQ(name(GetFocus()), layout.order[step % layout.order.size()]) << "Tab " << step;
      if (GetFocus() == Pane()) {
        EXPECT_FALSE(ListShown());
        EXPECT_TRUE(PaneEnabled());
      }
    }
    EXPECT_EQ(InputText(), "hou") << "Tab typed into the box";
    for (std::size_t step = 1; step <= layout.order.size(); ++step) {
      Press(VK_TAB, false, true);
      const std::size_t back = (layout.order.size() - step) % layout.order.size();
      EXPECT_EQ(name(GetFocus()), layout.order[back]) << "Shift+Tab " << step;
    }
    // F6: to the side panel and back, or nothing without one.
    const bool panel = layout.order.size() > 2;
    Press(VK_F6);
    EXPECT_EQ(name(GetFocus()), panel ? layout.order[2] : "input");
    Press(VK_F6);
    EXPECT_EQ(name(GetFocus()), "input");
    Press(VK_TAB);
    Press(VK_F6);
    EXPECT_EQ(name(GetFocus()), panel ? layout.order[2] : "pane") << "F6 from the pane";
  }
}

TEST_F(KeyboardTest, EnterAndEscKeepTheirWorkWhereTheyAre) {
  StartWithWords();
  SetFocus(Input());
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("tree"));
  Press(VK_RETURN);
  EXPECT_EQ(PaneText(), "a plant\r\n");
  Command(IDM_FIND_PANEL);
  SetFocus(Find(IDC_FIND_EDIT));
  SendMessageA(Find(IDC_FIND_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("building"));
  Press(VK_RETURN);
  EXPECT_EQ(SendMessageA(Find(IDC_RESULT_LIST), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(GetFocus(), Find(IDC_FIND_EDIT));
}

TEST_F(KeyboardTest, EveryToolbarCommandHasAKey) {
  StartWithWords();
  SetFocus(Input());
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("housing"));
  Press(VK_RETURN);  // into the history, and the entry on show
  // The keys, each with what its button does; every button of the
  // toolbar has one.
  struct Case {
    const char* name;
    UINT key;
    bool control, shift, alt;
    std::function<void()> before;
    std::function<void()> check;
    bool opensDialog = false;
  };
  bool menuOpened = false;
  static bool* popupSeen = nullptr;
  popupSeen = &menuOpened;
  const Case cases[] = {
      {"Alt+Left", VK_LEFT, false, false, true, nullptr,
       [&] { EXPECT_EQ(InputText(), "house"); }},
      {"Alt+Right", VK_RIGHT, false, false, true, nullptr,
       [&] { EXPECT_EQ(InputText(), "housing"); }},
      {"Ctrl+R", 'R', true, false, false, [&] { speech_.spoken.clear(); },
       [&] { EXPECT_EQ(speech_.spoken, std::vector<std::wstring>{L"housing"}); }},
      {"Ctrl+F", 'F', true, false, false, nullptr, [&] {
         EXPECT_EQ(ShownPanel(), 1);
         EXPECT_EQ(SendMessageA(Toolbar(), TB_GETSTATE, IDM_FIND_PANEL, 0),
                   TBSTATE_CHECKED | TBSTATE_ENABLED);
       }},
      {"Ctrl+B", 'B', true, false, false, nullptr, [&] {
         EXPECT_EQ(ShownPanel(), 2);
         EXPECT_EQ(SendMessageA(Toolbar(), TB_GETSTATE, IDM_BOOK_SHELF, 0),
                   TBSTATE_CHECKED | TBSTATE_ENABLED);
       }},
      {"Ctrl+H", 'H', true, false, false,
       [&] {
         // The history's popup runs a loop of its own: a timer in it
         // notes the popup and closes it.
         SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR timer, DWORD) {
           KillTimer(nullptr, timer);
           const HWND popup = FindWindowA("#32768", nullptr);
           *popupSeen = popup != nullptr && IsWindowVisible(popup);
           EndMenu();
         });
       },
       [&] {
         EXPECT_TRUE(menuOpened);
         EXPECT_EQ(InputText(), "housing") << "Ctrl+H is not a backspace";
       }},
      {"Ctrl+O", 'O', true, false, false, [&] { dialogs_->Queue(DialogAnswerer::PressCancel); },
       [&] { EXPECT_EQ(dialogs_->Seen().back().text, ""); }, true},
      {"F1", VK_F1, false, false, false, nullptr,
       [&] { EXPECT_EQ(dialogs_->Seen().back().caption, "About"); }, true},
      {"Ctrl+Shift+R", 'R', true, true, false, [&] { dialogs_->Queue(DialogAnswerer::PressCancel); },
       [&] { EXPECT_EQ(dialogs_->Seen().back().caption, "Voice Setting"); }, true},
  };
  std::set<int> covered;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    covered.insert(CommandForKey(c.key, c.control, c.shift, c.alt));
    SetFocus(Input());
    Pump();
    const std::size_t dialogsBefore = dialogs_->Seen().size();
    if (c.before) c.before();
    Press(c.key, c.control, c.shift, c.alt);
    ASSERT_EQ(dialogs_->Seen().size(), dialogsBefore + (c.opensDialog ? 1 : 0));
    c.check();
  }
  // Every button but Exit (Alt+F4, the system's) has a key.
  const int buttons = static_cast<int>(SendMessageA(Toolbar(), TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < buttons; ++i) {
    TBBUTTON button{};
    SendMessageA(Toolbar(), TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    if ((button.fsStyle & BTNS_SEP) != 0 || button.idCommand == IDM_EXIT) continue;
    EXPECT_EQ(covered.count(button.idCommand), 1u) << button.idCommand;
  }
}

// The pixels of the strip's band with the shelf shown.
std::set<COLORREF> StripColours(HWND window) {
  std::set<COLORREF> colours;
  HDC dc = GetDC(window);
  for (int y = 72; y < 88; ++y) {
    for (int x = 205; x < 205 + 8 * 8; ++x) colours.insert(GetPixel(dc, x, y));
  }
  ReleaseDC(window, dc);
  return colours;
}

TEST_F(KeyboardTest, HighContrastDrawsTheMenusAndTheStripInTheSystemColours) {
  SetHighContrastQuery(&AnswerHighContrast);
  StartWithWords();
  SetFocus(Input());
  SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("house"));
  Press(VK_RETURN);
  // The File menu's first item, drawn into a bitmap of the test's own.
  const HMENU file = GetSubMenu(GetMenu(Main()), 0);
  SendMessageA(Main(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
  const auto drawItem = [&](bool selected) {
    std::set<COLORREF> colours;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 120, 20);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemID = IDM_OPEN_BOOK;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = selected ? ODS_SELECTED : 0;
    item.hwndItem = reinterpret_cast<HWND>(file);
    item.hDC = dc;
    item.rcItem = {0, 0, 120, 20};
    SendMessageA(Main(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    for (int y = 0; y < 20; ++y) {
      for (int x = 24; x < 120; ++x) colours.insert(GetPixel(dc, x, y));  // right of the image
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return colours;
  };
  const std::set<COLORREF> menuToday = drawItem(false);
  const std::set<COLORREF> selectedToday = drawItem(true);
  const std::set<COLORREF> stripToday = StripColours(Main());
  ASSERT_GT(stripToday.size(), 1u);

  // Every colour of an item is one of the pair given or, where text is
  // smoothed, a mix of the two.
  const auto onlyMixesOf = [](const std::set<COLORREF>& colours, int back, int ink) {
    const COLORREF a = GetSysColor(back);
    const COLORREF b = GetSysColor(ink);
    const auto between = [](int v, int x, int y) { return v >= std::min(x, y) && v <= std::max(x, y); };
    for (const COLORREF c : colours) {
      if (!between(GetRValue(c), GetRValue(a), GetRValue(b)) ||
          !between(GetGValue(c), GetGValue(a), GetGValue(b)) ||
          !between(GetBValue(c), GetBValue(a), GetBValue(b))) {
        return false;
      }
    }
    return colours.count(a) == 1 && colours.count(b) == 1;
  };
  const std::set<COLORREF> plainStrip = {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT)};
  for (const bool on : {true, false}) {
    SCOPED_TRACE(on ? "on" : "off again");
    highContrastAnswer = on;
    SendMessageA(Main(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    Pump();
    UpdateWindow(Main());
    if (on) {
      EXPECT_TRUE(onlyMixesOf(drawItem(false), COLOR_MENU, COLOR_MENUTEXT));
      EXPECT_TRUE(onlyMixesOf(drawItem(true), COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT));
      EXPECT_EQ(StripColours(Main()), plainStrip);
    } else {
      EXPECT_EQ(drawItem(false), menuToday);
      EXPECT_EQ(drawItem(true), selectedToday);
      EXPECT_EQ(StripColours(Main()), stripToday);
    }
  }
  EXPECT_FALSE(onlyMixesOf(menuToday, COLOR_MENU, COLOR_MENUTEXT)) << "today's shades are other colours";
}

TEST_F(KeyboardTest, EachControlIsLabelledByTheTextBeforeIt) {
  StartWithWords();
  Command(IDM_FIND_PANEL);
  const struct {
    HWND control;
    const char* label;
  } controls[] = {
      {Input(), "Word"},           {WordList(), "Words of the book"},
      {Pane(), "Entry"},           {Tree(), "Books"},
      {Find(IDC_FIND_EDIT), "Find text"}, {Find(IDC_RESULT_LIST), "Results"},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.label);
    ASSERT_NE(c.control, nullptr);
    const HWND label = GetWindow(c.control, GW_HWNDPREV);
    ASSERT_NE(label, nullptr);
    char className[32] = {};
    GetClassNameA(label, className, sizeof className);
    EXPECT_STREQ(className, "Static");
    EXPECT_EQ(Text(label), c.label);
    // Hidden, of no size and never focused: it changes nothing a user sees.
    EXPECT_FALSE(IsWindowVisible(label));
    RECT rect;
    GetWindowRect(label, &rect);
    EXPECT_EQ(rect.right - rect.left, 0);
    EXPECT_EQ(GetWindowLongPtrA(label, GWL_STYLE) & WS_TABSTOP, 0);
  }
}

}  // namespace
}  // namespace quill::testing
