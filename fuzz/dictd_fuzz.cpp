#include <string>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "import/dictd_reader.h"
#include "import/gzip.h"

namespace quill::fuzz {

int ReadDictdOne(const std::uint8_t* data, std::size_t size) {
  // Two bytes give the length of the .index text, the rest is the .dict
  // text, gzip-compressed (a .dz) when it starts with gzip's signature.
  if (size < 2) return 0;
  std::size_t indexBytes = static_cast<std::size_t>(data[0] | (data[1] << 8));
  if (indexBytes > size - 2) indexBytes = size - 2;
  const std::uint8_t* index = data + 2;
  const std::uint8_t* dict = index + indexBytes;
  std::size_t dictBytes = size - 2 - indexBytes;

  std::vector<import::DictdRecord> records;
  std::string problem;
  if (!import::ReadDictdIndex(index, indexBytes, &records, &problem)) {
    if (problem.empty()) __builtin_trap();
    return 0;
  }
  std::vector<std::uint8_t> inflated;
  if (dictBytes >= 2 && dict[0] == 0x1F && dict[1] == 0x8B) {
    // Bounded, as the index's own numbers are not to be trusted here.
    std::uint64_t wanted = import::DictdTextNeeded(records);
    if (wanted > (1u << 20)) wanted = 1u << 20;
    if (!import::InflateGzip(dict, dictBytes, wanted, &inflated, &problem)) return 0;
    if (inflated.size() > wanted) __builtin_trap();
    dict = inflated.data();
    dictBytes = inflated.size();
  }
  std::vector<BookEntry> entries;
  std::vector<std::size_t> lines;
  std::u16string title;
  if (import::ReadDictdArticles(records, dict, dictBytes, &entries, &lines, &title, &problem) &&
      entries.size() != lines.size()) {
    __builtin_trap();
  }
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::ReadDictdOne(data, size);
}
#endif
