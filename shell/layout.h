// Where the main window's controls go. Creation, resizing and the side-panel
// switch take their numbers from LayOutMainWindow and hand each child its
// box, so a new piece placed beside the others changes one table, not four
// functions.
#pragma once

#include <windows.h>

#include "display/entry_view.h"
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

// The strip's band ends at this x whatever the window's width.
inline constexpr int kStripBandRight = 1024;

// The places of every control for pass, state and the client size (for
// kCreate, the size from CreationSize()).
constexpr MainLayout LayOutMainWindow(LayoutPass pass, SidePanelState state, int width,
                                      int height) {
  MainLayout layout;
  const int x = state == kNoSidePanel ? 5 : 205;
  switch (pass) {
    case LayoutPass::kCreate:
      layout.inputBox = {105, 35, width - 15, 25};
      layout.wordList = {5, 80, width - 15, 150};
      layout.contentPane = {105, 90, width - 15, height - 165};
      layout.sidePanel = {0, state == kFindPanel ? 30 : 0, 150, height - 110};
      layout.rebar = {0, 0, width, 50};
      layout.wordListColumn = width - 36;
      break;
    case LayoutPass::kResize:
    case LayoutPass::kPanelSwitch: {
      const bool resize = pass == LayoutPass::kResize;
      layout.inputBox = {x + 5, 35, width - x - 15, resize ? 30 : 25};
      layout.wordList = {x, resize ? 65 : 60, width - x, resize ? 145 : 150};
      layout.contentPane = {x, 90, width - x, height - 110};
      layout.sidePanel = {3, 35, 200, height - 55};
      layout.rebar = {0, 0, width, 0};
      break;
    }
  }
  layout.entryArea = {x, 60, width - x, height - 60};
  if (state == kNoSidePanel) {
    layout.strip = {true, {5, 70, kStripBandRight - 5, 20}, 5, 75};
  } else if (state == kFindPanel || state == kShelfPanel) {
    layout.strip = {true, {203, 70, kStripBandRight - 203, 20}, 205, 75};
  }
  return layout;
}

// The size creation lays out for before the first WM_SIZE: a third of the
// screen's width, a little under half its height.
inline void CreationSize(int* width, int* height) {
  *width = GetSystemMetrics(SM_CXFULLSCREEN) / 3;
  *height = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 30;
}

}  // namespace quill
