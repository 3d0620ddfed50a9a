// The one way the program tells the user of a failure: a message box with
// an OK button. A null caption gives the platform's own ("Error").
#pragma once

#include <windows.h>

#include "win/wide_text.h"

namespace quill {

inline constexpr char kErrorCaption[] = "ERROR";

inline void ShowError(HWND owner, const char* text, const char* caption = kErrorCaption) {
  MessageBoxW(owner, Widen(text).c_str(), caption != nullptr ? Widen(caption).c_str() : nullptr,
              MB_OK);
}

}  // namespace quill
