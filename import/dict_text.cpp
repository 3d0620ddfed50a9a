#include "import/dict_text.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "import/dictd_reader.h"
#include "import/gzip.h"

namespace quill::import {

namespace {

constexpr std::uint8_t kFlagHeaderCrc = 0x02;
constexpr std::uint8_t kFlagExtra = 0x04;
constexpr std::uint8_t kFlagName = 0x08;
constexpr std::uint8_t kFlagComment = 0x10;
constexpr std::uint8_t kFlagReserved = 0xE0;
constexpr std::size_t kTrailerBytes = 8;  // CRC-32 and the size, mod 2^32

std::uint32_t Little16(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
}

std::uint32_t Little32(const std::uint8_t* p) {
  return Little16(p) | (Little16(p + 2) << 16);
}

// The RA subfield of the gzip extra field: version 1, the chunk size, the
// chunk count and each chunk's compressed size, all 16-bit.
int ReadChunkTable(const std::uint8_t* extra, std::size_t n, std::size_t dataStart,
                   DictzipTable* table, std::string* problem) {
  std::size_t p = 0;
  while (n - p >= 4) {
    const std::size_t length = Little16(extra + p + 2);
    if (length > n - p - 4) break;
    const std::uint8_t* field = extra + p + 4;
    if (extra[p] == 'R' && extra[p + 1] == 'A') {
      const std::size_t count = length >= 6 ? Little16(field + 4) : 0;
      if (length < 6 || Little16(field) != 1 || length != 6 + 2 * count ||
          Little16(field + 2) == 0) {
        *problem = "the dictzip chunk table in the header is damaged";
        return 0;
      }
      table->chunkBytes = Little16(field + 2);
      std::uint64_t at = dataStart;
      table->starts.push_back(at);
      for (std::size_t c = 0; c < count; ++c) {
        at += Little16(field + 6 + 2 * c);
        table->starts.push_back(at);
      }
      return 1;
    }
    p += 4 + length;
  }
  if (p != n) {
    *problem = "the gzip header's extra field is damaged";
    return 0;
  }
  return -1;
}

// The index past the NUL-terminated text at data[p], or 0 when it runs on
// past n.
std::size_t SkipZeroTerminated(const std::uint8_t* data, std::size_t n, std::size_t p) {
  const void* zero = p < n ? std::memchr(data + p, 0, n - p) : nullptr;
  return zero == nullptr ? 0 : static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - data) + 1;
}

std::string ChunkProblem(std::size_t number, std::uint64_t at, const std::string& what) {
  return "dictzip chunk " + std::to_string(number) + " at byte " + std::to_string(at) + " " +
         what;
}

// Inflates one chunk, raw deflate ended by a flush, into out, as far as it
// has room. Returns the bytes it gave, or -1 with zlib's message in *why
// when the chunk is damaged.
std::ptrdiff_t InflateChunk(const std::uint8_t* data, std::size_t n,
                            std::vector<std::uint8_t>* out, std::string* why) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
    *why = "cannot start the gzip decoder";
    return -1;
  }
  stream.next_in = const_cast<Bytef*>(data);
  stream.avail_in = static_cast<uInt>(n);
  stream.next_out = out->data();
  stream.avail_out = static_cast<uInt>(out->size());
  const int result = inflate(&stream, Z_SYNC_FLUSH);
  // Out of room with input left: more than the chunk should hold, which the
  // caller tells by the size.
  const bool whole = (stream.avail_in == 0 || stream.avail_out == 0) &&
                     (result == Z_OK || result == Z_STREAM_END || result == Z_BUF_ERROR);
  if (!whole && stream.msg != nullptr) *why = stream.msg;
  const auto produced = static_cast<std::ptrdiff_t>(out->size() - stream.avail_out);
  inflateEnd(&stream);
  return whole ? produced : -1;
}

}  // namespace

int ReadDictzipHeader(const std::uint8_t* data, std::size_t n, DictzipTable* table,
                      std::string* problem) {
  *table = DictzipTable{};
  if (n < 10 + kTrailerBytes || data[0] != 0x1F || data[1] != 0x8B || data[2] != 8) {
    *problem = "not gzip data";
    return 0;
  }
  const std::uint8_t flags = data[3];
  if ((flags & kFlagReserved) != 0) {
    *problem = "the gzip header is damaged (reserved flags set)";
    return 0;
  }
  const std::size_t end = n - kTrailerBytes;
  std::size_t p = 10;
  const std::uint8_t* extra = nullptr;
  std::size_t extraBytes = 0;
  if ((flags & kFlagExtra) != 0) {
    if (end - p < 2 || Little16(data + p) > end - p - 2) {
      *problem = "the gzip header is damaged (its extra field runs past the data)";
      return 0;
    }
    extraBytes = Little16(data + p);
    extra = data + p + 2;
    p += 2 + extraBytes;
  }
  if ((flags & kFlagName) != 0) p = SkipZeroTerminated(data, end, p);
  if (p != 0 && (flags & kFlagComment) != 0) p = SkipZeroTerminated(data, end, p);
  if (p != 0 && (flags & kFlagHeaderCrc) != 0) p = end - p >= 2 ? p + 2 : 0;
  if (p == 0) {
    *problem = "the gzip header is damaged (it runs past the data)";
    return 0;
  }
  table->trailerSize = Little32(data + n - 4);
  if (extra == nullptr) return -1;
  const int found = ReadChunkTable(extra, extraBytes, p, table, problem);
  if (found == 1 && table->starts.back() > end) {
    *problem = "the dictzip chunk table is damaged (its chunks run " +
               std::to_string(table->starts.back() - end) + " bytes past the data)";
    return 0;
  }
  return found;
}

void DictText::OpenPlain(const std::uint8_t* data, std::size_t n) {
  data_ = data;
  n_ = n;
  size_ = n;
  chunked_ = false;
}

int DictText::OpenGzip(const std::uint8_t* data, std::size_t n, std::uint64_t wanted,
                       std::string* problem) {
  data_ = data;
  n_ = n;
  const int header = ReadDictzipHeader(data, n, &table_, problem);
  if (header == 0) return 0;
  if (header < 0) {
    chunked_ = false;
    if (!InflateGzip(data, n, wanted, &whole_, problem)) return 0;
    data_ = whole_.data();
    size_ = whole_.size();
    return 1;
  }
  chunked_ = true;
  const std::size_t count = table_.starts.size() - 1;
  size_ = 0;
  if (count == 0) return 1;
  const Chunk* last = nullptr;
  if (!LoadChunk(count - 1, &last, problem)) return 0;
  size_ = std::uint64_t{count - 1} * table_.chunkBytes + last->text.size();
  if (static_cast<std::uint32_t>(size_) != table_.trailerSize) {
    *problem = "the dictzip chunk table is damaged (its chunks hold " + std::to_string(size_) +
               " bytes, the gzip trailer says " + std::to_string(table_.trailerSize) + ")";
    return 0;
  }
  return 1;
}

DictText DictText::Another() const {
  DictText other;
  other.data_ = data_;  // the inflated text of a plain gzip file stays ours
  other.n_ = n_;
  other.size_ = size_;
  other.chunked_ = chunked_;
  other.table_ = table_;
  return other;
}

int DictText::LoadChunk(std::size_t number, const Chunk** chunk, std::string* problem) {
  for (const Chunk& c : cache_) {
    if (c.number == number) {
      *chunk = &c;
      return 1;
    }
  }
  Chunk& slot = cache_[nextSlot_];
  nextSlot_ = (nextSlot_ + 1) % 2;
  slot.number = static_cast<std::size_t>(-1);
  const std::uint64_t start = table_.starts[number];
  const auto stored = static_cast<std::size_t>(table_.starts[number + 1] - start);
  // One byte of room over the chunk size shows a chunk that holds too much.
  slot.text.resize(table_.chunkBytes + 1);
  std::string why;
  const std::ptrdiff_t produced = InflateChunk(data_ + start, stored, &slot.text, &why);
  if (produced < 0) {
    *problem = ChunkProblem(number, start, "is damaged" + (why.empty() ? "" : " (" + why + ")"));
    return 0;
  }
  const bool last = number + 2 == table_.starts.size();
  const auto size = static_cast<std::size_t>(produced);
  if (size > table_.chunkBytes || (!last && size != table_.chunkBytes)) {
    *problem = ChunkProblem(number, start, "holds " + std::to_string(size) +
                                               " bytes, not the table's " +
                                               std::to_string(table_.chunkBytes));
    return 0;
  }
  slot.text.resize(size);
  slot.number = number;
  *chunk = &slot;
  return 1;
}

int DictText::Read(std::uint64_t offset, std::size_t size, const std::uint8_t** text,
                   std::string* problem) {
  if (!chunked_) {
    *text = data_ + offset;
    return 1;
  }
  const std::size_t first = static_cast<std::size_t>(offset / table_.chunkBytes);
  const std::size_t within = static_cast<std::size_t>(offset % table_.chunkBytes);
  const Chunk* chunk = nullptr;
  if (size == 0) {
    *text = nullptr;
    return 1;
  }
  if (!LoadChunk(first, &chunk, problem)) return 0;
  if (within + size <= chunk->text.size()) {
    *text = chunk->text.data() + within;
    return 1;
  }
  span_.assign(chunk->text.begin() + static_cast<std::ptrdiff_t>(within), chunk->text.end());
  for (std::size_t c = first + 1; span_.size() < size; ++c) {
    if (!LoadChunk(c, &chunk, problem)) return 0;
    const std::size_t take = std::min(size - span_.size(), chunk->text.size());
    span_.insert(span_.end(), chunk->text.begin(), chunk->text.begin() + static_cast<std::ptrdiff_t>(take));
  }
  *text = span_.data();
  return 1;
}

}  // namespace quill::import
