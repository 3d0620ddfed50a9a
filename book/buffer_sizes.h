// The fixed buffers the program keeps its texts in, named once for the core
// and the windows alike. Texts are UTF-16; the sizes count units.
#pragma once

#include <cstddef>

namespace quill {

// A path: a book's, the installation folder, a shelf book's (the Windows
// MAX_PATH, which the shell checks).
inline constexpr std::size_t kPathUnits = 260;

// A word, key or title: the input box's copy, a word-list row, a history
// item, the status bar's title.
inline constexpr std::size_t kTextUnits = 512;

}  // namespace quill
