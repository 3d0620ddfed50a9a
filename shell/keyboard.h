// The keyboard's way round the main window: Tab, Shift+Tab and F6 between
// its parts, and a key for every toolbar command. The keys are caught in
// the controls' own window procedures and handed to the main window, so
// that Enter and Esc keep what they do in each control (no dialog-message
// processing in the message loop).
#pragma once

#include <windows.h>

#include <vector>

#include "resources/ids.h"

namespace quill {

// A toolbar command's key, with the modifiers it needs (exactly those).
struct CommandKey {
  UINT key;
  bool control;
  bool shift;
  bool alt;
  int command;
};

inline constexpr CommandKey kCommandKeys[] = {
    {'O', true, false, false, IDM_OPEN_BOOK},          // Ctrl+O
    {VK_LEFT, false, false, true, IDM_PREVIOUS_ENTRY},  // Alt+Left
    {VK_RIGHT, false, false, true, IDM_NEXT_ENTRY},     // Alt+Right
    {'R', true, false, false, IDM_SPEAK},               // Ctrl+R: read aloud
    {'F', true, false, false, IDM_FIND_PANEL},          // Ctrl+F
    {'B', true, false, false, IDM_BOOK_SHELF},          // Ctrl+B
    {'H', true, false, false, IDM_HISTORY},             // Ctrl+H
    {VK_F1, false, false, false, IDM_ABOUT},            // F1
    {'R', true, true, false, IDM_VOICE_SETTING},        // Ctrl+Shift+R
};

// The command of key pressed with the modifiers given, or 0.
int CommandForKey(UINT key, bool control, bool shift, bool alt);

// The modifiers held now, as this thread's keyboard state has them.
struct Modifiers {
  bool control;
  bool shift;
  bool alt;
};
Modifiers HeldModifiers();

// Where Tab (or Shift+Tab, backwards) goes from current in order: the next
// control round the order; the first (the last) when current is not in it;
// null for an empty order.
HWND NextInOrder(const std::vector<HWND>& order, HWND current, bool backwards);

// Hands the keys of the main window's keyboard (Tab, F6, the command keys)
// pressed in control to mainWindow as MSG_CONTROL_KEY; a key the main
// window takes (TRUE) goes no further, nor the character it makes.
bool RouteWindowKeys(HWND control, HWND mainWindow);

}  // namespace quill
