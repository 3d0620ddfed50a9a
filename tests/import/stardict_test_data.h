// Small StarDict dictionaries and dictzip files made by the tests
// themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quill::import::testing {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(const std::string& text);

struct StarDictPlan {
  std::string bookname = "Test Dictionary";
  std::string sameTypeSequence;  // none: every data carries its type letters
  int offsetBits = 32;
  // (word, data) in .idx order; the data as it goes into the .dict.
  std::vector<std::pair<std::string, std::string>> words;
  // (synonym, number of its .idx word); no .syn when empty.
  std::vector<std::pair<std::string, std::uint32_t>> synonyms;
};

struct StarDictFixture {
  std::string ifo;
  Bytes idx;
  Bytes dict;
  Bytes syn;
};

// The files of a dictionary; the .ifo's counts and sizes match them.
StarDictFixture MakeStarDict(const StarDictPlan& plan);

// A typed field: a type letter, then the text and its NUL (lower-case
// types) or a big-endian size and the bytes (upper-case ones).
std::string Field(char type, const std::string& content);

// text as a dictzip file: chunks of chunkBytes compressed on their own,
// their sizes in the header's RA field, as dictzip writes them.
Bytes Dictzip(const std::string& text, std::size_t chunkBytes);

}  // namespace quill::import::testing
