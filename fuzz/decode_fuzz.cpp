#include <cstring>
#include <vector>

#include "book/decoder.h"
#include "fuzz/fuzz_entries.h"

namespace quill::fuzz {

int DecodeOne(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the destination's capacity, the rest is the stored
  // buffer: exact-size heap buffers let the sanitizer see any overrun.
  const std::size_t capacity = static_cast<std::size_t>(data[0]) * 37;
  std::vector<std::uint8_t> stored(data + 1, data + size);
  std::vector<std::uint8_t> dest(capacity);
  const std::ptrdiff_t n = DecodeStored(stored.data(), dest.data(), stored.size(), capacity);
  if (n > static_cast<std::ptrdiff_t>(capacity)) __builtin_trap();
  // Also decode the same bytes as a bare token stream.
  std::vector<std::uint8_t> dest2(capacity);
  const std::ptrdiff_t m = Expand(stored.data(), dest2.data(), stored.size(), capacity);
  if (m > static_cast<std::ptrdiff_t>(capacity)) __builtin_trap();
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::DecodeOne(data, size);
}
#endif
