#include "menu/menu_color.h"

#include <gtest/gtest.h>

#include "menu/menu_measure.h"

namespace quill {
namespace {

struct Rgb {
  int r, g, b;
  MenuColor Color() const { return MakeMenuColor(r, g, b); }
};

::testing::AssertionResult SameColor(MenuColor actual, Rgb expected) {
  if (actual == expected.Color()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "got RGB(" << (actual & 0xFF) << ", " << ((actual >> 8) & 0xFF) << ", "
         << ((actual >> 16) & 0xFF) << "), want RGB(" << expected.r << ", " << expected.g
         << ", " << expected.b << ")";
}

constexpr Rgb kButtonFace = {212, 208, 200};
constexpr Rgb kHighlight = {49, 106, 197};

TEST(MenuColor, TheMenuLookFromTheClassicSchemeAndGreys) {
  struct Case {
    const char* use;
    Rgb base;
    int lightness, saturation;
    Rgb expected;
  };
  const Case cases[] = {
      {"icon bar", kButtonFace, 20, 0, {219, 216, 210}},
      {"text area", kButtonFace, 75, 0, {243, 242, 240}},
      {"separator, disabled text", kButtonFace, -18, 0, {178, 171, 157}},
      {"selected disabled fill", kButtonFace, 73, 0, {242, 241, 239}},
      {"disabled silhouette", kButtonFace, -27, 0, {162, 154, 137}},
      {"selected fill", kHighlight, 70, -57, {204, 212, 225}},
      {"icon shadow", kHighlight, 50, -66, {175, 186, 202}},
      {"selected check box", kHighlight, 50, -50, {169, 185, 208}},
      // Unchanged percentages still go through the byte-sized conversion.
      {"highlight, unchanged", kHighlight, 0, 0, {49, 108, 196}},
      {"grey lighter", {192, 192, 192}, 20, 0, {204, 204, 204}},
      {"grey unchanged", {100, 100, 100}, 0, 0, {100, 100, 100}},
      {"grey darker", {100, 100, 100}, -50, 0, {50, 50, 50}},
      {"white", {100, 100, 100}, 100, 0, {255, 255, 255}},
      {"black", {100, 100, 100}, -100, 0, {0, 0, 0}},
      // Out-of-range percentages stop at white and black.
      {"beyond white", {100, 100, 100}, 250, 0, {255, 255, 255}},
      {"beyond black", {100, 100, 100}, -250, 0, {0, 0, 0}},
      {"black lighter", {0, 0, 0}, 50, 0, {127, 127, 127}},
      // A grey has hue 0: saturating it turns it red.
      {"grey saturated", {128, 128, 128}, 0, 50, {191, 64, 64}},
      // And a colour without saturation is grey again.
      {"blue unsaturated", {0, 128, 255}, 0, -100, {127, 127, 127}},
      {"blue darker", {0, 128, 255}, -50, 0, {0, 65, 126}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(SameColor(AdjustColor(c.base.Color(), c.lightness, c.saturation), c.expected))
        << c.use;
  }
}

TEST(MenuColor, HueLightnessSaturationBytes) {
  struct Case {
    Rgb color;
    int hue, lightness, saturation;
    Rgb back;
  };
  const Case cases[] = {
      {kButtonFace, 28, 206, 31, {211, 207, 200}},
      {kHighlight, 153, 123, 153, {49, 108, 196}},
      {{0, 0, 0}, 0, 0, 0, {0, 0, 0}},
      {{255, 255, 255}, 0, 255, 0, {255, 255, 255}},
      // Red at full saturation: hue 360 stays 360, the top byte.
      {{255, 0, 0}, 255, 127, 255, {254, 0, 0}},
      // Red above blue: the red formula passes 360 and wraps to 30 degrees.
      {{255, 128, 0}, 21, 127, 255, {254, 125, 0}},
      {{255, 0, 128}, 233, 127, 255, {254, 0, 131}},
      // Ties for the maximum: yellow (red and green), cyan (green and
      // blue), magenta (red and blue) land on their own hues.
      {{255, 255, 0}, 42, 127, 255, {254, 251, 0}},
      {{0, 255, 255}, 127, 127, 255, {0, 254, 251}},
      {{255, 0, 255}, 212, 127, 255, {251, 0, 254}},
      {{200, 200, 10}, 42, 105, 230, {199, 197, 10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.color.r << "," << c.color.g << "," << c.color.b);
    const std::uint32_t hls = RgbToHls(c.color.Color());
    EXPECT_EQ(static_cast<int>(hls & 0xFF), c.hue);
    EXPECT_EQ(static_cast<int>((hls >> 8) & 0xFF), c.lightness);
    EXPECT_EQ(static_cast<int>((hls >> 16) & 0xFF), c.saturation);
    EXPECT_EQ(hls >> 24, 0u);
    EXPECT_TRUE(SameColor(HlsToRgb(c.hue, c.lightness, c.saturation), c.back));
  }
}

TEST(MenuColor, HueToChannelWrapsAndRamps) {
  struct Case {
    float hue;
    int expected;
  };
  // m1 0.2 and m2 0.6: 51 at the bottom, 153 on the plateau.
  const Case cases[] = {
      {0.0f, 51},    {30.0f, 102},  {59.9f, 152},  {60.0f, 153}, {179.9f, 153},
      {180.0f, 153}, {210.0f, 102}, {240.0f, 51},  {359.0f, 51}, {390.0f, 102},
      {480.0f, 153}, {-30.0f, 51},  {-120.0f, 51}, {-330.0f, 102},
  };
  for (const Case& c : cases) EXPECT_EQ(HueToChannel(0.2f, 0.6f, c.hue), c.expected) << c.hue;
  EXPECT_EQ(HueToChannel(0.0f, 1.0f, 120.0f), 255);
  EXPECT_EQ(HueToChannel(0.0f, 1.0f, 300.0f), 0);
}

TEST(MenuMeasure, HeightsAndWidthsFromTheFont) {
  struct Case {
    int characterHeight, item, separator;
  };
  const Case cases[] = {{13, 20, 8}, {16, 22, 10}, {14, 20, 9}, {10, 20, 7}, {15, 21, 9}};
  for (const Case& c : cases) {
    const MenuItemHeights heights = MenuHeightsFor(c.characterHeight);
    EXPECT_EQ(heights.item, c.item) << c.characterHeight;
    EXPECT_EQ(heights.separator, c.separator) << c.characterHeight;
    const std::uint32_t data = PackMeasureData(70, heights.item);
    EXPECT_EQ(MeasuredHeight(data), c.item);
    EXPECT_EQ(MeasuredWidth(data), 112);
    EXPECT_EQ(MeasuredHeight(static_cast<std::uint32_t>(heights.separator)), c.separator);
    EXPECT_EQ(MeasuredWidth(static_cast<std::uint32_t>(heights.separator)), 42);
  }
  EXPECT_EQ(MeasuredWidth(PackMeasureData(0xFFFF, 255)), 0xFFFF + 42);
}

}  // namespace
}  // namespace quill
