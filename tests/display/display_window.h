// A stand-in for the main window in display tests: a top-level window with
// the content pane, the input box and the status bar at their places, the
// strip band between them, and a way to read its pixels back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "display/show_entry.h"

namespace quill::testing {

class DisplayWindow {
 public:
  DisplayWindow();
  ~DisplayWindow();
  DisplayWindow(const DisplayWindow&) = delete;
  DisplayWindow& operator=(const DisplayWindow&) = delete;

  HWND Window() const { return window_; }
  const EntryPanes& Panes() const { return panes_; }

  // Paints a client rectangle with one colour, to see what a display
  // clears or leaves.
  void Fill(const RECT& rect, COLORREF colour);
  // Lets the window and its controls paint everything pending.
  void Pump();

  // The client area's pixels in a rectangle, row by row.
  std::vector<COLORREF> Capture(const RECT& rect) const;
  COLORREF Pixel(int x, int y) const;

  std::u16string PaneText() const;
  std::string StatusText() const;

 private:
  HWND window_ = nullptr;
  EntryPanes panes_{};
};

// The pixels of bitmap 130 as the program's resources hold it.
class GlyphBitmap {
 public:
  GlyphBitmap();
  int Width() const { return width_; }
  int Height() const { return height_; }
  COLORREF Pixel(int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<COLORREF> pixels_;
};

}  // namespace quill::testing
