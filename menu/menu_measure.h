// The sizes of the menus' drawn items, from the menu font's character
// height and the widest item text of a popup. Portable arithmetic shared by
// the popup conversion and the measuring of each item.
#pragma once

#include <cstdint>

namespace quill {

// Room beside the widest text: the icon bar, the gap before the text and a
// margin at the right.
inline constexpr int kMenuItemExtraWidth = 42;

// An item's and a separator's height for the menu font's character height.
struct MenuItemHeights {
  int item;
  int separator;
};
constexpr MenuItemHeights MenuHeightsFor(int characterHeight) {
  const int text = characterHeight + 2;
  return {(text > 16 ? text : 16) + 4, characterHeight / 2 + 2};
}

// The item data of a normal item: the popup's widest text in the high 16
// bits, the item height in the low 8 bits.
constexpr std::uint32_t PackMeasureData(int widestText, int itemHeight) {
  return (static_cast<std::uint32_t>(widestText & 0xFFFF) << 16) |
         static_cast<std::uint32_t>(itemHeight & 0xFF);
}

// An item's height and width from its item data (a separator's data is its
// height alone, which makes it kMenuItemExtraWidth wide).
constexpr int MeasuredHeight(std::uint32_t data) { return static_cast<int>(data & 0xFF); }
constexpr int MeasuredWidth(std::uint32_t data) {
  return static_cast<int>((data >> 16) + ((data >> 8) & 0xFF)) + kMenuItemExtraWidth;
}

}  // namespace quill
