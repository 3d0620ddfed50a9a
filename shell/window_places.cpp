#include "shell/window_places.h"

#include "book/buffer_sizes.h"

namespace quill {

namespace {

// A window no larger than this at start when nothing sensible is stored.
constexpr LONG kFallbackWidth = 800;
constexpr LONG kFallbackHeight = 600;
// A stored size over this many screens is taken for damage.
constexpr LONG kMostScreens = 4;

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

std::wstring WindowPlaces::LoadStart() {
  start_.left = 0;
  start_.top = 0;
  wchar_t bookPath[kPathUnits] = {};
  const StartSettings read = LoadStartSettings(settings_, &start_, bookPath);
  const LONG screenWidth = GetSystemMetrics(SM_CXSCREEN);
  const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const bool sizeStored = read.right && read.bottom;
  if (!sizeStored || Width(start_) <= 0 || Height(start_) <= 0 ||
      Width(start_) > kMostScreens * screenWidth || Height(start_) > kMostScreens * screenHeight) {
    start_.right = start_.left + (screenWidth < kFallbackWidth ? screenWidth : kFallbackWidth);
    start_.bottom = start_.top + (screenHeight < kFallbackHeight ? screenHeight : kFallbackHeight);
  }
  return bookPath;
}

void WindowPlaces::BringForward(HWND running) const {
  SetForegroundWindow(running);
  const RECT current = LoadCurrentRect(settings_);
  SetWindowPos(running, HWND_TOP, current.left, current.top, Width(current), Height(current),
               SWP_SHOWWINDOW);
  ShowWindow(running, SW_RESTORE);
}

void WindowPlaces::StoreCurrent(HWND window) {
  RECT current;
  GetWindowRect(window, &current);
  SaveCurrentRect(settings_, current);
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
