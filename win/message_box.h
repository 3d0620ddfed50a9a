// The one way the program tells the user of a failure: a message box with
// an OK button. A null caption gives the platform's own ("Error").
#pragma once

#include <windows.h>

namespace quill {

inline constexpr char kErrorCaption[] = "ERROR";

inline void ShowError(HWND owner, const char* text, const char* caption = kErrorCaption) {
  MessageBoxA(owner, text, caption, MB_OK);
}

}  // namespace quill
