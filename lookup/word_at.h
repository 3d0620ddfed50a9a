// The word a double-click on a text picks, for looking it up.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace quill::lookup {

// Whether a text is a key of the book the word is for.
using KeyTest = std::function<bool(std::u16string_view)>;

struct WordSpan {
  std::size_t begin = 0;  // units of the text, begin == end for none
  std::size_t end = 0;
};

// The word of text at unit at (or ending just before it): the run of
// letters and digits there, with the apostrophes and hyphens inside it,
// never punctuation or spaces. In a script written without spaces
// (Chinese, Japanese, Thai and the like) it is the longest key (isKey)
// that starts at that character, else the character alone. Empty when
// there is no word there.
WordSpan WordAt(std::u16string_view text, std::size_t at, const KeyTest& isKey);

}  // namespace quill::lookup
