// Sizes for the screen's pixel density. Every size in the program's own
// layout is written for 96 dots per inch and scaled to the window's DPI;
// pictures grow only by whole factors, pixel for pixel, so they stay sharp.
#pragma once

#include <windows.h>

#include <vector>

#include "win/placement.h"
#include "win/scoped_win.h"

namespace quill {

inline constexpr int kBaseDpi = 96;

// value, given at 96 DPI, at dpi: rounded to the nearest pixel, halves away
// from zero (as MulDiv rounds), so that at 96 DPI it is value itself.
constexpr int ScaleForDpi(int value, int dpi) {
  const long long scaled = static_cast<long long>(value) * dpi;
  return static_cast<int>(scaled >= 0 ? (scaled + kBaseDpi / 2) / kBaseDpi
                                      : -((-scaled + kBaseDpi / 2) / kBaseDpi));
}

// The reverse, for what is stored in 96-DPI units.
constexpr int UnscaleForDpi(int value, int dpi) {
  if (dpi <= 0) return value;
  const long long scaled = static_cast<long long>(value) * kBaseDpi;
  return static_cast<int>(scaled >= 0 ? (scaled + dpi / 2) / dpi : -((-scaled + dpi / 2) / dpi));
}

constexpr ControlBox ScaleForDpi(const ControlBox& box, int dpi) {
  return {ScaleForDpi(box.x, dpi), ScaleForDpi(box.y, dpi), ScaleForDpi(box.width, dpi),
          ScaleForDpi(box.height, dpi)};
}

// The largest whole factor not above dpi / 96: 1 up to 191 DPI, 2 from 192
// (200%), never below 1.
constexpr int WholeFactor(int dpi) { return dpi < 2 * kBaseDpi ? 1 : dpi / kBaseDpi; }

// A DPI from outside (a message, the registry) kept to what a screen can
// have; anything else is taken for 96.
constexpr int SaneDpi(int dpi) { return dpi >= kBaseDpi / 2 && dpi <= 8 * kBaseDpi ? dpi : kBaseDpi; }

// The DPI the system gives window (GetDpiForWindow where the system has it,
// else the screen's); the screen's for null.
int WindowDpi(HWND window);

// bitmap's pixels, 32 bits each (0x00RRGGBB), top row first, with its size
// in width and height: empty when they cannot be read.
std::vector<DWORD> BitmapPixels(HBITMAP bitmap, int* width, int* height);

// The pixels of a width x height picture (top row first) grown factor times
// in each direction, nearest neighbour, into out (width * height * factor^2
// pixels).
void ScalePixelsWhole(const DWORD* pixels, int width, int height, int factor, DWORD* out);

// bitmap grown factor times in each direction, every pixel copied into a
// factor x factor square: a new bitmap (the caller's), or null when it
// cannot be made. A factor of 1 copies.
ScopedBitmap ScaleBitmapWhole(HBITMAP bitmap, int factor);

// Bitmap resource id of instance at factor times its size.
ScopedBitmap LoadBitmapWhole(HINSTANCE instance, int id, int factor);

}  // namespace quill
