#include <string>
#include <string_view>
#include <vector>

#include "books/cmu_lexicon.h"
#include "books/entry_text.h"
#include "books/pronouncing.h"
#include "books/source_readers.h"
#include "fuzz/shelf_fuzz_entries.h"
#include "import/tsv_reader.h"
#include "book/utf.h"

namespace quill::fuzz {

namespace {

// What every converter's result must satisfy.
void CheckEntries(const std::vector<BookEntry>& entries, const std::vector<bool>& phonetic) {
  std::string tsv;
  books::TsvReport report;
  if (!books::WriteTsv(entries, phonetic, &tsv, &report)) return;
  std::vector<BookEntry> again;
  std::vector<std::size_t> lines;
  std::string problem;
  if (!import::ReadTsv(reinterpret_cast<const std::uint8_t*>(tsv.data()), tsv.size(), &again, &lines,
                    &problem) ||
      again.size() != report.entries) {
    __builtin_trap();
  }
  std::size_t pronounced = 0;
  for (const BookEntry& e : again) pronounced += books::ReadsAsPhonetic(e.content) ? 1 : 0;
  if (pronounced != report.phonetic) __builtin_trap();
}

}  // namespace

int ShelfSourcesOne(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int kind = data[0] % 8;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string_view first = rest;
  std::string_view second;
  if (rest.size() >= 2) {
    std::size_t n =
        static_cast<unsigned char>(rest[0]) | (static_cast<unsigned char>(rest[1]) << 8);
    rest.remove_prefix(2);
    if (n > rest.size()) n = rest.size();
    first = rest.substr(0, n);
    second = rest.substr(n);
  }
  std::vector<BookEntry> entries;
  std::vector<bool> phonetic;
  std::string problem;
  int ok = 1;
  switch (kind) {
    case 0: {
      std::vector<books::CmuWord> words;
      ok = books::ReadCmuLexicon(data + 1, size - 1, &words, &problem);
      if (ok) {
        books::MakePronouncingEntries(words, &entries, &phonetic);
        CheckEntries(entries, phonetic);
        // And as phonetic lines for a dictionary of the same words.
        const books::PronouncingIndex index(words);
        std::vector<BookEntry> dictionary;
        for (const books::CmuWord& w : words)
          dictionary.push_back({books::RepairedUtf16(w.word), u"x"});
        books::AddPhoneticLines(index, &dictionary, &phonetic);
        entries = std::move(dictionary);
      }
      break;
    }
    case 1:
      ok = books::ReadThesaurus(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1),
                                &entries, &problem);
      break;
    case 2:
      ok = books::ReadCountries(first, second, &entries, &problem);
      break;
    case 3:
      ok = books::ReadCities(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1),
                             &entries, &problem);
      break;
    case 4:
      ok = books::ReadAirports(first, second, &entries, &problem);
      break;
    case 5:
      ok = books::ReadDialingCodes(first, second, &entries, &problem);
      break;
    case 6:
      ok = books::ReadDictdRepaired(first, second, &entries, &problem);
      break;
    default: {
      const std::string repaired = books::RepairUtf8(first);
      std::u16string text;
      if (!Utf8ToUtf16(repaired, &text) || repaired.find('\0') != std::string::npos) {
        __builtin_trap();
      }
      // Text that was whole UTF-8 without NULs stays as it was.
      std::u16string original;
      if (first.find('\0') == std::string_view::npos &&
          Utf8ToUtf16(std::string(first), &original) && repaired != first) {
        __builtin_trap();
      }
      return 0;
    }
  }
  if (!ok) {
    if (problem.empty()) __builtin_trap();
    return 0;
  }
  CheckEntries(entries, phonetic);
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::ShelfSourcesOne(data, size);
}
#endif
