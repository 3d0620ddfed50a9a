// Encoding for the book tool: the inverse of decoder.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quill {

// The back-reference limits of the token format.
inline constexpr std::size_t kMaxMatchDistance = 2047;
inline constexpr std::size_t kMinMatchLength = 3;
inline constexpr std::size_t kMaxMatchLength = 18;

// For every position i of data[0, n): the longest run starting at i that
// also starts at most kMaxMatchDistance bytes earlier, capped at
// kMaxMatchLength and at the end of the data, into length[i] (0 when it is
// shorter than kMinMatchLength) with one distance that reaches it into
// distance[i]. Exact, not heuristic: the parse relies on it.
void FindLongestMatches(const std::uint8_t* data, std::size_t n, std::uint8_t* length,
                        std::uint16_t* distance);

// The shortest token stream that Expand turns back into data[0, n).
std::vector<std::uint8_t> CompressTokens(const std::uint8_t* data, std::size_t n);

// data[0, n) as a stored buffer: a flag byte and whichever payload is
// smaller, the compressed token stream (flag 1) or the raw bytes (flag 0,
// also on a tie).
std::vector<std::uint8_t> EncodeStored(const std::uint8_t* data, std::size_t n);

}  // namespace quill
