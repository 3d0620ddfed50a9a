#include "book/decoder.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) && !defined(QUILL_PORTABLE_DECODER)
#include <emmintrin.h>
#define QUILL_DECODER_SSE2 1
#endif

namespace quill {

namespace {

// The fast loop looks at the payload a window at a time: it finds every
// byte that opens a literal run or a back-reference in the window at once,
// and then decodes token by token from that mask, without a branch for
// each single-byte token (a third of all tokens in dictionary text) and
// without waiting for a load to learn where the next token starts.
constexpr std::size_t kWideWindow = 64;
constexpr std::size_t kNarrowWindow = 16;
// A token that starts inside the window reads at most this far past it: a
// literal run's eight bytes, copied as one word.
constexpr std::size_t kReadPastWindow = 8;
// From where a token group starts, the fast loop writes at most this far:
// the single-byte tokens before the opener, copied eight bytes at a time,
// then a back-reference copied as three words.
constexpr std::size_t kWritePastGroup = kWideWindow + 24;

std::uint64_t Load8(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void Store8(std::uint8_t* p, std::uint64_t v) { std::memcpy(p, &v, sizeof v); }

#ifdef QUILL_DECODER_SSE2

// Bit k set when p[k] opens a literal run (0x01 to 0x08) or a
// back-reference (0x80 to 0xFF): as signed bytes, those below 9 but not 0.
std::uint32_t OpenerBits16(const std::uint8_t* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i below9 = _mm_cmplt_epi8(v, _mm_set1_epi8(9));
  const __m128i zero = _mm_cmpeq_epi8(v, _mm_setzero_si128());
  return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_andnot_si128(zero, below9)));
}

#else

constexpr std::uint64_t kEachByte = 0x0101010101010101ull;
constexpr std::uint64_t kLow7 = 0x7F * kEachByte;
constexpr std::uint64_t kHigh = 0x80 * kEachByte;

// The same eight bytes at a time in plain integers. The sums cannot carry
// from one byte into the next; the multiply gathers the eight high bits
// into the top byte, one distinct power of two each.
std::uint32_t OpenerBits8(std::uint64_t w) {
  const std::uint64_t low = w & kLow7;
  const std::uint64_t atLeast1 = low + 0x7F * kEachByte;
  const std::uint64_t atLeast9 = low + 0x77 * kEachByte;
  const std::uint64_t high = (w | (atLeast1 & ~atLeast9)) & kHigh;
  return static_cast<std::uint32_t>(((high >> 7) * 0x0102040810204080ull) >> 56);
}

std::uint32_t OpenerBits16(const std::uint8_t* p) {
  return OpenerBits8(Load8(p)) | (OpenerBits8(Load8(p + 8)) << 8);
}

#endif

std::uint64_t OpenerBits64(const std::uint8_t* p) {
  return std::uint64_t{OpenerBits16(p)} | (std::uint64_t{OpenerBits16(p + 16)} << 16) |
         (std::uint64_t{OpenerBits16(p + 32)} << 32) |
         (std::uint64_t{OpenerBits16(p + 48)} << 48);
}

// The careful loop: every token checked against both ends. It decodes what
// the fast loop leaves near the ends of the buffers, and streams too short
// for the fast loop.
std::ptrdiff_t ExpandCarefully(const std::uint8_t* payload, std::uint8_t* dest, std::size_t n,
                               std::size_t capacity, std::size_t i, std::size_t o) {
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
      // Front to back, so that a distance below the length repeats the
      // last `distance` bytes.
      for (std::size_t k = 0; k < length; ++k) out[k] = from[k];
      o += length;
    }
  }
  return static_cast<std::ptrdiff_t>(o);
}

}  // namespace

std::ptrdiff_t Expand(const std::uint8_t* payload, std::uint8_t* dest, std::size_t n,
                      std::size_t capacity) {
  const std::uint8_t* ip = payload;
  std::uint8_t* op = dest;
  if (capacity >= kWritePastGroup) {
    // Every group of the fast loop starts at or before opLast, so none can
    // write past the capacity; words it writes beyond its own output are
    // overwritten by the next group or lie past the result.
    std::uint8_t* const opLast = dest + (capacity - kWritePastGroup);
    const std::uint8_t* const end = payload + n;
    while (op <= opLast) {
      const auto left = static_cast<std::size_t>(end - ip);
      std::size_t window = kWideWindow;
      std::uint64_t openers = 0;
      if (left >= kWideWindow + kReadPastWindow) {
        openers = OpenerBits64(ip);
      } else if (left >= kNarrowWindow + kReadPastWindow) {
        window = kNarrowWindow;
        openers = OpenerBits16(ip);
      } else {
        break;
      }
      std::size_t at = 0;  // bytes of the window decoded
      for (;;) {
        // The single-byte tokens up to the next opener stand for
        // themselves: copy them a word at a time.
        const std::size_t next =
            openers == 0 ? window : static_cast<std::size_t>(std::countr_zero(openers));
        const std::size_t plain = next - at;
        Store8(op, Load8(ip + at));
        for (std::size_t k = 8; k < plain; k += 8) Store8(op + k, Load8(ip + at + k));
        op += plain;
        at = next;
        if (at == window) break;
        const unsigned b0 = ip[at];
        if (b0 < 0x80) {
          // A literal run of b0 bytes, 1 to 8.
          Store8(op, Load8(ip + at + 1));
          op += b0;
          at += 1 + b0;
        } else {
          const unsigned b1 = ip[at + 1];
          const std::size_t distance = ((b0 & 0x7Fu) << 4) | (b1 >> 4);
          const std::size_t length = (b1 & 0x0Fu) + 3;
          if (distance == 0 || distance > static_cast<std::size_t>(op - dest)) {
            return kMalformedStream;
          }
          const std::uint8_t* from = op - distance;
          if (distance >= 8) {
            // Each word read was written before: by earlier output, or by
            // the word just stored.
            Store8(op, Load8(from));
            Store8(op + 8, Load8(from + 8));
            Store8(op + 16, Load8(from + 16));
          } else {
            for (std::size_t k = 0; k < length; ++k) op[k] = from[k];
          }
          op += length;
          at += 2;
        }
        if (at >= window || op > opLast) break;
        openers &= ~std::uint64_t{0} << at;
      }
      ip += at;
    }
  }
  return ExpandCarefully(payload, dest, n, capacity, static_cast<std::size_t>(ip - payload),
                         static_cast<std::size_t>(op - dest));
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
