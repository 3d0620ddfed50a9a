// Encoding for the book tool: the inverse of decoder.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quill {

// The shortest token stream that Expand turns back into data[0, n).
std::vector<std::uint8_t> CompressTokens(const std::uint8_t* data, std::size_t n);

// data[0, n) as a stored buffer: a flag byte and whichever payload is
// smaller, the compressed token stream (flag 1) or the raw bytes (flag 0,
// also on a tie).
std::vector<std::uint8_t> EncodeStored(const std::uint8_t* data, std::size_t n);

}  // namespace quill
