// An imported IPA transcription in the real window: the strip draws the
// cells the strip's own alphabet writes, and one it cannot draw shows as
// text in the pane.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/phonetic_glyphs.h"
#include "import/ipa.h"
#include "import/markup.h"
#include "shell/shell_fixture.h"

namespace quill::testing {
namespace {

class TranscriptionTest : public ShellTest {
 protected:
  void Enter(const std::string& word) {
    SendMessageA(Input(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word.c_str()));
    SendMessageA(Input(), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
  }
  // The strip band's pixels, from the strip's origin with the shelf shown.
  std::vector<COLORREF> Strip() {
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(Main());
    for (int y = 72; y < 88; ++y) {
      for (int x = 205; x < 205 + 8 * 12; ++x) pixels.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(Main(), dc);
    return pixels;
  }
};

TEST_F(TranscriptionTest, AnImportedTranscriptionDrawsTheCellsOfTheStripsAlphabet) {
  // StarDict's "t" field hˈaʊs, as the import writes it; beside it the same
  // word in the strip's own alphabet, as the shelf's books write it.
  const std::u16string imported = import::WithTranscription(u"h\u02C8a\u028As", u"a building");
  const std::u16string kept = import::WithTranscription(u"h\u0252t", u"warm");
  ASSERT_EQ(imported, u"[h'0Us]\na building");
  StartWithBook({{u"hot", kept}, {u"house", u"[h'0Us]\na building"}, {u"imported", imported}});

  Enter("house");
  const std::vector<COLORREF> shelf = Strip();
  Enter("imported");
  const std::vector<COLORREF> drawn = Strip();
  EXPECT_EQ(drawn, shelf);
  int ink = 0;
  int red = 0;
  for (const COLORREF c : drawn) {
    ink += c != RGB(255, 255, 255);
    red += GetRValue(c) > 200 && GetGValue(c) < 80 && GetBValue(c) < 80;
  }
  EXPECT_GT(ink, 40);
  EXPECT_EQ(red, 0) << "a red cross: a cell the strip has no glyph for";
  EXPECT_EQ(PaneText(), "a building\r\n");

  // Not drawable: no strip, the transcription in the pane as written.
  Enter("hot");
  for (const COLORREF c : Strip()) ASSERT_EQ(c, RGB(255, 255, 255));
  EXPECT_EQ(Text(Pane()).substr(0, 1), "h");
}

// The import's idea of what the strip draws is the strip's own: every
// character it maps to has a cell, and every cell (but the cross) is a
// character it may map to.
TEST(StripAlphabetTest, TheImportsAlphabetIsTheStripsCells) {
  for (const char16_t c : import::kStripAlphabet) {
    EXPECT_NE(GlyphIndex(c), 0) << static_cast<char>(c) << " has no cell";
  }
  for (int cell = 1; cell < kGlyphCellCount; ++cell) {
    const auto code = static_cast<char16_t>(PhoneticGlyphCodes[static_cast<std::size_t>(cell)]);
    EXPECT_NE(import::kStripAlphabet.find(code), std::u16string_view::npos)
        << static_cast<char>(code) << " is drawn but never imported";
  }
}

}  // namespace
}  // namespace quill::testing
