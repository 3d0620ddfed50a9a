#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "fuzz/fuzz_entries.h"
#include "fuzz/scratch_book.h"
#include "lookup/book_keys.h"
#include "lookup/offers.h"
#include "lookup/spelling.h"
#include "lookup/word_at.h"

namespace quill::fuzz {

int OffersOne(const std::uint8_t* data, std::size_t size) {
  const ScratchBook scratch("offers", data, size);
  if (scratch.Path().empty()) return 0;
  const std::string& path = scratch.Path();

  BookFile book;
  lookup::BookKeys keys;
  if (book.Open(path.c_str()) == 1 && book.EntryCount() <= 4096 && keys.Collect(book)) {
    std::vector<std::u16string> words;
    // Words from the input's last bytes, two to a unit.
    std::u16string tail;
    for (std::size_t i = size; i >= 2 && size - i < 24; i -= 2) {
      tail += static_cast<char16_t>(data[i - 1] | (data[i - 2] << 8));
    }
    words.push_back(tail);
    // Keys of the book one unit short, one unit long and swapped: misses
    // close to what the book holds, in whatever order its keys are.
    for (std::size_t n = 0; n < keys.Count() && n < 64; ++n) {
      std::u16string key(keys.Key(n));
      if (key.empty()) continue;
      words.push_back(key.substr(0, key.size() - 1));
      words.push_back(key + key.back());
      std::swap(key.front(), key.back());
      words.push_back(key);
    }
    for (const std::u16string& word : words) {
      const std::vector<lookup::Offer> offers = lookup::OfferWords(keys, word);
      if (offers.size() > lookup::kMostOffers) std::abort();
      for (const lookup::Offer& o : offers) {
        if (o.entry >= keys.Count() || keys.Key(o.entry) != o.word) std::abort();
      }
      if (lookup::CloseKeys(keys, word).size() != lookup::CloseKeysByScan(keys, word).size()) {
        std::abort();
      }
      lookup::MissNote(word, offers);
    }
    // A double-click on every place of the first entry's content.
    std::vector<char16_t> content(32768);
    book.SetCurrentEntry(0);
    if (book.ReadContent(content.data(), content.size())) {
      const std::u16string_view text(content.data());
      const lookup::KeyTest isKey = [&keys](std::u16string_view w) { return keys.Find(w) >= 0; };
      for (std::size_t at = 0; at <= text.size() && at < 512; ++at) {
        const lookup::WordSpan span = lookup::WordAt(text, at, isKey);
        if (span.begin > span.end || span.end > text.size()) std::abort();
      }
    }
  }
  book.Close();
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::OffersOne(data, size);
}
#endif
