// WindowPlaces: where the main window stands. It reads the start rectangle,
// stores the current one as the window moves and resizes, and hides the
// window into the notification area and brings it back to the same place.
#pragma once

#include <windows.h>

#include <string>

#include "shell/settings.h"

namespace quill {

// The rectangles are stored in 96-DPI units, as a program unaware of the
// DPI stored them, so that settings written by such a run still place the
// window right: each corner scaled from pixels at dpi, and back.
RECT ToStoredRect(const RECT& pixels, int dpi);
RECT FromStoredRect(const RECT& stored, int dpi);

class WindowPlaces {
 public:
  explicit WindowPlaces(const SettingsKey& settings) : settings_(settings) {}

  // Reads the exit rectangle and the remembered book path stored by the
  // last run, and returns the path (empty when none is stored). A first
  // run stores no size, and a damaged one may store nonsense: the start
  // rectangle then gets a size that fits the screen.
  std::wstring LoadStart();
  const RECT& Start() const { return start_; }

  // Brings a window of an instance already running forward, at the
  // rectangle it last stored.
  void BringForward(HWND running) const;

  // After WM_MOVE and WM_SIZE: stores where window is now, unless the move
  // or resize came from hiding it into the notification area.
  void Moved(HWND window);
  void Resized(HWND window);

  // Going into the notification area: RememberForTray stores the window's
  // place, Hide hides it, no longer topmost; Restore shows it topmost where
  // it was.
  void RememberForTray(HWND window);
  static void Hide(HWND window);
  void Restore(HWND window) const;

 private:
  void StoreCurrent(HWND window);

  SettingsKey settings_;
  RECT start_ = {0, 0, 0, 0};
  // Where the window was when it went into the notification area.
  RECT beforeTray_ = {0, 0, 0, 0};
  // Set by RememberForTray; cleared by the next WM_MOVE, which then stores
  // no current rectangle.
  bool skipMoveStore_ = false;
  // Set by RememberForTray; cleared by the next WM_SIZE, likewise.
  bool skipSizeStore_ = false;
};

}  // namespace quill
