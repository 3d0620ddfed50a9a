// Entry points of the display fuzz targets, shared with the corpus replay.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::fuzz {

// Formats the input as an entry content: 4 bytes of lineSeparator, 2 bytes
// of display buffer size, then the content's UTF-16LE units.
int FormatContentOne(const std::uint8_t* data, std::size_t size);

}  // namespace quill::fuzz
