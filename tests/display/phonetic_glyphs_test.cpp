#include <gtest/gtest.h>

#include <set>

#include "display/phonetic_glyphs.h"

namespace quill {
namespace {

TEST(GlyphIndexTest, ATranscriptionMapsToItsCellsAndColumns) {
  const char16_t text[] = u"[bUk]";
  const int cells[] = {1, 8, 5, 11, 2};
  const int columns[] = {10, 73, 46, 100, 19};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(GlyphIndex(text[k]), cells[k]) << k;
    EXPECT_EQ(GlyphColumn(GlyphIndex(text[k])), columns[k]) << k;
  }
}

TEST(GlyphIndexTest, MatchingIsExactAndUnknownCodesDrawTheCross) {
  EXPECT_EQ(GlyphIndex('i'), 3);
  EXPECT_EQ(GlyphIndex('I'), 4);
  EXPECT_EQ(GlyphIndex('a'), 29);
  EXPECT_EQ(GlyphIndex('A'), 40);
  EXPECT_EQ(GlyphIndex('E'), 44);
  EXPECT_EQ(GlyphIndex('\''), 23);
  EXPECT_EQ(GlyphIndex('9'), 39);
  for (std::int32_t code : {int{'e'}, int{'o'}, int{'F'}, int{'x'}, int{' '}, 0x69 + 0x10000, -1, 0x4E2D, 0}) {
    EXPECT_EQ(GlyphIndex(code), 0) << code;
  }
}

TEST(GlyphIndexTest, EveryCellIsReachable) {
  // A duplicated code would leave a later cell unreachable.
  std::set<std::int32_t> seen(PhoneticGlyphCodes.begin(), PhoneticGlyphCodes.end());
  EXPECT_EQ(seen.size(), PhoneticGlyphCodes.size());
  for (int cell = 1; cell < kGlyphCellCount; ++cell) {
    EXPECT_EQ(GlyphIndex(PhoneticGlyphCodes[static_cast<std::size_t>(cell)]), cell);
  }
  // 45 cells between 46 separator columns, the last one the bitmap's edge.
  EXPECT_EQ(kGlyphBitmapWidth, 406);
  EXPECT_LT(GlyphColumn(kGlyphCellCount - 1) + kGlyphWidth, kGlyphBitmapWidth - 1);
}

}  // namespace
}  // namespace quill
