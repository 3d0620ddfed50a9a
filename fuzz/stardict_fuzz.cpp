#include <string>
#include <vector>

#include "fuzz/fuzz_entries.h"
#include "import/ipa.h"
#include "import/stardict_reader.h"

namespace quill::fuzz {

namespace {

bool IsGzip(const std::vector<std::uint8_t>& bytes) {
  return bytes.size() >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B;
}

// The next part of the input: as many bytes as the 16-bit length at
// lengths[0, 2) asks for, or what is left.
std::vector<std::uint8_t> Part(const std::uint8_t* lengths, const std::uint8_t* data,
                               std::size_t size, std::size_t* p) {
  std::size_t n = static_cast<std::size_t>(lengths[0] | (lengths[1] << 8));
  if (n > size - *p) n = size - *p;
  std::vector<std::uint8_t> part(data + *p, data + *p + n);
  *p += n;
  return part;
}

}  // namespace

int ReadStarDictOne(const std::uint8_t* data, std::size_t size) {
  // Six bytes give the lengths of the .ifo, .idx and .syn; the rest is the
  // .dict. An .idx or .dict that starts with gzip's signature is read as
  // gzip (a dictzip when its header has a chunk table).
  if (size < 6) return 0;
  std::size_t p = 6;
  import::StarDictFiles files;
  files.ifo = Part(data, data, size, &p);
  files.idx = Part(data + 2, data, size, &p);
  files.syn = Part(data + 4, data, size, &p);
  files.dict.assign(data + p, data + size);
  files.haveSyn = !files.syn.empty();
  files.idxGzip = IsGzip(files.idx);
  files.dictGzip = IsGzip(files.dict);
  import::StarDictBook book;
  import::StarDictProblem problem;
  if (!import::ReadStarDict(files, &book, &problem)) {
    if (problem.what.empty()) __builtin_trap();
    return 0;
  }
  if (book.entries.size() != book.numbers.size() || book.synonymsFrom > book.entries.size()) {
    __builtin_trap();
  }
  // A content opens with a "[" the reader would take for a transcription
  // only when the strip draws that line whole.
  for (const BookEntry& e : book.entries) {
    if (e.content.find(u'[') <= 5 && !import::IsStripLine(e.content.substr(0, e.content.find(u'\n')))) {
      __builtin_trap();
    }
  }
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::ReadStarDictOne(data, size);
}
#endif
