#include "book/book_builder.h"

#include <algorithm>
#include <cstring>

#include "book/book_format.h"
#include "book/compressor.h"
#include "book/fold_case.h"

namespace quill {

namespace {

struct Block {
  std::vector<std::uint8_t> text;  // decoded
  std::vector<std::uint8_t> stored;
};

void AppendUnits(std::vector<std::uint8_t>& out, const std::u16string& text) {
  for (const char16_t u : text) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  }
}

std::vector<std::uint8_t> Store(const std::vector<std::uint8_t>& data, bool compress) {
  if (compress) return EncodeStored(data.data(), data.size());
  std::vector<std::uint8_t> stored(data.size() + 1, 0);
  if (!data.empty()) std::memcpy(stored.data() + 1, data.data(), data.size());
  return stored;
}

template <typename Record>
std::vector<std::uint8_t> RecordBytes(const std::vector<Record>& records) {
  std::vector<std::uint8_t> bytes(records.size() * sizeof(Record));
  if (!bytes.empty()) std::memcpy(bytes.data(), records.data(), bytes.size());
  return bytes;
}

std::string Describe(std::size_t n, const std::u16string& key) {
  std::string ascii;
  for (const char16_t u : key.substr(0, 40)) {
    ascii += (u >= 0x20 && u < 0x7F) ? static_cast<char>(u) : '?';
  }
  return "entry " + std::to_string(n) + " (key \"" + ascii + "\")";
}

}  // namespace

void SortEntries(std::vector<BookEntry>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const BookEntry& a, const BookEntry& b) {
    return CompareFolded(a.key.data(), a.key.size(), b.key.data(), b.key.size()) < 0;
  });
}

int BuildBookImage(const std::vector<BookEntry>& entries, const BookLayout& layout,
                   std::vector<std::uint8_t>* image, std::string* error) {
  if (layout.title.size() > kTitleUnits - 1) {
    *error = "title longer than 21 units";
    return 0;
  }
  if (entries.size() > 0x7FFFFFFF) {
    *error = "more than 2^31 - 1 entries";
    return 0;
  }
  std::vector<EntryIndexRecord> entryIndex(entries.size());
  std::vector<Block> blocks;
  int textBufferUnits = 1;
  std::size_t first = 0;  // first entry of the open block

  // Closes the open block over entries [first, end); splits it when its
  // stored form would not fit the 16-bit stored size.
  auto closeBlock = [&](std::size_t end, auto& self) -> bool {
    if (first == end) return true;
    Block block;
    for (std::size_t n = first; n < end; ++n) {
      EntryIndexRecord& r = entryIndex[n];
      r.block = static_cast<std::uint16_t>(blocks.size());
      r.keyOffset = static_cast<std::uint16_t>(block.text.size());
      AppendUnits(block.text, entries[n].key);
      AppendUnits(block.text, entries[n].content);
    }
    block.stored = Store(block.text, layout.compressBlocks);
    if (block.stored.size() > kMaxStoredBlockBytes) {
      if (end - first == 1) {
        *error = Describe(first, entries[first].key) + " is too large to store in a block";
        return false;
      }
      const std::size_t middle = first + (end - first) / 2;
      const std::size_t start = first;
      if (!self(middle, self)) return false;
      first = middle;
      if (!self(end, self)) return false;
      first = start;
      return true;
    }
    if (blocks.size() >= 0xFFFF) {
      *error = "more than 65,535 blocks";
      return false;
    }
    blocks.push_back(std::move(block));
    return true;
  };

  std::size_t openBytes = 0;
  for (std::size_t n = 0; n < entries.size(); ++n) {
    const BookEntry& e = entries[n];
    if (e.key.size() > kMaxKeyUnits) {
      *error = Describe(n, e.key) + ": key longer than 511 units";
      return 0;
    }
    if (n == 0 && e.key.size() > kMaxFirstKeyUnits) {
      *error = Describe(n, e.key) + ": first key longer than 49 units";
      return 0;
    }
    if (e.content.size() > kMaxTextUnits) {
      *error = Describe(n, e.key) + ": content longer than 65,534 bytes";
      return 0;
    }
    const std::size_t bytes = 2 * (e.key.size() + e.content.size());
    // keyOffset is 16 bits wide, so a block takes no entry past 64 KiB.
    if (openBytes > 0 && (openBytes + bytes > layout.blockBytes || openBytes > 0xFFFF)) {
      if (!closeBlock(n, closeBlock)) return 0;
      first = n;
      openBytes = 0;
    }
    entryIndex[n].keyBytes = static_cast<std::uint16_t>(2 * e.key.size());
    entryIndex[n].contentBytes = static_cast<std::uint16_t>(2 * e.content.size());
    openBytes += bytes;
    textBufferUnits = std::max({textBufferUnits, static_cast<int>(e.key.size()) + 1,
                                static_cast<int>(e.content.size()) + 1});
  }
  if (!closeBlock(entries.size(), closeBlock)) return 0;

  BookHeader header;
  std::memset(&header, 0, sizeof header);
  header.magic = kBookMagic;
  std::copy(layout.title.begin(), layout.title.end(), header.title);
  header.entryCount = static_cast<std::int32_t>(entries.size());
  header.lineSeparator = layout.lineSeparator;
  header.textBufferUnits = textBufferUnits;
  header.blockCount = static_cast<std::uint32_t>(blocks.size());

  std::uint64_t offset = kHeaderBytes;
  std::vector<BlockIndexRecord> blockIndex(blocks.size());
  std::size_t maxBlock = 0;
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    blockIndex[b].fileOffset = static_cast<std::uint32_t>(offset);
    blockIndex[b].storedBytes = static_cast<std::uint16_t>(blocks[b].stored.size());
    maxBlock = std::max({maxBlock, blocks[b].stored.size(), blocks[b].text.size()});
    offset += blocks[b].stored.size();
    if (offset > 0xFFFFFFFFu) {
      *error = "book larger than 4 GiB";
      return 0;
    }
  }
  header.maxBlockSize = static_cast<std::uint32_t>(maxBlock);
  // The reader sizes the entry index for one record more than the count.
  const std::vector<std::uint8_t> storedBlockIndex =
      Store(RecordBytes(blockIndex), layout.compressIndexes);
  const std::vector<std::uint8_t> storedEntryIndex =
      Store(RecordBytes(entryIndex), layout.compressIndexes);
  const std::uint64_t total = offset + storedBlockIndex.size() + storedEntryIndex.size();
  if (total > 0xFFFFFFFFu) {
    *error = "book larger than 4 GiB";
    return 0;
  }
  header.blockIndexOffset = static_cast<std::uint32_t>(offset);
  header.blockIndexSize = static_cast<std::uint32_t>(storedBlockIndex.size());
  header.entryIndexOffset = static_cast<std::uint32_t>(offset + storedBlockIndex.size());
  header.entryIndexSize = static_cast<std::uint32_t>(storedEntryIndex.size());

  image->assign(static_cast<std::size_t>(total), 0);
  std::uint8_t* out = image->data();
  std::memcpy(out, &header, sizeof header);
  out += sizeof header;
  auto put = [&out](const std::vector<std::uint8_t>& bytes) {
    std::memcpy(out, bytes.data(), bytes.size());
    out += bytes.size();
  };
  for (const Block& block : blocks) put(block.stored);
  put(storedBlockIndex);
  put(storedEntryIndex);
  return 1;
}

}  // namespace quill
