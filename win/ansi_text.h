// Conversions between UTF-16 and a code page, for what outside the program
// still speaks one.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>

#include "win/wide_text.h"

namespace quill {

// A zero-terminated text in some code page; bytes is null when there is none.
struct AnsiText {
  std::unique_ptr<char[]> bytes;
  std::size_t length = 0;  // without the terminator
  const char* c_str() const { return bytes ? bytes.get() : ""; }
};

// Converts units of UTF-16 (terminator not needed) into codePage. The buffer
// is sized for the converted text itself, so a text comes out whole in any
// code page, a multi-byte one included: true, or false (out empty) when the
// conversion or the allocation fails.
[[nodiscard]] bool ToAnsi(UINT codePage, DWORD flags, const char16_t* text, std::size_t units,
                          AnsiText* out);

// Converts a zero-terminated UTF-16 key or word into outBytes bytes of out
// in the ANSI code page, with the WideCharToMultiByte flags the caller
// needs, always leaving out zero-terminated; a text that does not fit comes
// out empty rather than cut: true, or false when it came out empty that
// way (callers that show the empty text need not look).
bool KeyToAnsi(const char16_t* key, char* out, std::size_t outBytes, DWORD flags);

// Converts a zero-terminated ANSI text of at most sourceBytes bytes into
// destination (capacityUnits units, the terminator included), cutting what
// does not fit: the number of units written before the zero unit.
std::size_t FromAnsi(UINT codePage, const char* source, std::size_t sourceBytes,
                     char16_t* destination, std::size_t capacityUnits);


}  // namespace quill
