// Speed of books made by xqb's builder, for every candidate block size: the
// build itself and its compression, opening, decoding, word lookup and the
// find panel's scan. The book holds 100,000 entries of generated dictionary
// text, about 40 MB once decoded.
//
//   build/native/bench/book_bench                       all figures
//   build/native/bench/book_bench --benchmark_filter=Find   some of them
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "book/book_builder.h"
#include "book/book_file.h"
#include "book/book_format.h"
#include "book/decoder.h"
#include "book/match_query.h"

namespace {

using quill::BookEntry;

constexpr std::size_t kEntries = 100000;

// Pseudo-words from syllables, some with accented letters, so that the
// text repeats the way a real dictionary's does without being trivial.
class TextMaker {
 public:
  TextMaker() : random_(20240611) {
    static const char16_t* const syllables[] = {
        u"ka", u"re", u"mi", u"sto", u"lun", u"ex", u"pra", u"qui", u"ven", u"dor",
        u"el", u"ith", u"ur", u"os", u"ban", u"tel", u"gra", u"fe", u"no", u"zu",
        u"ché", u"lä", u"ro", u"tis", u"an", u"ber", u"cu", u"dy", u"om", u"pha"};
    for (const char16_t* s : syllables) syllables_.emplace_back(s);
    for (int i = 0; i < 30000; ++i) vocabulary_.push_back(Word(1 + Pick(4)));
  }

  std::u16string Word(std::size_t parts) {
    std::u16string word;
    for (std::size_t i = 0; i < parts; ++i) word += syllables_[Pick(syllables_.size())];
    return word;
  }

  // A common word more often than a rare one.
  const std::u16string& Common() {
    const double u = std::uniform_real_distribution<double>(0.0, 1.0)(random_);
    return vocabulary_[static_cast<std::size_t>(u * u * u * static_cast<double>(vocabulary_.size()))];
  }

  std::u16string Content() {
    std::u16string text = u"[" + Word(2 + Pick(3)) + u"]\n";
    static const char16_t* const kinds[] = {u"n. ", u"v. ", u"adj. ", u"adv. "};
    const std::size_t senses = 1 + Pick(3);
    for (std::size_t s = 0; s < senses; ++s) {
      text += std::u16string(1, static_cast<char16_t>(u'1' + s)) + u". " + kinds[Pick(4)];
      const std::size_t words = 4 + Pick(14);
      for (std::size_t w = 0; w < words; ++w) {
        if (w != 0) text += u' ';
        text += Common();
      }
      text += u".\n";
    }
    if (Pick(2) == 0) text += u"Ex. " + Common() + u" " + Common() + u" " + Common() + u".";
    return text;
  }

  std::size_t Pick(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

 private:
  std::mt19937_64 random_;
  std::vector<std::u16string> syllables_;
  std::vector<std::u16string> vocabulary_;
};

struct Corpus {
  std::vector<BookEntry> entries;  // in entry order
  std::uint64_t textBytes = 0;
  std::vector<std::u16string> probes;  // words to look up
};

const Corpus& TheCorpus() {
  static const Corpus corpus = [] {
    Corpus c;
    TextMaker maker;
    for (std::size_t i = 0; i < kEntries; ++i) {
      std::u16string key = maker.Word(1 + maker.Pick(4));
      // Some keys differ from others only in case, as proper names do.
      if (maker.Pick(8) == 0 && key[0] >= u'a' && key[0] <= u'z') {
        key[0] = static_cast<char16_t>(key[0] - 0x20);
      }
      if (maker.Pick(10) == 0) key += u" " + maker.Word(2);
      c.entries.push_back({key, maker.Content()});
      c.textBytes += 2 * (key.size() + c.entries.back().content.size());
    }
    quill::SortEntries(c.entries);
    for (int i = 0; i < 4096; ++i) {
      const std::u16string& key = c.entries[maker.Pick(c.entries.size())].key;
      switch (i % 4) {
        case 0:
        case 1:
          c.probes.push_back(key);
          break;
        case 2:
          c.probes.push_back(key.substr(0, 1 + key.size() / 2));
          break;
        default:
          c.probes.push_back(maker.Word(3) + u"q");
          break;
      }
    }
    return c;
  }();
  return corpus;
}

quill::BookLayout Layout(std::size_t blockBytes) {
  quill::BookLayout layout;
  layout.title = u"Bench";
  layout.blockBytes = blockBytes;
  return layout;
}

struct BuiltBook {
  std::vector<std::uint8_t> image;
  std::string path;
};

// One book per block size, built once and written to a scratch file.
const BuiltBook& Book(std::size_t blockBytes) {
  static std::map<std::size_t, BuiltBook> books;
  auto found = books.find(blockBytes);
  if (found != books.end()) return found->second;
  BuiltBook& book = books[blockBytes];
  std::string error;
  if (!quill::BuildBookImage(TheCorpus().entries, Layout(blockBytes), &book.image, &error)) {
    std::fprintf(stderr, "book_bench: %s\n", error.c_str());
    std::exit(1);
  }
  const char* dir = std::getenv("TMPDIR");
  book.path = std::string(dir != nullptr ? dir : "/tmp") + "/quill-bench-" +
              std::to_string(blockBytes) + ".xqb";
  FILE* file = std::fopen(book.path.c_str(), "wb");
  if (file == nullptr ||
      std::fwrite(book.image.data(), 1, book.image.size(), file) != book.image.size() ||
      std::fclose(file) != 0) {
    std::fprintf(stderr, "book_bench: cannot write %s\n", book.path.c_str());
    std::exit(1);
  }
  return book;
}

void OpenOrDie(quill::BookFile& book, const std::string& path) {
  if (book.Open(path.c_str()) != 1) {
    std::fprintf(stderr, "book_bench: cannot open %s\n", path.c_str());
    std::exit(1);
  }
}

void BM_Build(benchmark::State& state) {
  const auto blockBytes = static_cast<std::size_t>(state.range(0));
  const Corpus& corpus = TheCorpus();
  std::vector<std::uint8_t> image;
  quill::BuildReport report;
  for (auto _ : state) {
    quill::BuildBook(corpus.entries, Layout(blockBytes), &image, &report);
    benchmark::DoNotOptimize(image.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.textBytes));
  state.counters["blocks"] = static_cast<double>(report.blockCount);
  state.counters["text_ratio"] =
      static_cast<double>(report.storedTextBytes) / static_cast<double>(report.textBytes);
  state.counters["file_ratio"] = static_cast<double>(image.size()) /
                                 static_cast<double>(report.textBytes + report.indexBytes);
  state.counters["file_MB"] = static_cast<double>(image.size()) / 1e6;
  state.counters["text_MB"] = static_cast<double>(report.textBytes) / 1e6;
}

void BM_Open(benchmark::State& state) {
  const BuiltBook& built = Book(static_cast<std::size_t>(state.range(0)));
  quill::BookFile book;
  for (auto _ : state) {
    OpenOrDie(book, built.path);
    book.Close();
  }
}

// Decoding every stored block of the book, as the reader's cache does.
void BM_DecodeBlocks(benchmark::State& state) {
  const BuiltBook& built = Book(static_cast<std::size_t>(state.range(0)));
  quill::BookHeader header;
  std::memcpy(&header, built.image.data(), sizeof header);
  std::vector<quill::BlockIndexRecord> blocks(header.blockCount);
  quill::DecodeStored(built.image.data() + header.blockIndexOffset,
                      reinterpret_cast<std::uint8_t*>(blocks.data()), header.blockIndexSize,
                      blocks.size() * sizeof(quill::BlockIndexRecord));
  std::vector<std::uint8_t> out(header.maxBlockSize);
  std::uint64_t decoded = 0;
  for (auto _ : state) {
    for (const quill::BlockIndexRecord& r : blocks) {
      const std::ptrdiff_t n = quill::DecodeStored(built.image.data() + r.fileOffset, out.data(),
                                                   r.storedBytes, out.size());
      decoded += static_cast<std::uint64_t>(n);
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(decoded));
}

// One look-up of a typed word: an existing key, the start of one, or a
// word that is not in the book, in turn.
void BM_FindWord(benchmark::State& state) {
  const BuiltBook& built = Book(static_cast<std::size_t>(state.range(0)));
  const Corpus& corpus = TheCorpus();
  quill::BookFile book;
  OpenOrDie(book, built.path);
  std::vector<char16_t> word(600);
  std::size_t next = 0;
  const std::uint64_t decodesBefore = book.BlockDecodes();
  for (auto _ : state) {
    const std::u16string& probe = corpus.probes[next++ % corpus.probes.size()];
    std::copy(probe.begin(), probe.end(), word.begin());
    word[probe.size()] = 0;
    benchmark::DoNotOptimize(book.FindWord(word.data()));
  }
  state.counters["decodes_per_lookup"] =
      static_cast<double>(book.BlockDecodes() - decodesBefore) /
      static_cast<double>(state.iterations());
  book.Close();
}

// The find panel's search for a term that no entry holds: one pass over
// the whole book.
void BM_FindNextMatchAbsent(benchmark::State& state) {
  const BuiltBook& built = Book(static_cast<std::size_t>(state.range(0)));
  quill::BookFile book;
  OpenOrDie(book, built.path);
  for (auto _ : state) {
    quill::MatchQuery query{};
    query.termCount = 1;
    std::memcpy(query.terms[0], u"zzqxj", sizeof u"zzqxj");
    benchmark::DoNotOptimize(book.FindNextMatch(query));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheCorpus().textBytes));
  book.Close();
}

void BlockSizes(benchmark::internal::Benchmark* b) {
  for (const long size : {1024L, 2048L, 4096L, 8192L, 16384L, 32768L, 61440L}) b->Arg(size);
}

BENCHMARK(BM_Build)->Apply(BlockSizes)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Apply(BlockSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeBlocks)->Apply(BlockSizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindWord)->Apply(BlockSizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindNextMatchAbsent)->Apply(BlockSizes)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
