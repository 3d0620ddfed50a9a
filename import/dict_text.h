// The text of a dictionary's .dict file, read a range at a time: plain
// bytes; a dictzip file (.dict.dz: gzip whose header holds a table of
// chunks, each compressed on its own) by inflating only the chunks a range
// lies in; or any other gzip file inflated whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quill::import {

struct DictzipTable {
  std::size_t chunkBytes = 0;          // decoded size of each chunk but the last
  std::vector<std::uint64_t> starts;   // of each chunk's data in the file, then its end
  std::uint32_t trailerSize = 0;       // the decoded size the gzip trailer gives, mod 2^32
};

// Reads the gzip header at data[0, n). Returns 1 with the chunk table of a
// dictzip file, -1 for gzip without one, or 0 with the reason in *problem
// when the header or its table is damaged or the data is not gzip.
int ReadDictzipHeader(const std::uint8_t* data, std::size_t n, DictzipTable* table,
                      std::string* problem);

class DictText {
 public:
  // Plain text; the bytes are not copied and must outlive the reads.
  void OpenPlain(const std::uint8_t* data, std::size_t n);

  // gzip data, which must outlive the reads: a dictzip file is read chunk
  // by chunk (its last chunk is inflated now, for the text's size), any
  // other is inflated now, up to `wanted` bytes. Returns 1, or 0 with the
  // reason in *problem.
  int OpenGzip(const std::uint8_t* data, std::size_t n, std::uint64_t wanted,
               std::string* problem);

  // Another reader of the same text, with its own chunks: for a thread of
  // its own. This one must outlive it.
  DictText Another() const;

  // The size of the whole text (of what was inflated, for plain gzip).
  std::uint64_t Size() const { return size_; }

  // Points *text at `size` bytes from `offset`, which must lie within
  // Size(); valid until the next Read. Returns 1, or 0 with the reason in
  // *problem when a chunk they lie in is damaged.
  int Read(std::uint64_t offset, std::size_t size, const std::uint8_t** text,
           std::string* problem);

 private:
  struct Chunk {
    std::size_t number = static_cast<std::size_t>(-1);
    std::vector<std::uint8_t> text;
  };
  int LoadChunk(std::size_t number, const Chunk** chunk, std::string* problem);

  const std::uint8_t* data_ = nullptr;
  std::size_t n_ = 0;
  std::uint64_t size_ = 0;
  bool chunked_ = false;
  DictzipTable table_;
  std::vector<std::uint8_t> whole_;  // plain gzip, inflated
  Chunk cache_[2];                   // the chunks read last
  std::size_t nextSlot_ = 0;
  std::vector<std::uint8_t> span_;   // a range across chunks
};

}  // namespace quill::import
