#include "win/ansi_text.h"

#include <climits>
#include <cstring>
#include <new>

namespace quill {

namespace {

// The first halves of UTF-16 surrogate pairs.
constexpr char16_t kHighSurrogateFirst = 0xD800;
constexpr char16_t kHighSurrogateLast = 0xDBFF;

bool IsHighSurrogate(char16_t unit) {
  return unit >= kHighSurrogateFirst && unit <= kHighSurrogateLast;
}

}  // namespace

bool ToAnsi(UINT codePage, DWORD flags, const char16_t* text, std::size_t units, AnsiText* out) {
  out->bytes.reset();
  out->length = 0;
  if (units > INT_MAX) return false;
  if (units == 0) {
    out->bytes.reset(new (std::nothrow) char[1]);
    if (!out->bytes) return false;
    out->bytes[0] = 0;
    return true;
  }
  const int wideUnits = static_cast<int>(units);
  const int needed = WideCharToMultiByte(codePage, flags, AsWide(text), wideUnits, nullptr, 0,
                                         nullptr, nullptr);
  if (needed <= 0 || needed == INT_MAX) return false;
  std::unique_ptr<char[]> bytes(new (std::nothrow) char[static_cast<std::size_t>(needed) + 1]);
  if (!bytes) return false;
  const int written = WideCharToMultiByte(codePage, flags, AsWide(text), wideUnits, bytes.get(),
                                          needed, nullptr, nullptr);
  if (written <= 0) return false;
  bytes[static_cast<std::size_t>(written)] = 0;
  out->bytes = std::move(bytes);
  out->length = static_cast<std::size_t>(written);
  return true;
}

bool KeyToAnsi(const char16_t* key, char* out, std::size_t outBytes, DWORD flags) {
  if (outBytes == 0) return false;
  const int capacity = outBytes > INT_MAX ? INT_MAX : static_cast<int>(outBytes);
  const int n = WideCharToMultiByte(CP_ACP, flags, AsWide(key), -1, out, capacity, nullptr, nullptr);
  if (n <= 0) out[0] = 0;
  out[outBytes - 1] = 0;
  return n > 0;
}

std::size_t FromAnsi(UINT codePage, const char* source, std::size_t sourceBytes,
                     char16_t* destination, std::size_t capacityUnits) {
  if (capacityUnits == 0) return 0;
  destination[0] = 0;
  const std::size_t bytes = strnlen(source, sourceBytes);
  if (bytes == 0 || bytes > INT_MAX) return 0;
  // Every byte makes at most one unit, so a buffer of one unit per byte
  // takes the whole text; the part that fits is copied from there.
  std::unique_ptr<char16_t[]> whole(new (std::nothrow) char16_t[bytes]);
  if (!whole) return 0;
  const int converted = MultiByteToWideChar(codePage, 0, source, static_cast<int>(bytes),
                                            AsWide(whole.get()), static_cast<int>(bytes));
  if (converted <= 0) return 0;
  std::size_t units = static_cast<std::size_t>(converted);
  if (units > capacityUnits - 1) {
    units = capacityUnits - 1;
    // Never end on the first half of a surrogate pair.
    if (units > 0 && IsHighSurrogate(whole[units - 1])) --units;
  }
  std::memcpy(destination, whole.get(), units * sizeof(char16_t));
  destination[units] = 0;
  return units;
}

}  // namespace quill
