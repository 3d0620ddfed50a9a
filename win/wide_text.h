// Text as the windows take it: UTF-16 from the book to the screen and back.
// The core spells a unit char16_t, Windows wchar_t; they are the same.
#pragma once

#include <windows.h>

#include <string>

namespace quill {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* AsUnits(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}
inline char16_t* AsUnits(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }

// The program's own fixed texts are ASCII; this spells one as UTF-16.
std::wstring Widen(const char* ascii);

// A window's whole text.
std::u16string WindowText(HWND window);

// A UTF-16 path as the core takes it (UTF-8), and back; empty when it
// cannot be converted.
std::string PathToUtf8(const wchar_t* path);

}  // namespace quill
