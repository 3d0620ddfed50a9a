#include "menu/menu_color.h"

namespace quill {

namespace {

int Channel(MenuColor color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

// value (0..255) moved percent of the way up to 255 or down to 0.
int AdjustByte(int value, int percent) {
  if (percent > 100) percent = 100;
  if (percent < -100) percent = -100;
  if (percent > 0) return value + (255 - value) * percent / 100;
  if (percent < 0) return (100 + percent) * value / 100;
  return value;
}

int ClampByte(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

}  // namespace

MenuColor AdjustColor(MenuColor color, int lightnessPercent, int saturationPercent) {
  const std::uint32_t hls = RgbToHls(color);
  const int hue = Channel(hls, 0);
  const int lightness = AdjustByte(Channel(hls, 8), lightnessPercent);
  const int saturation = AdjustByte(Channel(hls, 16), saturationPercent);
  return HlsToRgb(hue, lightness, saturation);
}

std::uint32_t RgbToHls(MenuColor color) {
  const float red = static_cast<float>(Channel(color, 0));
  const float green = static_cast<float>(Channel(color, 8));
  const float blue = static_cast<float>(Channel(color, 16));
  float max = red > green ? red : green;
  if (blue > max) max = blue;
  float min = red < green ? red : green;
  if (blue < min) min = blue;
  const float diff = max - min;
  const float sum = max + min;
  const float lightness = sum / 510.0f;
  float hue = 0.0f;
  float saturation = 0.0f;
  if (max != min) {
    saturation = lightness <= 0.5f ? diff / sum : diff / (510.0f - sum);
    const float rc = (max - red) / diff;
    const float gc = (max - green) / diff;
    const float bc = (max - blue) / diff;
    // Where channels tie for the maximum, blue wins over green, green over red.
    if (blue == max) {
      hue = (4.0f + gc - rc) * 60.0f;
    } else if (green == max) {
      hue = (2.0f + rc - bc) * 60.0f;
    } else {
      hue = (6.0f + bc - gc) * 60.0f;
    }
    if (hue > 360.0f) hue -= 360.0f;
  }
  const auto hueByte = static_cast<std::uint32_t>(hue * 255.0f / 360.0f);
  const auto lightnessByte = static_cast<std::uint32_t>(lightness * 255.0f);
  const auto saturationByte = static_cast<std::uint32_t>(saturation * 255.0f);
  return (hueByte & 0xFF) | ((lightnessByte & 0xFF) << 8) | ((saturationByte & 0xFF) << 16);
}

MenuColor HlsToRgb(int hueByte, int lightnessByte, int saturationByte) {
  if (saturationByte == 0) return MakeMenuColor(lightnessByte, lightnessByte, lightnessByte);
  const float hue = static_cast<float>(hueByte) * 360.0f / 255.0f;
  const float lightness = static_cast<float>(lightnessByte) / 255.0f;
  const float saturation = static_cast<float>(saturationByte) / 255.0f;
  const float m2 = lightness <= 0.5f ? lightness * (1.0f + saturation)
                                     : lightness + saturation - lightness * saturation;
  const float m1 = 2.0f * lightness - m2;
  return MakeMenuColor(HueToChannel(m1, m2, hue + 120.0f), HueToChannel(m1, m2, hue),
                       HueToChannel(m1, m2, hue - 120.0f));
}

int HueToChannel(float m1, float m2, float hue) {
  if (hue > 360.0f) hue -= 360.0f;
  if (hue < 0.0f) hue += 360.0f;
  float value = m1;
  if (hue < 60.0f) {
    value = m1 + (m2 - m1) * hue / 60.0f;
  } else if (hue < 180.0f) {
    value = m2;
  } else if (hue < 240.0f) {
    value = m1 + (m2 - m1) * (240.0f - hue) / 60.0f;
  }
  // Rounding may carry a level a hair outside 0..1.
  return ClampByte(static_cast<int>(value * 255.0f));
}

}  // namespace quill
