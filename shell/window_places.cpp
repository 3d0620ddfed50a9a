#include "shell/window_places.h"

#include "book/buffer_sizes.h"
#include "win/dpi.h"

namespace quill {

namespace {

// A window no larger than this at start when nothing sensible is stored.
constexpr LONG kFallbackWidth = 800;
constexpr LONG kFallbackHeight = 600;
// A stored size over this many screens is taken for damage.
constexpr LONG kMostScreens = 4;

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

// A stored coordinate far outside any screen stays as it is rather than
// overflow when scaled; the size checks below catch what it does to the
// window.
LONG ScaleStored(LONG value, int dpi, bool toPixels) {
  constexpr LONG kMost = 1L << 24;
  if (value > kMost || value < -kMost) return value;
  const int v = static_cast<int>(value);
  return toPixels ? ScaleForDpi(v, dpi) : UnscaleForDpi(v, dpi);
}

RECT ScaleRect(const RECT& r, int dpi, bool toPixels) {
  return {ScaleStored(r.left, dpi, toPixels), ScaleStored(r.top, dpi, toPixels),
          ScaleStored(r.right, dpi, toPixels), ScaleStored(r.bottom, dpi, toPixels)};
}

}  // namespace

RECT ToStoredRect(const RECT& pixels, int dpi) { return ScaleRect(pixels, dpi, false); }
RECT FromStoredRect(const RECT& stored, int dpi) { return ScaleRect(stored, dpi, true); }

std::wstring WindowPlaces::LoadStart() {
  start_.left = 0;
  start_.top = 0;
  wchar_t bookPath[kPathUnits] = {};
  const StartSettings read = LoadStartSettings(settings_, &start_, bookPath);
  // The window does not exist yet: the screen's DPI is the one it opens at.
  const int dpi = WindowDpi(nullptr);
  start_ = FromStoredRect(start_, dpi);
  const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const bool sizeStored = read.right && read.bottom;
  if (!sizeStored || Width(start_) <= 0 || Height(start_) <= 0 ||
      Width(start_) > kMostScreens * screenWidth || Height(start_) > kMostScreens * screenHeight) {
    const LONG width = ScaleForDpi(kFallbackWidth, dpi);
    const LONG height = ScaleForDpi(kFallbackHeight, dpi);
    start_.right = start_.left + (screenWidth < width ? screenWidth : width);
    start_.bottom = start_.top + (screenHeight < height ? screenHeight : height);
  }
  return bookPath;
}

void WindowPlaces::BringForward(HWND running) const {
  SetForegroundWindow(running);
  const RECT current = FromStoredRect(LoadCurrentRect(settings_), WindowDpi(running));
  SetWindowPos(running, HWND_TOP, current.left, current.top, Width(current), Height(current),
               SWP_SHOWWINDOW);
  ShowWindow(running, SW_RESTORE);
}

void WindowPlaces::StoreCurrent(HWND window) {
  RECT current;
  GetWindowRect(window, &current);
  SaveCurrentRect(settings_, ToStoredRect(current, WindowDpi(window)));
}

void WindowPlaces::Moved(HWND window) {
  if (skipMoveStore_) {
    skipMoveStore_ = false;
    return;
  }
  StoreCurrent(window);
}

void WindowPlaces::Resized(HWND window) {
  if (skipSizeStore_) {
    skipSizeStore_ = false;
    return;
  }
  StoreCurrent(window);
}

void WindowPlaces::RememberForTray(HWND window) {
  skipSizeStore_ = true;
  skipMoveStore_ = true;
  StoreCurrent(window);
  GetWindowRect(window, &beforeTray_);
}

void WindowPlaces::Hide(HWND window) {
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW);
}

void WindowPlaces::Restore(HWND window) const {
  SetWindowPos(window, HWND_TOPMOST, beforeTray_.left, beforeTray_.top, Width(beforeTray_),
               Height(beforeTray_), SWP_SHOWWINDOW);
}

}  // namespace quill
