#include "book/decoder.h"

#include <cstring>

namespace quill {

std::ptrdiff_t Expand(const std::uint8_t* payload, std::uint8_t* dest,
                      std::size_t n, std::size_t capacity) {
  std::size_t i = 0;
  std::size_t o = 0;
  while (i < n) {
    const unsigned b0 = payload[i++];
    if (b0 >= 1 && b0 <= 8) {
      if (b0 > n - i || b0 > capacity - o) return kMalformedStream;
      std::memcpy(dest + o, payload + i, b0);
      i += b0;
      o += b0;
    } else if (b0 <= 0x7F) {
      if (o == capacity) return kMalformedStream;
      dest[o++] = static_cast<std::uint8_t>(b0);
    } else {
      if (i == n) return kMalformedStream;
      const unsigned b1 = payload[i++];
      const std::size_t distance = ((b0 & 0x7Fu) << 4) | (b1 >> 4);
      const std::size_t length = (b1 & 0x0Fu) + 3;
      if (distance == 0 || distance > o || length > capacity - o) {
        return kMalformedStream;
      }
      std::uint8_t* out = dest + o;
      const std::uint8_t* from = out - distance;
      if (distance >= length) {
        std::memcpy(out, from, length);
      } else {
        // Overlapping copy: repeats the last `distance` bytes, front to back.
        for (std::size_t k = 0; k < length; ++k) out[k] = from[k];
      }
      o += length;
    }
  }
  return static_cast<std::ptrdiff_t>(o);
}

std::ptrdiff_t DecodeStored(const std::uint8_t* stored, std::uint8_t* dest,
                            std::size_t storedLength, std::size_t capacity) {
  if (storedLength == 0) return kMalformedStream;
  const std::size_t n = storedLength - 1;
  if (stored[0] != 0) return Expand(stored + 1, dest, n, capacity);
  if (n > capacity) return kMalformedStream;
  if (n != 0) std::memcpy(dest, stored + 1, n);
  return static_cast<std::ptrdiff_t>(n);
}

}  // namespace quill
