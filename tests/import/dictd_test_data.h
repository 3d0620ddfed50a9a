// Small dictd databases made by the tests themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quill::import::testing {

// A number in dictd's base-64 digits.
std::string Base64(std::uint64_t value);

// The bytes as one gzip member, as dictzip writes them (without its
// random-access table, which a whole-file reader does not need).
std::vector<std::uint8_t> Gzip(const std::vector<std::uint8_t>& bytes);

// A database of (headword, article) pairs: the .index and .dict texts.
struct DictdFiles {
  std::string index;
  std::string dict;
};
DictdFiles MakeDictd(const std::vector<std::pair<std::string, std::string>>& articles);

}  // namespace quill::import::testing
