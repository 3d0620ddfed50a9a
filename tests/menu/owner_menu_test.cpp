// The drop-down menus drawn by the program: which items become owner-drawn,
// what OwnerMenu records of them, their sizes, and the pixels of each kind
// of item.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/ids.h"
#include "win/scoped_win.h"
#include "shell/shell_fixture.h"
#include "support/test_books.h"

namespace quill::testing {
namespace {

MENUITEMINFOA ItemAt(HMENU menu, int position, UINT mask) {
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = mask;
  GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
  return info;
}

bool OwnerDrawn(HMENU menu, int position) {
  return (ItemAt(menu, position, MIIM_FTYPE).fType & MFT_OWNERDRAW) != 0;
}

class OwnerMenuTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    StartWithBook(Entries({"alpha=first letter", "beta=second letter"}));
  }

  // What the platform sends when the user opens popup.
  void OpenPopup(HMENU popup) {
    SendMessageA(Main(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
  }

  // The size the main window gives the item at position.
  SIZE Measure(HMENU popup, int position) {
    const MENUITEMINFOA item = ItemAt(popup, position, MIIM_ID | MIIM_DATA);
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, item.wID, 0, 0, item.dwItemData};
    SendMessageA(Main(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    return {static_cast<LONG>(measure.itemWidth), static_cast<LONG>(measure.itemHeight)};
  }

  // The width of text in the menu font, and with text null the font's
  // character height, as the window's DC measures them.
  int FontMeasure(const char* text) {
    ScopedGetDC dc(Main());
    ScopedSelect font(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    SIZE size = {};
    if (text != nullptr) GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
    return text != nullptr ? size.cx : metrics.tmHeight;
  }
  int WidestPlus42(std::initializer_list<const char*> texts) {
    int widest = 0;
    for (const char* text : texts) widest = std::max(widest, FontMeasure(text));
    return widest + 42;
  }
};

TEST_F(OwnerMenuTest, MenuBarPopupsAreDrawnByTheProgramWithWidthsThatStay) {
  HMENU file = GetSubMenu(GetMenu(Main()), 0);
  HMENU help = GetSubMenu(GetMenu(Main()), 1);
  // Opening again records nothing new, and the widths stay: the platform
  // reports no text for drawn items, the records still have it.
  for (int round = 0; round < 2; ++round) {
    OpenPopup(file);
    OpenPopup(help);
    EXPECT_EQ(Measure(file, 0).cx, WidestPlus42({"&Open XQB...", "&Setup ...", "E&xit"})) << round;
    EXPECT_EQ(Measure(help, 0).cx, WidestPlus42({"&About ...", "&Xqb Center"})) << round;
  }
  for (HMENU popup : {file, help}) {
    for (int i = 0; i < GetMenuItemCount(popup); ++i) EXPECT_TRUE(OwnerDrawn(popup, i)) << i;
  }
  // A typed letter in an open popup picks nothing.
  EXPECT_EQ(SendMessageA(Main(), WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP),
                         reinterpret_cast<LPARAM>(file)),
            MAKELRESULT(0, MNC_IGNORE));
}

TEST_F(OwnerMenuTest, HeightsFollowTheFontAndWidthTheWidestText) {
  // A text exactly 70 pixels wide, made of two letters.
  std::string seventy;
  for (std::size_t a = 1; a < 40 && seventy.empty(); ++a) {
    for (std::size_t b = 0; b < 40 && seventy.empty(); ++b) {
      const std::string text = std::string(a, 'x') + std::string(b, 'i');
      if (FontMeasure(text.c_str()) == 70) seventy = text;
    }
  }
  ASSERT_FALSE(seventy.empty());
  HMENU popup = CreatePopupMenu();
  AppendMenuA(popup, MF_STRING, 9001, "Short");
  AppendMenuA(popup, MF_STRING, 9002, seventy.c_str());
  AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(popup, MF_STRING, 9003, "Mid text");
  OpenPopup(popup);
  const int h = FontMeasure(nullptr);

  // Then new texts, one kept owner-drawn and one made a plain string again:
  // the records keep the first texts and the popup its width.
  for (int round = 0; round < 2; ++round) {
    for (int i : {0, 1, 3}) {
      EXPECT_EQ(Measure(popup, i).cx, 112) << i << " round " << round;
      EXPECT_EQ(Measure(popup, i).cy, std::max(h + 2, 16) + 4) << i << " for height " << h;
    }
    EXPECT_EQ(Measure(popup, 2).cx, 42);
    EXPECT_EQ(Measure(popup, 2).cy, h / 2 + 2);
    if (round == 1) break;
    MENUITEMINFOA text = {};
    text.cbSize = sizeof text;
    text.fMask = MIIM_STRING;
    text.dwTypeData = const_cast<char*>("A much longer text than any before it");
    SetMenuItemInfoA(popup, 0, TRUE, &text);
    ModifyMenuA(popup, 3, MF_BYPOSITION | MF_STRING, 9003, "Another much longer text here");
    OpenPopup(popup);
  }
  EXPECT_TRUE(OwnerDrawn(popup, 0));
  EXPECT_TRUE(OwnerDrawn(popup, 3));
  DestroyMenu(popup);
}

TEST_F(OwnerMenuTest, CommandsBeyondTheLastRecordStayWithThePlatform) {
  HMENU popup = CreatePopupMenu();
  for (int i = 0; i < 300; ++i) {
    const std::string text = "Item " + std::to_string(i);
    AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(20000 + i), text.c_str());
  }
  OpenPopup(popup);
  // The program keeps 255 items: the first 255 are its own to draw.
  EXPECT_TRUE(OwnerDrawn(popup, 0));
  EXPECT_TRUE(OwnerDrawn(popup, 254));
  for (int i : {255, 299}) {
    EXPECT_FALSE(OwnerDrawn(popup, i)) << i;
    char text[32] = {};
    GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), "Item " + std::to_string(i));
  }
  // The menu bar's popups opened afterwards are left to the platform too.
  HMENU file = GetSubMenu(GetMenu(Main()), 0);
  OpenPopup(file);
  EXPECT_FALSE(OwnerDrawn(file, 0));
  DestroyMenu(popup);
}

// What the timer saw of the popup open at that moment.
struct SeenPopup {
  int items = -1;
  int ownerDrawn = 0;
};
SeenPopup seenPopup;

// Looks at the open popup, then closes it as Escape would.
void CALLBACK InspectAndCloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND menuWindow = FindWindowA("#32768", nullptr);
  auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
  seenPopup.items = GetMenuItemCount(menu);
  for (int i = 0; i < seenPopup.items; ++i) seenPopup.ownerDrawn += OwnerDrawn(menu, i) ? 1 : 0;
  EndMenu();
}

SeenPopup TrackWithInspection(const std::function<void()>& track) {
  seenPopup = {};
  SetTimer(nullptr, 0, 100, InspectAndCloseMenu);
  track();
  return seenPopup;
}

TEST_F(OwnerMenuTest, HistoryPopupStaysPlainAndTheNextPopupIsDrawnAgain) {
  history_.Add(u"alpha");
  history_.Add(u"beta");
  const SeenPopup history = TrackWithInspection([&] { Command(IDM_HISTORY); });
  EXPECT_EQ(history.items, 2);
  EXPECT_EQ(history.ownerDrawn, 0);

  RECT rect;
  GetWindowRect(Main(), &rect);
  const SeenPopup next = TrackWithInspection([&] {
    TrackPopupMenu(GetSubMenu(GetMenu(Main()), 0), 0, rect.left + 20, rect.top + 40, 0, Main(),
                   nullptr);
  });
  EXPECT_EQ(next.items, 4);
  EXPECT_EQ(next.ownerDrawn, 4);
}

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kButtonFace = RGB(212, 208, 200);
constexpr COLORREF kUnpainted = RGB(255, 0, 255);
constexpr COLORREF kHighlight = RGB(49, 106, 197);
constexpr COLORREF kIconBar = RGB(219, 216, 210);
constexpr COLORREF kTextArea = RGB(243, 242, 240);
constexpr COLORREF kSelectedFill = RGB(204, 212, 225);
constexpr COLORREF kSelectedDisabledFill = RGB(242, 241, 239);
constexpr COLORREF kSeparator = RGB(178, 171, 157);
constexpr COLORREF kShadow = RGB(175, 186, 202);
constexpr COLORREF kSilhouette = RGB(162, 154, 137);
constexpr COLORREF kSelectedCheckFill = RGB(169, 185, 208);

// Items drawn into a bitmap of their own, in the classic colour scheme.
class OwnerMenuDrawTest : public OwnerMenuTest {
 protected:
  static constexpr int kWidth = 120;
  static constexpr int kElements[] = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_MENUTEXT};

  void SetUp() override {
    const COLORREF classic[] = {kButtonFace, kHighlight, kBlack};
    for (int i = 0; i < 3; ++i) savedColors_[i] = GetSysColor(kElements[i]);
    SetSysColors(3, kElements, classic);
    OwnerMenuTest::SetUp();
    popup_ = CreatePopupMenu();
    AppendMenuA(popup_, MF_STRING, IDM_OPEN_BOOK, "&Open XQB...");
    AppendMenuA(popup_, MF_STRING, 9100, "Checked");
    AppendMenuA(popup_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup_, MF_STRING, 9101, "Plain");
    OpenPopup(popup_);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, kWidth, -30, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(canvas_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    selected_ = std::make_unique<ScopedSelect>(canvas_, bitmap_);
  }
  void TearDown() override {
    selected_.reset();
    if (popup_ != nullptr) DestroyMenu(popup_);
    SetSysColors(3, kElements, savedColors_);
    OwnerMenuTest::TearDown();
  }

  void SetState(UINT command, UINT state) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.fState = state;
    SetMenuItemInfoA(popup_, command, FALSE, &info);
  }
  void Fill(COLORREF color) {
    const RECT all = {0, 0, kWidth, 30};
    ScopedBrush brush(CreateSolidBrush(color));
    FillRect(canvas_, &all, brush);
  }

  // Draws command's item into a canvas first painted magenta, as the
  // platform asks the main window to.
  void Draw(UINT command, bool selected, int height = 20, HMENU popup = nullptr) {
    Fill(kUnpainted);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_MENU;
    item.itemID = command;
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = selected ? ODS_SELECTED : 0;
    item.hwndItem = reinterpret_cast<HWND>(popup != nullptr ? popup : popup_);
    item.hDC = canvas_;
    item.rcItem = {0, 0, kWidth, height};
    SendMessageA(Main(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
  }
  COLORREF At(int x, int y) { return GetPixel(canvas_, x, y); }
  // Checks the highlight frame from (0, 0) or (1, 1) to (right, bottom) at
  // its corners and the middles of its top and left sides.
  void ExpectFrame(int from, int right, int bottom, const char* name) {
    for (const POINT p : {POINT{from, from}, POINT{right, from}, POINT{from, bottom},
                          POINT{right, bottom}, POINT{(from + right) / 2, from},
                          POINT{from, (from + bottom) / 2}}) {
      EXPECT_EQ(At(p.x, p.y), kHighlight) << name << " " << p.x << "," << p.y;
    }
  }
  // How many pixels of the rectangle have the colour.
  int Count(const RECT& rect, COLORREF color) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
      for (int x = rect.left; x < rect.right; ++x) count += At(x, y) == color ? 1 : 0;
    }
    return count;
  }

  // A toolbar image as it draws itself on black and on white: colour per
  // pixel, CLR_NONE where it is transparent.
  std::vector<COLORREF> ToolbarImage(int image) {
    const auto list =
        reinterpret_cast<HIMAGELIST>(SendMessageA(Toolbar(), TB_GETIMAGELIST, 0, 0));
    std::vector<COLORREF> seen[2];
    for (int pass = 0; pass < 2; ++pass) {
      Fill(pass == 0 ? kBlack : RGB(255, 255, 255));
      ImageList_Draw(list, image, canvas_, 0, 0, ILD_TRANSPARENT);
      for (int i = 0; i < 16 * 16; ++i) seen[pass].push_back(At(i % 16, i / 16));
    }
    for (std::size_t i = 0; i < seen[0].size(); ++i) {
      if (seen[0][i] != seen[1][i]) seen[0][i] = CLR_NONE;
    }
    return seen[0];
  }

  HMENU popup_ = nullptr;
  ScopedMemDC canvas_{nullptr};
  ScopedBitmap bitmap_;
  std::unique_ptr<ScopedSelect> selected_;
  COLORREF savedColors_[3] = {};
};

TEST_F(OwnerMenuDrawTest, BackgroundsFrameAndText) {
  Draw(9101, false);
  // The icon bar ends at x 22, the text area fills the rest; the text
  // starts at x 30 and is black.
  EXPECT_EQ(Count({0, 0, 22, 20}, kIconBar), 22 * 20);
  EXPECT_EQ(Count({22, 0, 30, 20}, kTextArea), 8 * 20);
  const int plainInk = Count({30, 0, kWidth, 20}, kBlack);
  EXPECT_GT(plainInk, 10);
  EXPECT_EQ(Count({0, 20, kWidth, 30}, kUnpainted), kWidth * 10);

  // Selected: a highlight frame round a light fill.
  Draw(9101, true);
  ExpectFrame(0, kWidth - 1, 19, "selected");
  EXPECT_EQ(Count({1, 1, 30, 19}, kSelectedFill), 29 * 18);
  EXPECT_EQ(Count({0, 20, kWidth, 30}, kUnpainted), kWidth * 10);

  // Disabled: the lighter fill when selected, grey text.
  SetState(9101, MFS_DISABLED);
  Draw(9101, true);
  EXPECT_EQ(Count({1, 1, 30, 19}, kSelectedDisabledFill), 29 * 18);
  EXPECT_EQ(Count({30, 0, kWidth, 20}, kBlack), 0);
  EXPECT_GT(Count({30, 0, kWidth, 20}, kSeparator), 10);

  // The default item's text is bold: more ink.
  SetState(9101, MFS_DEFAULT);
  Draw(9101, false);
  EXPECT_GT(Count({30, 0, kWidth, 20}, kBlack), plainInk);
}

TEST_F(OwnerMenuDrawTest, SeparatorLine) {
  Draw(0, false, 8);
  // Row 4, from x 30 up to but not including the last pixel, and nowhere
  // else.
  EXPECT_EQ(Count({30, 4, kWidth - 1, 5}, kSeparator), kWidth - 31);
  EXPECT_EQ(Count({0, 0, kWidth, 8}, kSeparator), kWidth - 31);
  EXPECT_EQ(At(29, 4), kTextArea);
  EXPECT_EQ(At(kWidth - 1, 4), kTextArea);
  EXPECT_EQ(At(10, 4), kIconBar);
  EXPECT_EQ(Count({0, 8, kWidth, 30}, kUnpainted), kWidth * 22);
}

TEST_F(OwnerMenuDrawTest, IconRaisedOverItsShadowWhenSelected) {
  const std::vector<COLORREF> image = ToolbarImage(IMG_OPEN_BOOK);
  // The image's colour at (x, y), CLR_NONE outside it or where transparent.
  auto imageAt = [&](int x, int y) {
    const bool inside = x >= 0 && y >= 0 && x < 16 && y < 16;
    return inside ? image[static_cast<std::size_t>(y * 16 + x)] : CLR_NONE;
  };
  const auto opaquePixels = static_cast<int>(image.size()) -
                            static_cast<int>(std::count(image.begin(), image.end(), CLR_NONE));
  ASSERT_GT(opaquePixels, 50);

  struct Case {
    const char* name;
    UINT state;
    bool selected;
    int imageAt;          // where the image is, -1 for nowhere
    int silhouetteAt;     // where the silhouette is, -1 for nowhere
    COLORREF silhouette;  // its colour
  };
  const Case cases[] = {
      {"selected", 0, true, 2, 4, kShadow},
      {"not selected", 0, false, 3, -1, 0},
      {"disabled", MFS_DISABLED, false, -1, 3, kSilhouette},
      {"disabled and selected", MFS_DISABLED, true, -1, 3, kSilhouette},
      {"checked and selected", MFS_CHECKED, true, 3, -1, 0},
  };
  for (const Case& c : cases) {
    SetState(IDM_OPEN_BOOK, c.state);
    Draw(IDM_OPEN_BOOK, c.selected);
    int imagePixels = 0;
    int silhouettePixels = 0;
    int wrong = 0;  // image or silhouette pixels not as drawn, or their colours elsewhere
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 22; ++x) {
        COLORREF want = c.imageAt >= 0 ? imageAt(x - c.imageAt, y - c.imageAt) : CLR_NONE;
        imagePixels += want != CLR_NONE ? 1 : 0;
        if (want == CLR_NONE && c.silhouetteAt >= 0 &&
            imageAt(x - c.silhouetteAt, y - c.silhouetteAt) != CLR_NONE) {
          want = c.silhouette;
          ++silhouettePixels;
        }
        wrong += want != CLR_NONE ? At(x, y) != want
                                  : At(x, y) == kShadow || At(x, y) == kSilhouette;
      }
    }
    EXPECT_EQ(wrong, 0) << c.name;
    EXPECT_EQ(imagePixels, c.imageAt >= 0 ? opaquePixels : 0) << c.name;
    if (c.silhouetteAt >= 0) {
      EXPECT_GT(silhouettePixels, 10) << c.name;
    }
  }
}

// Each item of the menu bar shows the image of its toolbar button, or none,
// at (3, 3) of the icon bar.
TEST_F(OwnerMenuDrawTest, MenuBarItemsShowTheirToolbarImages) {
  HMENU file = GetSubMenu(GetMenu(Main()), 0);
  HMENU help = GetSubMenu(GetMenu(Main()), 1);
  OpenPopup(file);
  OpenPopup(help);
  struct Expected {
    HMENU popup;
    UINT command;
    int image;  // -1 for none
  };
  const Expected expected[] = {
      {file, IDM_OPEN_BOOK, IMG_OPEN_BOOK}, {file, IDM_VOICE_SETTING, IMG_VOICE_SETTING},
      {file, IDM_EXIT, IMG_EXIT},           {help, IDM_ABOUT, IMG_ABOUT},
      {help, IDM_WEB_PAGE, -1},
  };
  for (const Expected& e : expected) {
    const std::vector<COLORREF> image = ToolbarImage(e.image < 0 ? IMG_OPEN_BOOK : e.image);
    Draw(e.command, false, 20, e.popup);
    int wrong = 0;
    int bar = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const COLORREF want = image[static_cast<std::size_t>(y * 16 + x)];
        if (e.image >= 0 && want != CLR_NONE) wrong += At(x + 3, y + 3) != want;
        bar += At(x + 3, y + 3) == kIconBar;
      }
    }
    EXPECT_EQ(wrong, 0) << e.command;
    if (e.image < 0) {
      EXPECT_EQ(bar, 16 * 16) << e.command;
    }
  }
}

TEST_F(OwnerMenuDrawTest, CheckBoxFillAndMark) {
  struct Case {
    const char* name;
    UINT state;
    bool selected;
    COLORREF fill;
  };
  const Case cases[] = {
      {"checked", MFS_CHECKED, false, kSelectedFill},
      {"checked and selected", MFS_CHECKED, true, kSelectedCheckFill},
      {"checked and disabled", MFS_CHECKED | MFS_DISABLED, false, kSelectedDisabledFill},
  };
  for (const Case& c : cases) {
    SetState(9100, c.state);
    Draw(9100, c.selected);
    // The box's frame from (1, 1) to (19, 18), filled inside.
    ExpectFrame(1, 19, 18, c.name);
    EXPECT_EQ(Count({2, 2, 5, 18}, c.fill), 3 * 16) << c.name;
    EXPECT_EQ(Count({2, 2, 19, 3}, c.fill), 17) << c.name;
    // Outside the box: the icon bar, or the selection's fill and frame.
    EXPECT_EQ(At(0, 10), c.selected ? kHighlight : kIconBar) << c.name;
    // The platform's mark, in the text colour.
    EXPECT_GT(Count({5, 3, 19, 18}, kBlack), 5) << c.name;
  }
}

}  // namespace
}  // namespace quill::testing
