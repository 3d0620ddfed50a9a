// The dictd database input of xqb build: NAME.index, a UTF-8 text of one
// line per headword (headword, offset and length of its article in
// NAME.dict, tab-separated, the numbers in dictd's base-64 digits), and
// NAME.dict, the articles, or NAME.dict.dz, the same gzip-compressed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "book/book_builder.h"

namespace quill::xqb {

struct DictdRecord {
  std::size_t line;       // in the .index, from 1
  std::string headword;   // as written, UTF-8 not yet checked
  std::uint64_t offset;   // of the article in the .dict text
  std::uint64_t length;
};

// Reads the .index text. A fourth field, which dictd writes when the first
// one is a folded form, is the headword as first written and is taken
// instead. Returns 1, or 0 with a message naming the line in *problem.
int ReadDictdIndex(const std::uint8_t* text, std::size_t n, std::vector<DictdRecord>* records,
                   std::string* problem);

// How much of the .dict text the records reach into.
std::uint64_t DictdTextNeeded(const std::vector<DictdRecord>& records);

// One entry per record, in index order, with its article from dict[0, n)
// as the content: line breaks as U+000A, the ones at the end dropped. The
// database's own records (headwords "00-database-..." or "00database...")
// give no entry; the short name among them, when there is one, goes into
// *title. Returns 1, or 0 with a message naming the index line.
int ReadDictdArticles(const std::vector<DictdRecord>& records, const std::uint8_t* dict,
                      std::size_t n, std::vector<BookEntry>* entries,
                      std::vector<std::size_t>* lines, std::u16string* title,
                      std::string* problem);

// Inflates gzip data (a dictzip file is gzip with an index in its header)
// into *out, stopping once `wanted` bytes are out or the data ends. Returns
// 1, or 0 with the reason in *problem when the data is damaged or ends
// early.
int InflateGzip(const std::uint8_t* data, std::size_t n, std::uint64_t wanted,
                std::vector<std::uint8_t>* out, std::string* problem);

// Inflates gzip data handed over a piece at a time, through a fixed
// buffer, as InflateGzip does the whole: several members make one text,
// zero bytes after the last are padding.
class GzipInflater {
 public:
  // Receives each inflated piece.
  using Sink = void (*)(void* context, const std::uint8_t* bytes, std::size_t n);
  GzipInflater(Sink sink, void* context);
  ~GzipInflater();
  GzipInflater(const GzipInflater&) = delete;
  GzipInflater& operator=(const GzipInflater&) = delete;

  // The next compressed bytes. Returns 1, or 0 with the reason in *problem
  // once the data is damaged (later calls return 0 too).
  int Feed(const std::uint8_t* data, std::size_t n, std::string* problem);
  // After the last piece: 1, or 0 with the reason when the data ends early.
  int Finish(std::string* problem);

 private:
  // Inflates data[0, n) up to a member's end; *used: how much was taken.
  int Inflate(const std::uint8_t* data, std::size_t n, std::size_t* used, std::string* problem);

  Sink sink_;
  void* context_;
  struct Stream;
  std::unique_ptr<Stream> stream_;
  std::vector<std::uint8_t> out_;
  bool failed_ = false;
  std::string problem_;
  bool memberEnded_ = false;  // the bytes since a member's end are all zero
  std::size_t zeros_ = 0;     // how many of them
};

}  // namespace quill::xqb
