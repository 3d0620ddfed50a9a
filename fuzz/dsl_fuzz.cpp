#include <string>

#include "fuzz/fuzz_entries.h"
#include "import/dsl_reader.h"
#include "import/ipa.h"

namespace quill::fuzz {

int ReadDslOne(const std::uint8_t* data, std::size_t size) {
  import::DslBook book;
  std::string problem;
  if (!import::ReadDsl(data, size, &book, &problem)) {
    if (problem.empty()) __builtin_trap();
    return 0;
  }
  if (book.entries.size() != book.lines.size()) __builtin_trap();
  for (const BookEntry& e : book.entries) {
    // Every key is a word; a content opens with a "[" the reader would
    // take for a transcription only when it is one the strip draws whole.
    if (e.key.empty() || e.key.front() == u' ' || e.key.back() == u' ') __builtin_trap();
    if (e.content.find(u'[') <= 5 && !import::IsStripLine(e.content.substr(0, e.content.find(u'\n')))) {
      __builtin_trap();
    }
  }
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::ReadDslOne(data, size);
}
#endif
