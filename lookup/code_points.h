// Reading UTF-16 text as code points after the books' A-Z folding, for the
// look-ups that measure words in code points. A lone surrogate stands as
// itself.
#pragma once

#include <cstddef>
#include <string_view>

namespace quill::lookup {

// The code point of text at *at (< text.size()), moving *at past it.
inline char32_t NextCodePoint(std::u16string_view text, std::size_t* at) {
  const char16_t u = text[*at];
  ++*at;
  if (u >= 0xD800 && u <= 0xDBFF && *at < text.size() && text[*at] >= 0xDC00 && text[*at] <= 0xDFFF) {
    const char32_t low = text[*at];
    ++*at;
    return 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (low - 0xDC00);
  }
  return u;
}

// The same, with A-Z folded.
inline char32_t NextFoldedCodePoint(std::u16string_view text, std::size_t* at) {
  const char32_t c = NextCodePoint(text, at);
  return (c >= U'A' && c <= U'Z') ? c + 0x20 : c;
}

}  // namespace quill::lookup
