// Decoding of stored buffers: a flag byte, then a raw or compressed payload.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill {

inline constexpr std::ptrdiff_t kMalformedStream = -1;

// Decodes the compressed token stream payload[0, n) into dest, which holds
// capacity bytes; returns the number of bytes written, or kMalformedStream if
// a token runs past the payload, a back-reference reaches before the start
// of the output (or has distance 0), or the output would exceed capacity.
// Never reads or writes outside the two buffers.
std::ptrdiff_t Expand(const std::uint8_t* payload, std::uint8_t* dest,
                      std::size_t n, std::size_t capacity);

// Decodes a stored buffer of storedLength bytes (flag byte 0: raw payload,
// any other flag: compressed) into dest of capacity bytes; returns the bytes
// written or kMalformedStream, also for a stored buffer of 0 bytes.
std::ptrdiff_t DecodeStored(const std::uint8_t* stored, std::uint8_t* dest,
                            std::size_t storedLength, std::size_t capacity);

}  // namespace quill
