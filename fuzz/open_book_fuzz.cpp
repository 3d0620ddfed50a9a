#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/scratch_book.h"

namespace quill::fuzz {

int OpenBookOne(const std::uint8_t* data, std::size_t size) {
  const ScratchBook scratch("book", data, size);
  if (scratch.Path().empty()) return 0;
  const std::string& path = scratch.Path();

  BookFile book;
  if (OpenBook(book, path.c_str(), nullptr) == 1) {
    const int count = book.EntryCount();
    // Exact-size buffers from the header: an overrun shows at once.
    // No key or content needs more than 32,768 units, whatever the header says.
    const auto units = static_cast<std::size_t>(book.Header().textBufferUnits);
    std::vector<char16_t> text(units < 32768 ? units : 32768);
    const int limit = count < 4096 ? count : 4096;
    for (int i = 0; i < limit; ++i) {
      book.SetCurrentEntry(i);
      book.ReadKey(text.data(), text.size());
      book.ReadContent(text.data(), text.size());
    }
    char16_t word[8] = {u'a', u'B', 0};
    book.FindWord(word);
    if (size > 8) {
      char16_t tail[5] = {static_cast<char16_t>(data[size - 1]), static_cast<char16_t>(data[size - 2]), 0};
      book.FindWord(tail);
    }
    MatchQuery query{};
    query.termCount = 2;
    query.terms[0][0] = u'e';
    query.terms[1][0] = u'Z';
    query.terms[1][1] = u'a';
    if (count > 0 && count <= 4096) {
      while (book.FindNextMatch(query) == 1 && query.startEntry < count - 1) {
        query.startEntry = book.CurrentEntry() + 1;
      }
    }
  }
  book.Close();
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::OpenBookOne(data, size);
}
#endif
