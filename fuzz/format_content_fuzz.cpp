#include <cstring>
#include <vector>

#include "display/entry_format.h"
#include "fuzz/display_fuzz_entries.h"

namespace quill::fuzz {

int FormatContentOne(const std::uint8_t* data, std::size_t size) {
  if (size < 6) return 0;
  std::int32_t separator = 0;
  std::memcpy(&separator, data, sizeof separator);
  const std::size_t limit = static_cast<std::size_t>(data[4] | data[5] << 8);
  // Exact-size heap buffers, so that the sanitizer sees any overrun.
  std::vector<char16_t> content((size - 6) / 2 + 1, 0);
  for (std::size_t i = 0; i + 1 < content.size(); ++i) {
    content[i] = static_cast<char16_t>(data[6 + 2 * i] | data[7 + 2 * i] << 8);
  }
  std::vector<char16_t> display(limit);
  char16_t phonetic[kPhoneticUnits];
  const std::size_t units =
      BuildDisplayText(content.data(), display.data(), phonetic, limit, separator);
  if (limit > 0 && (units >= limit || display[units] != 0)) __builtin_trap();
  std::size_t phoneticUnits = 0;
  while (phoneticUnits < kPhoneticUnits && phonetic[phoneticUnits] != 0) ++phoneticUnits;
  if (phoneticUnits > kMaxPhoneticChars) __builtin_trap();
  // Every content that fits ends with CR LF.
  if (limit >= 3 && (units < 2 || display[units - 2] != 0x0D || display[units - 1] != 0x0A)) {
    __builtin_trap();
  }
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::FormatContentOne(data, size);
}
#endif
