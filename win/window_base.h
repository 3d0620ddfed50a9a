// WindowBase: every window of the program is an object whose WindowProc
// gets the window's messages through the one shared BaseWindowProc.
#pragma once

#include <windows.h>

#include "win/scoped_win.h"

namespace quill {

class WindowBase {
 public:
  HWND hwnd = nullptr;  // set when the window receives WM_CREATE

  // The window, or null before it exists.
  HWND Handle() const { return hwnd; }

  WindowBase() = default;
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;
  virtual ~WindowBase() = default;
  virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

// The window procedure of every class of the program. The window must be
// created with its WindowBase object as the creation parameter; messages
// that come before WM_CREATE get default handling.
LRESULT CALLBACK BaseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers a class with BaseWindowProc, icon 133, the arrow cursor and the
// window colour as background. The result is not needed: a failed
// registration shows as a failed window creation.
void RegisterWindowClass(HINSTANCE instance, const wchar_t* className);

// How a point size becomes a pixel height: the controls round to the
// nearest pixel, the About box cuts the fraction off.
enum class PointRounding { kNearest, kDown };

// A normal-weight font, `points` high at dpi, in charSet, of face (none:
// the default face).
ScopedFont FontFromPoints(int dpi, int points, PointRounding rounding = PointRounding::kNearest,
                          BYTE charSet = DEFAULT_CHARSET, const wchar_t* face = nullptr);

}  // namespace quill
