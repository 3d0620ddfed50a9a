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

// As FindLongestMatches, but a match found at i may be shorter than the
// longest: only so many earlier positions are tried. Every match given is
// real and in reach. Several times faster, and on dictionary text the
// stream it leads to is about 0.1 % longer.
void FindLongMatches(const std::uint8_t* data, std::size_t n, std::uint8_t* length,
                     std::uint16_t* distance);

// Which match finder a token stream is made with.
enum class MatchSearch {
  kLongest,  // FindLongestMatches: the shortest stream there is
  kFast,     // FindLongMatches: books, where time counts
};

// The shortest token stream that Expand turns back into data[0, n) from the
// matches found: with kLongest the shortest of all.
std::vector<std::uint8_t> CompressTokens(const std::uint8_t* data, std::size_t n,
                                         MatchSearch search = MatchSearch::kLongest);

// data[0, n) as a stored buffer: a flag byte and whichever payload is
// smaller, the compressed token stream (flag 1) or the raw bytes (flag 0,
// also on a tie).
std::vector<std::uint8_t> EncodeStored(const std::uint8_t* data, std::size_t n,
                                       MatchSearch search = MatchSearch::kLongest);

}  // namespace quill
