// The fixed buffers the program keeps its texts in, named once for the core
// and the windows alike.
#pragma once

#include <cstddef>

namespace quill {

// A path: a book's, the installation folder, a shelf book's (the Windows
// MAX_PATH, which the shell checks).
inline constexpr std::size_t kPathBytes = 260;

// A word, key or title: the input box's copy, a word-list row, a history
// item, the status bar's title; also the UTF-16 units a key or typed word
// is read into before conversion.
inline constexpr std::size_t kTextBytes = 512;
inline constexpr std::size_t kTextUnits = kTextBytes;

}  // namespace quill
