#include "shell/keyboard.h"

#include "win/controls.h"

namespace quill {

namespace {

// The character that follows a key the main window took (a Tab, the
// control character of Ctrl+H) is dropped by the control's subclass; one
// flag will do, since only the focused control gets keys.
bool dropNextCharacter = false;

LRESULT CALLBACK RouteKeysProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR, DWORD_PTR mainWindow) {
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (SendMessageW(reinterpret_cast<HWND>(mainWindow), MSG_CONTROL_KEY, wParam,
                       reinterpret_cast<LPARAM>(control)) != FALSE) {
        dropNextCharacter = true;
        return 0;
      }
      dropNextCharacter = false;
      break;
    case WM_CHAR:
    case WM_SYSCHAR:
      if (dropNextCharacter) {
        dropNextCharacter = false;
        return 0;
      }
      break;
    case WM_GETDLGCODE:
      // Tab comes to the control as a key, whoever asks.
      return PassToControl(control, message, wParam, lParam, &RouteKeysProc) | DLGC_WANTTAB;
    default:
      break;
  }
  return PassToControl(control, message, wParam, lParam, &RouteKeysProc);
}

}  // namespace

int CommandForKey(UINT key, bool control, bool shift, bool alt) {
  for (const CommandKey& command : kCommandKeys) {
    if (command.key == key && command.control == control && command.shift == shift &&
        command.alt == alt) {
      return command.command;
    }
  }
  return 0;
}

Modifiers HeldModifiers() {
  return {GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0};
}

HWND NextInOrder(const std::vector<HWND>& order, HWND current, bool backwards) {
  if (order.empty()) return nullptr;
  const std::size_t count = order.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (order[i] == current) return order[(backwards ? i + count - 1 : i + 1) % count];
  }
  return backwards ? order.back() : order.front();
}

bool RouteWindowKeys(HWND control, HWND mainWindow) {
  return SubclassControl(control, &RouteKeysProc, mainWindow);
}

}  // namespace quill
