// The sizes of the menus' drawn items, from the menu font's character
// height and the widest item text of a popup. Portable arithmetic shared by
// the popup conversion and the measuring of each item.
#pragma once

#include <cstdint>

namespace quill {

// Room beside the widest text: the icon bar, the gap before the text and a
// margin at the right.
inline constexpr int kMenuItemExtraWidth = 42;

// A length given at 96 DPI at dpi, rounded to the nearest pixel.
constexpr int MenuScale(int value, int dpi) { return (value * dpi + 48) / 96; }

// An item's and a separator's height for the menu font's character height
// (which is already the DPI's): the margins and the image's room scale.
struct MenuItemHeights {
  int item;
  int separator;
};
constexpr MenuItemHeights MenuHeightsFor(int characterHeight, int dpi = 96) {
  const int text = characterHeight + MenuScale(2, dpi);
  const int image = MenuScale(16, dpi);
  return {(text > image ? text : image) + MenuScale(4, dpi), characterHeight / 2 + MenuScale(2, dpi)};
}

// The item data of a normal item: the popup's widest text in the high 16
// bits, what the DPI adds to kMenuItemExtraWidth in the next 8 and the item
// height in the low 8 bits.
constexpr std::uint32_t PackMeasureData(int widestText, int itemHeight, int dpi = 96) {
  const int added = MenuScale(kMenuItemExtraWidth, dpi) - kMenuItemExtraWidth;
  return (static_cast<std::uint32_t>(widestText & 0xFFFF) << 16) |
         (static_cast<std::uint32_t>(added > 0 ? (added < 0xFF ? added : 0xFF) : 0) << 8) |
         static_cast<std::uint32_t>(itemHeight & 0xFF);
}

// An item's height and width from its item data (a separator's data is its
// height alone, which makes it kMenuItemExtraWidth wide).
constexpr int MeasuredHeight(std::uint32_t data) { return static_cast<int>(data & 0xFF); }
constexpr int MeasuredWidth(std::uint32_t data) {
  return static_cast<int>((data >> 16) + ((data >> 8) & 0xFF)) + kMenuItemExtraWidth;
}

}  // namespace quill
