// The one case rule of books: only "A" to "Z" fold, to "a" to "z". Entry
// order, word lookup and finds all compare folded text unit by unit as
// unsigned 16-bit values.
#pragma once

#include <cstddef>

namespace quill {

constexpr char16_t FoldUnit(char16_t u) {
  return (u >= u'A' && u <= u'Z') ? static_cast<char16_t>(u + 0x20) : u;
}

// Folds the zero-terminated text in place.
void FoldCase(char16_t* text);

// Compares a and b (of the given lengths, in units) after folding, without
// changing them: negative, 0 or positive. A proper prefix sorts first.
int CompareFolded(const char16_t* a, std::size_t aLength, const char16_t* b,
                  std::size_t bLength);

}  // namespace quill
