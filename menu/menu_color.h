// The menus' colour arithmetic: every colour of a drawn menu item is a
// system colour made lighter or darker, and more or less saturated, in
// hue/lightness/saturation space, so the menus follow the user's colour
// scheme. Portable: colours are 0x00BBGGRR values, the layout of COLORREF.
#pragma once

#include <cstdint>

namespace quill {

// A colour as red in bits 0..7, green in 8..15 and blue in 16..23.
using MenuColor = std::uint32_t;

constexpr MenuColor MakeMenuColor(int red, int green, int blue) {
  return static_cast<MenuColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// color with its lightness moved lightnessPercent of the way towards white
// (above 0) or towards black (below 0), and its saturation likewise towards
// full or none; 0 leaves that part unchanged. Percentages outside -100..100
// are taken as -100 or 100.
MenuColor AdjustColor(MenuColor color, int lightnessPercent, int saturationPercent);

// color as hue (bits 0..7, 0..255 for 0..360 degrees), lightness (8..15)
// and saturation (16..23) bytes.
std::uint32_t RgbToHls(MenuColor color);

// The colour of the given hue, lightness and saturation bytes.
MenuColor HlsToRgb(int hueByte, int lightnessByte, int saturationByte);

// One channel (0..255) for the levels m1 and m2 (0..1) at hue degrees,
// which may lie up to 360 outside 0..360.
int HueToChannel(float m1, float m2, float hue);

}  // namespace quill
