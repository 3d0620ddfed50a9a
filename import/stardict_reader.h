// The StarDict input of xqb build:
// - NAME.ifo: the line "StarDict's dict ifo file", then UTF-8 key=value
//   lines (bookname, wordcount, idxfilesize, synwordcount,
//   sametypesequence, idxoffsetbits);
// - NAME.idx, or NAME.idx.gz: per word, the word (UTF-8, NUL-terminated)
//   and the offset and size of its data in the .dict, big-endian, the
//   offset 64-bit when idxoffsetbits is 64;
// - NAME.dict, or NAME.dict.dz: the data, fields of text or binary, each of
//   a type named by a letter;
// - NAME.syn, when there is one: per synonym, the word (NUL-terminated) and
//   the number of the .idx word it stands for, 32-bit big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "book/book_builder.h"
#include "import/ipa.h"

namespace quill::import {

enum class StarDictFile { kIfo, kIdx, kDict, kSyn };

// A refusal: the file it is about, and why, naming the word or offset.
struct StarDictProblem {
  StarDictFile file = StarDictFile::kIfo;
  std::string what;
  bool stopped = false;  // not a fault: the reading was asked to stop
};

struct StarDictInfo {
  std::u16string title;  // bookname
  std::uint64_t wordCount = 0;
  std::uint64_t idxFileSize = 0;
  std::uint64_t synWordCount = 0;
  bool haveSynWordCount = false;
  std::string sameTypeSequence;
  int offsetBits = 32;
};

// Reads the .ifo text. Returns 1, or 0 with the reason: no magic line,
// wordcount or idxfilesize missing, a number or type letter that is not
// one, idxoffsetbits other than 32 or 64, a bookname not in UTF-8.
int ReadStarDictInfo(const std::uint8_t* text, std::size_t n, StarDictInfo* info,
                     std::string* problem);

struct StarDictWord {
  std::string word;       // UTF-8, not yet checked
  std::size_t at;         // where its record starts in the .idx
  std::uint64_t offset;   // of its data in the .dict text
  std::uint32_t size;
};

// Reads the .idx (inflated) in file order. Returns 1, or 0 with the reason
// naming the word: a record cut short, words out of StarDict's order (ASCII
// letters folded, then byte by byte), more or fewer words or bytes than the
// .ifo says.
int ReadStarDictIndex(const std::uint8_t* idx, std::size_t n, const StarDictInfo& info,
                      std::vector<StarDictWord>* words, StarDictProblem* problem);

// Fields left out of the book (resources, binary data, unknown types), by
// type letter.
using SkippedFields = std::map<char, std::size_t>;

// The content of one word's data: its text fields as readable text, one
// after the other on lines of their own, under the transcription ("t") in
// brackets on the first line when the strip can draw it (else as a plain
// first line; counted in *transcriptions when given). Returns 1, or 0 with
// the reason naming the field: a field cut short, text that is not UTF-8.
int StarDictContent(const std::uint8_t* data, std::size_t n, const std::string& sameTypeSequence,
                    std::u16string* content, SkippedFields* skipped, std::string* problem,
                    TranscriptionCounts* transcriptions = nullptr);

// The files as read; the .idx and .dict may still be gzip-compressed.
struct StarDictFiles {
  std::vector<std::uint8_t> ifo;
  std::vector<std::uint8_t> idx;
  bool idxGzip = false;
  std::vector<std::uint8_t> dict;
  bool dictGzip = false;
  bool haveSyn = false;
  std::vector<std::uint8_t> syn;
};

struct StarDictBook {
  std::u16string title;
  // One entry per .idx word in file order, then one per synonym (but one
  // that only repeats its word).
  std::vector<BookEntry> entries;
  // Per entry: its word's number in the .idx, or its synonym's in the .syn,
  // from 1.
  std::vector<std::size_t> numbers;
  std::size_t synonymsFrom = 0;  // the first entry that is a synonym
  SkippedFields skipped;
  TranscriptionCounts transcriptions;
};

// Words read so far and in all, told now and then on the calling thread;
// returning false stops the reading.
using StarDictProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Reads a whole dictionary. Returns 1, or 0 with the file and the reason
// (or when progress asked to stop, with problem->stopped set).
int ReadStarDict(const StarDictFiles& files, StarDictBook* book, StarDictProblem* problem,
                 const StarDictProgress& progress = nullptr);

}  // namespace quill::import
