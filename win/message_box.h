// The one way the program tells the user of a failure: a message box with
// an OK button. A null caption gives the platform's own ("Error").
#pragma once

#include <windows.h>

#include <string>

#include "win/wide_text.h"

namespace quill {

inline constexpr char kErrorCaption[] = "ERROR";

inline void ShowError(HWND owner, const char* text, const char* caption = kErrorCaption) {
  MessageBoxW(owner, Widen(text).c_str(), caption != nullptr ? Widen(caption).c_str() : nullptr,
              MB_OK);
}

// The same for a text of any script.
inline void ShowError(HWND owner, const std::u16string& text, const char* caption = kErrorCaption) {
  MessageBoxW(owner, reinterpret_cast<const wchar_t*>(text.c_str()),
              caption != nullptr ? Widen(caption).c_str() : nullptr, MB_OK);
}

}  // namespace quill
