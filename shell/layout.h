// Where the main window's controls go. Creation, resizing and the side-panel
// switch take their numbers from LayOutMainWindow and hand each child its
// box, so a new piece placed beside the others changes one table, not four
// functions.
#pragma once

#include <windows.h>

#include "display/entry_view.h"
#include "win/dpi.h"
#include "win/placement.h"

namespace quill {

// Which side panel is shown at the left of the main window.
enum SidePanelState : int { kNoSidePanel = 0, kFindPanel = 1, kShelfPanel = 2 };

// The occasion the controls are placed on. Creation works from a size
// derived from the screen, before the first WM_SIZE; resizing and the
// side-panel switch give the input box and the word list slightly different
// heights, kept as they are so that nothing the user sees moves.
enum class LayoutPass { kCreate, kResize, kPanelSwitch };

struct MainLayout {
  ControlBox inputBox;
  ControlBox wordList;
  ControlBox contentPane;
  // The shown side panel (the find panel or the shelf; both take the same
  // place, except at creation).
  ControlBox sidePanel;
  ControlBox rebar;
  ControlBox statusBar;  // the status bar places itself; it is nudged with zeros
  // The word list's one column (creation only).
  int wordListColumn = 0;
  // The phonetic strip. A state without a strip (none outside the enum)
  // leaves it not shown, and nothing is cleared or drawn.
  StripPlace strip;
  // Below the input box: what an arrow key's new entry repaints.
  ControlBox entryArea;
};

// The strip's band ends at this x (at 96 DPI) whatever the window's width.
inline constexpr int kStripBandRight = 1024;

// The places of every control for pass, state, the client size (for
// kCreate, the size from CreationSize()) and the window's DPI. The numbers
// are written for 96 DPI and scaled; width and height are pixels already.
constexpr MainLayout LayOutMainWindow(LayoutPass pass, SidePanelState state, int width,
                                      int height, int dpi = kBaseDpi) {
  const auto s = [dpi](int value) { return ScaleForDpi(value, dpi); };
  MainLayout layout;
  const int x = s(state == kNoSidePanel ? 5 : 205);
  switch (pass) {
    case LayoutPass::kCreate:
      layout.inputBox = {s(105), s(35), width - s(15), s(25)};
      layout.wordList = {s(5), s(80), width - s(15), s(150)};
      layout.contentPane = {s(105), s(90), width - s(15), height - s(165)};
      layout.sidePanel = {0, state == kFindPanel ? s(30) : 0, s(150), height - s(110)};
      layout.rebar = {0, 0, width, s(50)};
      layout.wordListColumn = width - s(36);
      break;
    case LayoutPass::kResize:
    case LayoutPass::kPanelSwitch: {
      const bool resize = pass == LayoutPass::kResize;
      layout.inputBox = {x + s(5), s(35), width - x - s(15), s(resize ? 30 : 25)};
      layout.wordList = {x, s(resize ? 65 : 60), width - x, s(resize ? 145 : 150)};
      layout.contentPane = {x, s(90), width - x, height - s(110)};
      layout.sidePanel = {s(3), s(35), s(200), height - s(55)};
      layout.rebar = {0, 0, width, 0};
      break;
    }
  }
  layout.entryArea = {x, s(60), width - x, height - s(60)};
  // The glyph cells grow by whole factors only; the strip's top stays where
  // the 96-DPI layout puts it scaled, the glyphs under it.
  if (state == kNoSidePanel) {
    layout.strip = {true, {s(5), s(70), s(kStripBandRight - 5), s(20)}, s(5), s(75)};
  } else if (state == kFindPanel || state == kShelfPanel) {
    layout.strip = {true, {s(203), s(70), s(kStripBandRight - 203), s(20)}, s(205), s(75)};
  }
  layout.strip.factor = WholeFactor(dpi);
  return layout;
}

// The size creation lays out for before the first WM_SIZE: a third of the
// screen's width, a little under half its height.
inline void CreationSize(int* width, int* height) {
  *width = GetSystemMetrics(SM_CXFULLSCREEN) / 3;
  *height = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 30;
}

}  // namespace quill
