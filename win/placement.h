// Places of child controls: the box a parent hands a child, and the one way
// a control is moved there.
#pragma once

#include <windows.h>

namespace quill {

// A control's place in its parent's client area, as MoveWindow takes it.
struct ControlBox {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  constexpr bool operator==(const ControlBox&) const = default;
};

inline RECT ToRect(const ControlBox& box) {
  return {box.x, box.y, box.x + box.width, box.y + box.height};
}

// Moves control to box, repainting it.
inline void PlaceControl(HWND control, const ControlBox& box) {
  MoveWindow(control, box.x, box.y, box.width, box.height, TRUE);
}

}  // namespace quill
