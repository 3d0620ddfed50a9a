// The content pane, the glyph strip and the status bar as the main window
// shows them, on a stand-in window, read back pixel by pixel.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "win/ansi_text.h"
#include "display/entry_view.h"
#include "display/phonetic_glyphs.h"
#include "display/show_entry.h"
#include "display_window.h"
#include "support/test_books.h"

namespace quill {
namespace {

using testing::DisplayWindow;
using testing::GlyphBitmap;
using testing::U16;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMarker = RGB(250, 200, 0);
// Everything the strip band and the rows around it cover.
constexpr RECT kArea = {0, 66, 1100, 92};
constexpr int kBandTop = 70;
constexpr int kBandBottom = 90;  // exclusive
constexpr int kBandRight = 1024;  // exclusive

const std::u16string kLongPhonetic = u"[" + std::u16string(47, u'b') + u"]";

std::vector<BookEntry> ShelfEntries() {
  std::vector<BookEntry> entries = {
      {u"book", u"[bUk]|a set of pages|bound together"},
      {u"cat", u"[kat]|a small animal"},
      {u"echo", u"[ek5U]|a sound heard again"},
      {u"long", kLongPhonetic + u"|a word with a long transcription"},
      {u"plain", u"no transcription|second line"},
  };
  return entries;
}

int Entry(const char16_t* key) {
  const std::vector<BookEntry> entries = ShelfEntries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].key == key) return static_cast<int>(i);
  }
  return -1;
}

// Where a state's strip starts, and the band cleared for it.
int StripLeft(int sidePanel) { return sidePanel == 0 ? 5 : 205; }
int BandLeft(int sidePanel) { return sidePanel == 0 ? 5 : 203; }
constexpr int kStripTop = 75;

// The strip's place as the main window hands it over for a side-panel state
// (0 none, 1 the find panel, 2 the shelf); any other state has no strip.
StripPlace Strip(int sidePanel) {
  if (sidePanel < 0 || sidePanel > 2) return {};
  return {true, {BandLeft(sidePanel), kBandTop, kBandRight - BandLeft(sidePanel), 20},
          StripLeft(sidePanel), kStripTop};
}

class EntryDisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BookLayout layout;
    layout.title = u"Test Shelf Book";
    layout.lineSeparator = u'|';
    ASSERT_EQ(book_.Open(testing::WriteBook(ShelfEntries(), layout).c_str()), 1);
    ASSERT_EQ(glyphs_.Width(), kGlyphBitmapWidth);
  }
  void TearDown() override { book_.Close(); }

  // Shows an entry over a band painted with the marker colour and returns
  // the pixels of kArea.
  std::vector<COLORREF> Show(int entry, int sidePanel) {
    window_->Fill(kArea, kMarker);
    EXPECT_EQ(book_.SetCurrentEntry(entry), 1);
    EXPECT_TRUE(ShowCurrentEntry(book_, window_->Panes(), window_->Window(), Strip(sidePanel)));
    return window_->Capture(kArea);
  }

  static COLORREF At(const std::vector<COLORREF>& area, int x, int y) {
    return area[static_cast<std::size_t>(y - kArea.top) *
                    static_cast<std::size_t>(kArea.right - kArea.left) +
                static_cast<std::size_t>(x - kArea.left)];
  }

  // Checks that the glyph of cell at (x, 75) is the bitmap's cell, pixel
  // for pixel, and that the column after it is blank.
  void ExpectCell(const std::vector<COLORREF>& area, int x, int cell) {
    int wrong = 0;
    for (int y = 0; y < kGlyphHeight; ++y) {
      for (int dx = 0; dx < kGlyphWidth; ++dx) {
        if (At(area, x + dx, kStripTop + y) != glyphs_.Pixel(GlyphColumn(cell) + dx, y)) ++wrong;
      }
      if (At(area, x + kGlyphWidth, kStripTop + y) != kWhite) ++wrong;
    }
    EXPECT_EQ(wrong, 0) << "cell " << cell << " at x " << x;
  }

  // Counts band pixels in [left, right) x [top, bottom) that are not white.
  static int Marked(const std::vector<COLORREF>& area, int left, int right,
                    int top = kBandTop, int bottom = kBandBottom) {
    int marked = 0;
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) marked += At(area, x, y) != kWhite;
    }
    return marked;
  }

  // One window for all tests: without a window manager Wine takes about
  // two seconds to take a window down.
  static void SetUpTestSuite() { window_ = new DisplayWindow; }
  static void TearDownTestSuite() {
    delete window_;
    window_ = nullptr;
  }

  BookFile book_;
  static DisplayWindow* window_;
  GlyphBitmap glyphs_;
};

DisplayWindow* EntryDisplayTest::window_ = nullptr;

TEST_F(EntryDisplayTest, GlyphsStandEightPixelsApartAtTheSidePanelsOrigin) {
  for (int state : {0, 1, 2}) {
    SCOPED_TRACE(state);
    const std::vector<COLORREF> area = Show(Entry(u"book"), state);
    const int x0 = StripLeft(state);
    const int cells[] = {1, 8, 5, 11, 2};  // [ b U k ]
    for (int k = 0; k < 5; ++k) ExpectCell(area, x0 + 8 * k, cells[k]);
    // The rest of the band is cleared, and nothing outside it.
    EXPECT_EQ(Marked(area, x0 + 40, kBandRight), 0);
    EXPECT_EQ(Marked(area, BandLeft(state), x0), 0);
    EXPECT_EQ(Marked(area, BandLeft(state), kBandRight, kBandTop, kStripTop), 0);
    EXPECT_EQ(Marked(area, BandLeft(state), kBandRight, kStripTop + kGlyphHeight, kBandBottom), 0);
    EXPECT_EQ(At(area, BandLeft(state) - 1, 80), kMarker);
    EXPECT_EQ(At(area, kBandRight, 80), kMarker);
    EXPECT_EQ(At(area, 500, kBandTop - 1), kMarker);
  }
}

TEST_F(EntryDisplayTest, ACharacterOutsideTheTableDrawsTheRedCross) {
  const std::vector<COLORREF> area = Show(Entry(u"echo"), 0);
  const int cells[] = {1, 0, 11, 35, 5, 2};  // [ e k 5 U ]
  for (int k = 0; k < 6; ++k) ExpectCell(area, 5 + 8 * k, cells[k]);
  int red = 0;
  for (int y = 0; y < kGlyphHeight; ++y) {
    for (int x = 0; x < kGlyphWidth; ++x) {
      const COLORREF c = At(area, 13 + x, kStripTop + y);
      red += GetRValue(c) > 180 && GetGValue(c) < 60 && GetBValue(c) < 60;
    }
  }
  EXPECT_GE(red, 10);
}

TEST_F(EntryDisplayTest, AnEntryWithoutTranscriptionLeavesTheBandWhite) {
  for (int state : {0, 2}) {
    const std::vector<COLORREF> area = Show(Entry(u"plain"), state);
    EXPECT_EQ(Marked(area, BandLeft(state), kBandRight), 0) << state;
    EXPECT_EQ(window_->PaneText(), u"no transcription\r\nsecond line\r\n");
  }
}

TEST_F(EntryDisplayTest, AnotherSidePanelStateNeitherClearsNorDraws) {
  const std::vector<COLORREF> area = Show(Entry(u"book"), 3);
  EXPECT_EQ(Marked(area, 0, kBandRight), (kBandBottom - kBandTop) * kBandRight);
  EXPECT_EQ(window_->PaneText(), u"a set of pages\r\nbound together\r\n");
}

TEST_F(EntryDisplayTest, A49UnitTranscriptionDraws49Cells) {
  const std::vector<COLORREF> area = Show(Entry(u"long"), 1);
  ExpectCell(area, 205, 1);
  for (int k = 1; k < 48; ++k) ExpectCell(area, 205 + 8 * k, 8);
  ExpectCell(area, 205 + 384, 2);
  EXPECT_EQ(Marked(area, 205 + 392, kBandRight), 0);
}

TEST_F(EntryDisplayTest, TheStripIsRedrawnForEachEntry) {
  Show(Entry(u"long"), 0);
  const std::vector<COLORREF> area = Show(Entry(u"cat"), 0);
  const int cells[] = {1, 11, 29, 9, 2};  // [ k a t ]
  for (int k = 0; k < 5; ++k) ExpectCell(area, 5 + 8 * k, cells[k]);
  EXPECT_EQ(Marked(area, 45, kBandRight), 0);
}

TEST_F(EntryDisplayTest, TheContentPaneShowsTheTextWithoutThePhoneticLine) {
  Show(Entry(u"cat"), 0);
  EXPECT_EQ(window_->PaneText(), u"a small animal\r\n");
  // The cursor decides, whatever entry was shown before.
  book_.SetCurrentEntry(Entry(u"book"));
  ShowCurrentEntry(book_, window_->Panes(), window_->Window(), Strip(0));
  EXPECT_EQ(window_->PaneText(), u"a set of pages\r\nbound together\r\n");
}

TEST_F(EntryDisplayTest, AClosedBookShowsNotFoundAndNoGlyphs) {
  Show(Entry(u"book"), 0);
  book_.Close();
  window_->Fill(kArea, kMarker);
  EXPECT_TRUE(ShowCurrentEntry(book_, window_->Panes(), window_->Window(), Strip(0)));
  const std::vector<COLORREF> area = window_->Capture(kArea);
  EXPECT_EQ(window_->PaneText(), u"\r\n <Not Found!>");
  EXPECT_EQ(Marked(area, 5, kBandRight), 0);
}

TEST_F(EntryDisplayTest, ABookWithoutEntriesShowsNotFound) {
  BookLayout layout;
  layout.title = u"Empty";
  BookFile empty;
  ASSERT_EQ(empty.Open(testing::WriteBook({}, layout).c_str()), 1);
  window_->Fill(kArea, kMarker);
  ShowCurrentEntry(empty, window_->Panes(), window_->Window(), Strip(2));
  EXPECT_EQ(window_->PaneText(), u"\r\n <Not Found!>");
  EXPECT_EQ(Marked(window_->Capture(kArea), 203, kBandRight), 0);
  ShowBookTitle(empty, window_->Panes().statusBar);
  EXPECT_EQ(window_->StatusText(), "Empty");
  empty.Close();
}

TEST_F(EntryDisplayTest, TheInputBoxTextIsFullySelectedAfterEveryDisplay) {
  const HWND input = window_->Panes().inputBox;
  auto selection = [&] {
    DWORD start = 7, end = 7;
    SendMessageA(input, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return std::make_pair(start, end);
  };
  const std::pair<DWORD, DWORD> all{0, 10};
  for (int state : {0, 1, 3}) {
    SetWindowTextA(input, "typed word");
    SendMessageA(input, EM_SETSEL, 3, 3);
    Show(Entry(u"plain"), state);
    EXPECT_EQ(selection(), all) << state;
    SendMessageA(input, EM_SETSEL, 3, 3);
    ShowTypedWord(book_, window_->Panes(), u"cat", window_->Window(), Strip(state));
    EXPECT_EQ(selection(), all) << state;
  }
  book_.Close();
  SendMessageA(input, EM_SETSEL, 3, 3);
  ShowCurrentEntry(book_, window_->Panes(), window_->Window(), Strip(0));
  EXPECT_EQ(selection(), all);
}

TEST_F(EntryDisplayTest, ATypedWordShowsTheEntryTheLookupEndsOn) {
  char16_t inputText[kInputTextUnits] = u"CAT";
  ShowTypedWord(book_, window_->Panes(), inputText, window_->Window(), Strip(0));
  EXPECT_EQ(book_.CurrentEntry(), Entry(u"cat"));
  EXPECT_EQ(window_->PaneText(), u"a small animal\r\n");
  // No match is no failure: the nearest entry is shown.
  std::char_traits<char16_t>::copy(inputText, u"ec", 3);
  ShowTypedWord(book_, window_->Panes(), inputText, window_->Window(), Strip(0));
  EXPECT_EQ(window_->PaneText(), u"a sound heard again\r\n");
  // A copy of the input box that lost its terminator is read no further
  // than its 512 units.
  std::fill(std::begin(inputText), std::end(inputText), u'p');
  ShowTypedWord(book_, window_->Panes(), inputText, window_->Window(), Strip(0));
  EXPECT_EQ(window_->PaneText(), u"no transcription\r\nsecond line\r\n");
}

TEST_F(EntryDisplayTest, TheStatusBarShowsTheBookTitle) {
  ShowBookTitle(book_, window_->Panes().statusBar);
  EXPECT_EQ(window_->StatusText(), "Test Shelf Book");
  book_.Close();
  ShowBookTitle(book_, window_->Panes().statusBar);
  EXPECT_EQ(window_->StatusText(), "");
}

// A content that takes more bytes than units in the ANSI code page (three
// per unit in a UTF-8 one) still comes out whole.
TEST(AnsiTextTest, AContentComesOutWholeInAMultiByteCodePage) {
  std::u16string wide;
  for (int i = 0; i < 6000; ++i) wide += (i % 3 == 0) ? u'\x4E2D' : (i % 3 == 1 ? u'\xE9' : u'a');
  AnsiText text;
  ASSERT_TRUE(ToAnsi(CP_UTF8, 0, wide.c_str(), wide.size(), &text));
  EXPECT_EQ(text.length, 2000u * 3 + 2000u * 2 + 2000u);
  EXPECT_EQ(std::strlen(text.c_str()), text.length);
  char16_t back[6001];
  EXPECT_EQ(FromAnsi(CP_UTF8, text.c_str(), text.length + 1, back, 6001), 6000u);
  EXPECT_EQ(std::u16string(back), wide);
  // Too small a destination keeps what fits instead of nothing.
  EXPECT_EQ(FromAnsi(CP_UTF8, text.c_str(), text.length + 1, back, 11), 10u);
  EXPECT_EQ(std::u16string(back), wide.substr(0, 10));
  ASSERT_TRUE(ToAnsi(CP_UTF8, 0, u"", 0, &text));
  EXPECT_STREQ(text.c_str(), "");
}

TEST_F(EntryDisplayTest, ALongContentFillsThePaneWhateverTheCodePage) {
  std::u16string content;
  for (int i = 0; i < 6000; ++i) content += (i % 2 == 0) ? u'\x4E2D' : u'\xE9';
  content += u"|end";
  BookLayout layout;
  layout.lineSeparator = u'|';
  BookFile wide;
  ASSERT_EQ(wide.Open(testing::WriteBook({{u"wide", content}}, layout).c_str()), 1);
  ASSERT_TRUE(ShowCurrentEntry(wide, window_->Panes(), window_->Window(), Strip(0)));
  // Whatever the code page makes of each unit, every unit is there. (Wine
  // takes the code page from the locale: LC_ALL=hi_IN.UTF-8 gives UTF-8.)
  EXPECT_EQ(GetWindowTextLengthW(window_->Panes().contentPane), 6000 + 2 + 3 + 2);
  wide.Close();
}

}  // namespace
}  // namespace quill
