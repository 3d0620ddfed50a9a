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

namespace quill::import {

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

}  // namespace quill::import
