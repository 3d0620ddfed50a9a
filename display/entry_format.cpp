#include "display/entry_format.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "book/book_format.h"

namespace quill {

namespace {

constexpr char16_t kCr = 0x0D;
constexpr char16_t kLf = 0x0A;
constexpr char16_t kOpenBracket = u'[';
constexpr char16_t kCloseBracket = u']';

// The largest display text any stored content can need: every unit a
// separator, then CR LF and the zero unit.
constexpr std::size_t kMaxDisplayUnits = 2 * static_cast<std::size_t>(kMaxTextUnits) + 3;

}  // namespace

int SeparatorUnit(std::int32_t lineSeparator) {
  // The low byte read as a signed character: 0x80 and above turn negative
  // and can never equal a unit, 0 equals only the terminator.
  const auto low = static_cast<std::int8_t>(static_cast<std::uint32_t>(lineSeparator) & 0xFFu);
  return low > 0 ? low : -1;
}

std::size_t FormatPlain(const char16_t* content, char16_t* destination, std::size_t limit,
                        std::int32_t separator) {
  if (limit < 3) {
    if (limit > 0) destination[0] = 0;
    return 0;
  }
  const int split = SeparatorUnit(separator);
  const std::size_t last = limit - 3;  // the CR LF and zero unit start here at the latest
  std::size_t o = 0;
  for (const char16_t* p = content; *p != 0; ++p) {
    if (static_cast<int>(*p) == split) {
      if (o + 2 > last) break;
      destination[o++] = kCr;
      destination[o++] = kLf;
    } else {
      if (o + 1 > last) break;
      destination[o++] = *p;
    }
  }
  destination[o] = kCr;
  destination[o + 1] = kLf;
  destination[o + 2] = 0;
  return o + 2;
}

std::size_t ExtractPhonetic(const char16_t* content, char16_t* phonetic) {
  std::size_t copied = 0;
  bool inside = false;
  for (std::size_t i = 0; content[i] != 0; ++i) {
    const char16_t u = content[i];
    if (u == kOpenBracket) {
      if (i > kLastPhoneticStart) break;
      inside = true;
    } else if (!inside) {
      continue;
    }
    phonetic[copied++] = u;
    if (u == kCloseBracket || copied == kMaxPhoneticChars) break;
  }
  if (copied == 0) return 0;
  phonetic[copied] = 0;
  return copied + 1;
}

std::size_t FormatAfterPhonetic(const char16_t* content, char16_t* destination,
                                char16_t* phonetic, std::size_t limit, std::int32_t separator) {
  if (ExtractPhonetic(content, phonetic) == 0) {
    return FormatPlain(content, destination, limit, separator);
  }
  const int split = SeparatorUnit(separator);
  const char16_t* rest = content;
  while (*rest != 0) {
    if (static_cast<int>(*rest++) == split) break;
  }
  return FormatPlain(rest, destination, limit, separator);
}

std::size_t BuildDisplayText(const char16_t* content, char16_t* destination,
                             char16_t* phonetic, std::size_t limit, std::int32_t separator) {
  std::memset(phonetic, 0, kPhoneticUnits * sizeof(char16_t));
  if (limit > 0) destination[0] = 0;
  std::size_t units = 0;
  if (content != nullptr) {
    units = FormatAfterPhonetic(content, destination, phonetic, limit, separator);
  }
  if (units == 0) {
    constexpr std::size_t kMissingUnits = std::size(kMissingEntryText);
    units = std::min(limit, kMissingUnits);
    if (units == 0) return 0;
    std::memcpy(destination, kMissingEntryText, (units - 1) * sizeof(char16_t));
    destination[units - 1] = 0;
    units -= 1;
  }
  return units;
}

std::size_t DisplayLimit(std::int32_t textBufferUnits) {
  const std::size_t units = textBufferUnits > 0 ? static_cast<std::size_t>(textBufferUnits) : 0;
  return std::min(units + kDisplayExtraUnits, kMaxDisplayUnits);
}

std::size_t ContentCapacity(std::int32_t textBufferUnits) {
  const std::size_t largest = static_cast<std::size_t>(kMaxTextUnits) + 1;
  const std::size_t units = textBufferUnits > 0 ? static_cast<std::size_t>(textBufferUnits) : 1;
  return std::min(units, largest);
}

}  // namespace quill
