// The real window at the DPI of the Wine prefix it runs in (96, 144 or 192,
// from HKCU\Control Panel\Desktop\LogPixels; QUILL_EXPECTED_DPI says which
// the run was set up for). The program's own rectangles are the 96-DPI
// ones scaled, the system's parts grow with the DPI, pictures grow by whole
// factors, and WM_DPICHANGED lays everything out again.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "shell/about_box.h"
#include "shell/shell_fixture.h"
#include "shell/window_places.h"
#include "win/dpi.h"
#include "win/window_base.h"
#include "win/wide_text.h"

namespace quill::testing {
namespace {

constexpr int kTolerance = 4;

// A control's place as written for 96 DPI: a width or height of zero or
// less is the distance of its right or bottom edge from the parent's
// (negated), the others are widths and heights.
struct Place96 {
  const char* name;
  int left;
  int top;
  int width;   // <= 0: right = parent width + width
  int height;  // <= 0: bottom = parent height + height
};

class DpiTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    dpi_ = WindowDpi(nullptr);
    if (const char* expected = std::getenv("QUILL_EXPECTED_DPI")) {
      ASSERT_EQ(dpi_, std::atoi(expected)) << "the Wine prefix was not set up for this DPI";
    }
  }

  double Scale(int value) const { return value * dpi_ / 96.0; }
  double Scale(int value, int dpi) const { return value * dpi / 96.0; }

  // rect (in parent's client coordinates) against place at dpi, in a parent
  // width x height.
  void ExpectPlace(const RECT& rect, const Place96& place, int width, int height, int dpi) {
    SCOPED_TRACE(place.name);
    const double left = Scale(place.left, dpi);
    const double top = Scale(place.top, dpi);
    const double right = place.width <= 0 ? width + Scale(place.width, dpi) : left + Scale(place.width, dpi);
    const double bottom =
        place.height <= 0 ? height + Scale(place.height, dpi) : top + Scale(place.height, dpi);
    EXPECT_NEAR(rect.left, left, kTolerance);
    EXPECT_NEAR(rect.top, top, kTolerance);
    EXPECT_NEAR(rect.right, right, kTolerance);
    EXPECT_NEAR(rect.bottom, bottom, kTolerance);
  }

  static RECT RectIn(HWND child, HWND parent) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  // The main window's controls with the shelf shown, after a resize.
  void ExpectMainLayout(int dpi, int width, int height) {
    const Place96 places[] = {
        {"input box", 210, 35, -10, 30},  {"word list", 205, 65, 0, 145},
        {"content pane", 205, 90, 0, -20}, {"shelf", 3, 35, 200, -20},
    };
    const HWND controls[] = {Input(), WordList(), Pane(), ShelfPanel()};
    for (std::size_t i = 0; i < std::size(places); ++i) {
      ExpectPlace(ChildRect(controls[i]), places[i], width, height, dpi);
    }
  }

  // The strip's pixels: the glyph cells' ink and its bounding box.
  struct StripInk {
    int count = 0;
    RECT box = {1 << 20, 1 << 20, -1, -1};
    std::vector<COLORREF> pixels;
    int left = 0, top = 0, width = 0, height = 0;
    COLORREF At(int x, int y) const {
      return pixels[static_cast<std::size_t>((y - top) * width + (x - left))];
    }
  };
  StripInk ReadStrip(int dpi) {
    StripInk ink;
    ink.left = static_cast<int>(Scale(203, dpi));
    ink.top = static_cast<int>(Scale(70, dpi));
    ink.width = static_cast<int>(Scale(8 * 12, dpi));
    ink.height = static_cast<int>(Scale(20, dpi));
    HDC dc = GetDC(Main());
    for (int y = ink.top; y < ink.top + ink.height; ++y) {
      for (int x = ink.left; x < ink.left + ink.width; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        ink.pixels.push_back(c);
        if (c == RGB(255, 255, 255)) continue;
        ++ink.count;
        ink.box = {std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y),
                   std::max<LONG>(ink.box.right, x + 1), std::max<LONG>(ink.box.bottom, y + 1)};
      }
    }
    ReleaseDC(Main(), dc);
    return ink;
  }

  // The glyphs are drawn factor x factor pixel for pixel: every pixel
  // equals the corner of its block, the blocks counted from the ink's own
  // corner (a glyph's columns and rows all start on the grid).
  void ExpectCrispStrip(int dpi) {
    const int factor = WholeFactor(dpi);
    const StripInk ink = ReadStrip(dpi);
    ASSERT_GT(ink.count, 20 * factor * factor) << "no transcription drawn";
    EXPECT_NEAR(ink.box.top, Scale(75, dpi), kTolerance);
    EXPECT_LE(ink.box.bottom - ink.box.top, 10 * factor);
    EXPECT_GT(ink.box.bottom - ink.box.top, 5 * factor) << "glyphs not grown by " << factor;
    int blurred = 0;
    for (int y = ink.box.top; y < ink.box.bottom; ++y) {
      for (int x = ink.box.left; x < ink.box.right; ++x) {
        const int cornerX = ink.box.left + (x - ink.box.left) / factor * factor;
        const int cornerY = ink.box.top + (y - ink.box.top) / factor * factor;
        blurred += ink.At(x, y) != ink.At(cornerX, cornerY);
      }
    }
    EXPECT_EQ(blurred, 0);
  }

  void Enter(const char* word) {
    SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
    SendMessageA(Input(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
  }

  int ToolbarButtonHeight() {
    return HIWORD(static_cast<DWORD>(SendMessageW(Toolbar(), TB_GETBUTTONSIZE, 0, 0)));
  }

  int dpi_ = kBaseDpi;
};

TEST_F(DpiTest, TheProgramsOwnRectanglesAreThe96DpiOnesScaled) {
  StartWithBook({{u"house", u"[h'aUs]\na building"}, {u"tree", u"a plant"}});
  const int width = static_cast<int>(Scale(700));
  const int height = static_cast<int>(Scale(500));
  SendMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  Pump();
  ExpectMainLayout(dpi_, width, height);

  // The find panel's controls in the panel.
  Command(IDM_FIND_PANEL);
  ASSERT_EQ(ShownPanel(), 1);
  const HWND panel = FindPanel();
  RECT panelClient;
  GetClientRect(panel, &panelClient);
  const Place96 findPlaces[] = {{"find box", 5, 5, 185, 25},
                                {"find button", 65, 40, 65, 20},
                                {"all books", 5, 40, 58, 20},
                                {"results", 5, 70, 185, 0}};
  const int findIds[] = {IDC_FIND_EDIT, IDC_FIND_BUTTON, IDC_ALL_BOOKS, IDC_RESULT_LIST};
  for (std::size_t i = 0; i < std::size(findPlaces); ++i) {
    const HWND control = GetDlgItem(panel, findIds[i]);
    ASSERT_NE(control, nullptr) << findPlaces[i].name;
    const Place96& place = findPlaces[i];
    RECT rect = RectIn(control, panel);
    // The result list reaches as far down as the panel's window is high
    // (its edges included), whatever the DPI.
    RECT panelWindow;
    GetWindowRect(panel, &panelWindow);
    const int foot = place.height == 0 ? panelWindow.bottom - panelWindow.top : panelClient.bottom;
    if (place.height == 0) {
      // A list box shows whole rows only: it may end up to a row short.
      const auto row = static_cast<int>(SendMessageW(control, LB_GETITEMHEIGHT, 0, 0));
      EXPECT_LE(rect.bottom, foot);
      EXPECT_GE(rect.bottom, foot - row - kTolerance);
      rect.bottom = foot;
    }
    ExpectPlace(rect, place, panelClient.right, foot, dpi_);
  }
}

TEST_F(DpiTest, TheSystemsPartsGrowWithTheDpi) {
  StartWithBook({{u"house", u"a building"}, {u"housing", u"houses"}, {u"tree", u"a plant"}});
  // 96-DPI sizes, measured there: each grows at least in step with the DPI.
  const struct {
    const char* name;
    int size96;
    int size;
  } parts[] = {
      {"toolbar button height", 22, ToolbarButtonHeight()},
      {"status bar height", 19, [&] {
         RECT r;
         GetWindowRect(StatusBar(), &r);
         return static_cast<int>(r.bottom - r.top);
       }()},
      {"shelf row height", 17, static_cast<int>(SendMessageW(Tree(), TVM_GETITEMHEIGHT, 0, 0))},
      {"word list row height", 14, [&] {
         SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hou"));
         Pump();
         RECT row{LVIR_BOUNDS, 0, 0, 0};
         SendMessageW(WordList(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
         return static_cast<int>(row.bottom - row.top);
       }()},
  };
  for (const auto& part : parts) {
    EXPECT_GE(part.size, Scale(part.size96) - kTolerance) << part.name;
  }
}

TEST_F(DpiTest, TheGlyphStripIsDrawnAtTheWholePixelFactor) {
  StartWithBook({{u"house", u"[h'aUs]\na building"}, {u"tree", u"a plant"}});
  Enter("house");
  ExpectCrispStrip(dpi_);
}

TEST_F(DpiTest, ADpiChangeLaysTheWindowOutForTheNewDpi) {
  StartWithBook({{u"house", u"[h'aUs]\na building"}, {u"tree", u"a plant"}});
  Enter("house");
  const int buttonBefore = ToolbarButtonHeight();
  const int other = dpi_ == 192 ? 96 : 192;
  for (const int dpi : {other, dpi_}) {
    SCOPED_TRACE(dpi);
    RECT suggested = {20, 30, 20 + static_cast<int>(Scale(560, dpi)),
                      30 + static_cast<int>(Scale(440, dpi))};
    SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    RECT window;
    GetWindowRect(Main(), &window);
    EXPECT_EQ(window.left, suggested.left);
    EXPECT_EQ(window.top, suggested.top);
    EXPECT_EQ(window.right, suggested.right);
    EXPECT_EQ(window.bottom, suggested.bottom);
    RECT client;
    GetClientRect(Main(), &client);
    ExpectMainLayout(dpi, client.right, client.bottom);
    UpdateWindow(Main());
    ExpectCrispStrip(dpi);
    if (dpi > dpi_) {
      EXPECT_GE(ToolbarButtonHeight(), buttonBefore + 6);
    }
  }
  EXPECT_EQ(ToolbarButtonHeight(), buttonBefore);
}

TEST_F(DpiTest, TheAboutBoxsTextsFit) {
  StartWithBook({{u"house", u"a building"}});
  struct Seen {
    int dpi = 0;
    RECT client{};
    std::vector<RECT> texts;
  } seen;
  dialogs_->Queue([&seen](HWND dialog) {
    seen.dpi = WindowDpi(dialog);
    GetClientRect(dialog, &seen.client);
    HDC dc = GetDC(dialog);
    for (const AboutLine& line : kAboutLines) {
      const ScopedFont font =
          FontFromPoints(seen.dpi, line.title ? kAboutTitlePoints : kAboutBodyPoints,
                         PointRounding::kDown, CHINESEBIG5_CHARSET);
      const HGDIOBJ old = SelectObject(dc, font.get());
      SIZE size{};
      const std::wstring text = Widen(line.text);
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      SelectObject(dc, old);
      const int left = ScaleForDpi(line.rect.left, seen.dpi);
      const int top = ScaleForDpi(line.rect.top, seen.dpi);
      seen.texts.push_back({left, top, left + size.cx, top + size.cy});
    }
    ReleaseDC(dialog, dc);
    DialogAnswerer::PressOk(dialog);
  });
  Command(IDM_ABOUT);
  ASSERT_EQ(seen.dpi, dpi_);
  ASSERT_EQ(seen.texts.size(), std::size(kAboutLines));
  // Every line inside the dialog, none on the next.
  for (std::size_t i = 0; i < seen.texts.size(); ++i) {
    SCOPED_TRACE(kAboutLines[i].text);
    EXPECT_LE(seen.texts[i].right, seen.client.right);
    EXPECT_LE(seen.texts[i].bottom, seen.client.bottom);
    if (i + 1 < seen.texts.size()) {
      EXPECT_LE(seen.texts[i].bottom, seen.texts[i + 1].top + kTolerance);
    }
  }
}

TEST_F(DpiTest, TheWindowRectangleIsStoredIn96DpiUnits) {
  // As a run unaware of the DPI stored it: 60,40 to 600,480.
  SetDword("Pos_X", 60);
  SetDword("Pos_Y", 40);
  SetDword("Pos_Right", 600);
  SetDword("Pos_Bottom", 480);
  StartWithBook({{u"house", u"a building"}});
  RECT window;
  GetWindowRect(Main(), &window);
  EXPECT_NEAR(window.left, Scale(60), 1);
  EXPECT_NEAR(window.top, Scale(40), 1);
  EXPECT_NEAR(window.right, Scale(600), 1);
  EXPECT_NEAR(window.bottom, Scale(480), 1);

  SetWindowPos(Main(), nullptr, static_cast<int>(Scale(50)), static_cast<int>(Scale(60)),
               static_cast<int>(Scale(600)), static_cast<int>(Scale(400)), SWP_NOZORDER);
  Pump();
  EXPECT_NEAR(ValueLong("Now_LEFT"), 50, 1);
  EXPECT_NEAR(ValueLong("Now_TOP"), 60, 1);
  EXPECT_NEAR(ValueLong("Now_RIGHT"), 650, 1);
  EXPECT_NEAR(ValueLong("Now_BOTTOM"), 460, 1);
  Close();
  EXPECT_NEAR(ValueLong("Pos_X"), 50, 1);
  EXPECT_NEAR(ValueLong("Pos_Right"), 650, 1);
}

// A Chinese key is drawn with its characters, not the empty box a face
// without them draws: two different characters give two different
// pictures, where boxes would be alike.
TEST_F(DpiTest, ChineseTextIsDrawnWithItsCharacters) {
  StartWithBook({{u"house", u"a building"},
                 {u"\u4e2d", u"\u4e2d\u4e2d\u4e2d\nmiddle"},
                 {u"\u6587", u"\u6587\u6587\u6587\nwriting"}});
  // The pane's first line and the input box's text, as pixels.
  const auto picture = [&](HWND control) {
    RECT client;
    GetClientRect(control, &client);
    UpdateWindow(control);
    std::vector<COLORREF> pixels;
    int ink = 0;
    HDC dc = GetDC(control);
    const int lineHeight = static_cast<int>(Scale(14));
    for (int y = 0; y < std::min<int>(client.bottom, lineHeight + 4); ++y) {
      for (int x = 0; x < std::min<int>(client.right, static_cast<int>(Scale(60))); ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        pixels.push_back(c);
        ink += c != GetPixel(dc, client.right - 2, y);
      }
    }
    ReleaseDC(control, dc);
    return std::make_pair(pixels, ink);
  };
  std::vector<std::pair<std::vector<COLORREF>, int>> panes;
  std::vector<std::pair<std::vector<COLORREF>, int>> inputs;
  for (const char16_t* key : {u"\u4e2d", u"\u6587"}) {
    SendMessageW(Main(), MSG_LOOKUP_WORD, reinterpret_cast<WPARAM>(AsWide(key)), 0);
    Pump();
    SendMessageW(Input(), EM_SETSEL, static_cast<WPARAM>(-1), 0);  // no selection colours
    Pump();
    panes.push_back(picture(Pane()));
    inputs.push_back(picture(Input()));
  }
  for (const auto* pictures : {&panes, &inputs}) {
    SCOPED_TRACE(pictures == &panes ? "pane" : "input box");
    EXPECT_GT((*pictures)[0].second, 20);
    EXPECT_GT((*pictures)[1].second, 20);
    EXPECT_NE((*pictures)[0].first, (*pictures)[1].first);
  }
}

}  // namespace
}  // namespace quill::testing
