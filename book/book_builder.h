// Lays entries out as a book file: the writing half of the book format,
// used by the xqb tool and by tests that need books of a given shape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quill {

struct BookEntry {
  std::u16string key;
  std::u16string content;
};

struct BookLayout {
  std::u16string title;
  std::int32_t lineSeparator = 0x0A;
  // Decoded size a text block is filled up to; an entry larger than this
  // gets a block of its own.
  std::size_t blockBytes = 16384;
  bool compressBlocks = true;
  bool compressIndexes = true;
};

// Puts entries into entry order: by key with "A" to "Z" folded, keys that
// are equal once folded keeping their order.
void SortEntries(std::vector<BookEntry>& entries);

// Builds the image of a book holding entries in the order given. Returns 1,
// or 0 with a message in *error naming what the format cannot hold (a key
// over 511 units, a first key over 49, a content over 65,534 bytes, a title
// over 21 units, more than 65,535 blocks, a file over 4 GiB).
int BuildBookImage(const std::vector<BookEntry>& entries, const BookLayout& layout,
                   std::vector<std::uint8_t>* image, std::string* error);

}  // namespace quill
