#include <string>
#include <vector>

#include "book/compressor.h"
#include "book/decoder.h"
#include "fuzz/fuzz_entries.h"
#include "import/tsv_reader.h"

namespace quill::fuzz {

int ReadTsvOne(const std::uint8_t* data, std::size_t size) {
  std::vector<BookEntry> entries;
  std::vector<std::size_t> lines;
  std::string problem;
  if (!import::ReadTsv(data, size, &entries, &lines, &problem)) {
    if (problem.empty()) __builtin_trap();
    return 0;
  }
  if (entries.size() != lines.size()) __builtin_trap();
  for (const BookEntry& e : entries) {
    // A content written back the way dump writes it reads the same again.
    std::string line = "k\t";
    if (!import::AppendEscapedContent(e.content.data(), e.content.size(), &line)) __builtin_trap();
    std::vector<BookEntry> again;
    std::vector<std::size_t> againLines;
    if (!import::ReadTsv(reinterpret_cast<const std::uint8_t*>(line.data()), line.size(), &again,
                      &againLines, &problem) ||
        again.size() != 1 || again[0].content != e.content) {
      __builtin_trap();
    }
    // And the compressor gives it back whole.
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(e.content.data());
    const std::size_t n = 2 * e.content.size();
    const std::vector<std::uint8_t> stored = EncodeStored(bytes, n);
    std::vector<std::uint8_t> decoded(n);
    if (stored.size() > n + 1 ||
        DecodeStored(stored.data(), decoded.data(), stored.size(), n) != static_cast<std::ptrdiff_t>(n) ||
        (n != 0 && std::char_traits<char>::compare(reinterpret_cast<const char*>(decoded.data()),
                                                   reinterpret_cast<const char*>(bytes), n) != 0)) {
      __builtin_trap();
    }
  }
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::ReadTsvOne(data, size);
}
#endif
