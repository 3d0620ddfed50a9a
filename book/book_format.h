// The on-disk layout of a Quillpad book (.xqb): a 512-byte header, a stored
// entry index, a stored block index and stored text blocks. All integers are
// little-endian; the structures below mirror the file byte for byte.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "book structures are read straight from little-endian files");

namespace quill {

inline constexpr std::size_t kHeaderBytes = 512;
// "XQB" followed by a zero byte, read as one little-endian 32-bit value.
inline constexpr std::uint32_t kBookMagic = 0x00425158u;
inline constexpr int kTitleUnits = 22;  // 21 units and a terminator

struct BookHeader {
  std::uint32_t magic;
  std::uint8_t reserved1[192];
  char16_t title[kTitleUnits];
  std::int32_t entryCount;
  std::int32_t lineSeparator;
  std::int32_t textBufferUnits;
  std::uint8_t reserved2[8];
  std::uint32_t blockCount;
  std::uint32_t blockIndexOffset;
  std::uint32_t blockIndexSize;
  std::uint32_t entryIndexOffset;
  std::uint32_t entryIndexSize;
  std::uint32_t maxBlockSize;
  std::uint8_t reserved3[228];
};

static_assert(sizeof(BookHeader) == kHeaderBytes);
static_assert(offsetof(BookHeader, title) == 0x0C4);
static_assert(offsetof(BookHeader, entryCount) == 0x0F0);
static_assert(offsetof(BookHeader, lineSeparator) == 0x0F4);
static_assert(offsetof(BookHeader, textBufferUnits) == 0x0F8);
static_assert(offsetof(BookHeader, blockCount) == 0x104);
static_assert(offsetof(BookHeader, blockIndexOffset) == 0x108);
static_assert(offsetof(BookHeader, entryIndexSize) == 0x114);
static_assert(offsetof(BookHeader, maxBlockSize) == 0x118);

// Where one entry lies inside its decoded text block. The content follows
// the key directly; neither carries a terminator.
struct EntryIndexRecord {
  std::uint16_t block;
  std::uint16_t keyOffset;
  std::uint16_t keyBytes;
  std::uint16_t contentBytes;
};
static_assert(sizeof(EntryIndexRecord) == 8);

// Where one stored text block lies in the file.
struct BlockIndexRecord {
  std::uint32_t fileOffset;
  std::uint16_t storedBytes;  // flag byte included
  std::uint16_t reserved;
};
static_assert(sizeof(BlockIndexRecord) == 8);

// Limits that follow from the field widths. A key is read into 512-unit
// buffers by the views, and entry 0's key into one of 50 units.
inline constexpr int kMaxKeyUnits = 511;
inline constexpr int kMaxFirstKeyUnits = 49;
inline constexpr int kMaxStoredBlockBytes = 0xFFFF;
// A back-reference (2 bytes) yields at most 18 bytes, so no stored buffer of
// L bytes can decode to more than 9 * (L - 1) bytes.
inline constexpr std::uint64_t kMaxExpansion = 9;
inline constexpr std::size_t kMaxDecodedBlockBytes =
    kMaxExpansion * (kMaxStoredBlockBytes - 1);
// keyBytes and contentBytes are 16-bit byte counts of whole units.
inline constexpr int kMaxTextUnits = 0xFFFF / 2;

}  // namespace quill
