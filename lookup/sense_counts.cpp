#include "lookup/sense_counts.h"

#include <cstddef>
#include <string>

#include "book/fold_case.h"
#include "book/utf.h"

// The table that cmake/sense_counts_table.py makes at build time.
namespace quill::sense_counts_table {
extern const std::size_t kWords;
extern const char kText[];
extern const std::uint32_t kStarts[];
extern const std::uint32_t kCounts[];
}  // namespace quill::sense_counts_table

namespace quill::lookup {

namespace {

namespace table = sense_counts_table;

std::string_view Word(std::size_t n) {
  return std::string_view(table::kText + table::kStarts[n], table::kStarts[n + 1] - table::kStarts[n]);
}

}  // namespace

std::uint32_t SenseCount(std::u16string_view key) {
  std::u16string folded(key);
  for (char16_t& u : folded) u = FoldUnit(u);
  std::string word;
  AppendUtf8(folded.data(), folded.size(), &word);
  std::size_t low = 0;
  std::size_t high = table::kWords;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (Word(middle) < word) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low < table::kWords && Word(low) == word ? table::kCounts[low] : 0;
}

}  // namespace quill::lookup
