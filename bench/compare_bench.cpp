// The core's speed on a real book, beside lz4's in-memory decompression of
// the same text; bench/compare.sh runs it and prints the comparison.
//
//   compare_bench BOOK TEXT [ROUNDS]
//
// TEXT is the book's text as UTF-16LE (bench_data writes it). Times are the
// thread's CPU time, so that other work on a shared machine counts less;
// the two decoders take turns, round by round, and each figure is the
// median of its rounds. Prints one "name value" line per figure.
#include <lz4.h>
#include <lz4hc.h>
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "book/book_format.h"
#include "book/decoder.h"
#include "book/match_query.h"
#include "lookup/book_keys.h"
#include "lookup/offers.h"
#include "lookup/spelling.h"

namespace {

// lz4's own benchmark cuts its input into pieces of this size.
constexpr std::size_t kLz4Chunk = std::size_t{4} << 20;
constexpr int kLz4Level = 9;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

[[noreturn]] void Die(const std::string& message) {
  std::fprintf(stderr, "compare_bench: %s\n", message.c_str());
  std::exit(1);
}

std::vector<std::uint8_t> ReadAll(const char* path) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) Die(std::string("cannot read ") + path);
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) != 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  std::fclose(file);
  return bytes;
}

void OpenOrDie(quill::BookFile& book, const char* path) {
  if (book.Open(path) != 1) Die(std::string("cannot open ") + path);
}

struct Lz4Text {
  std::vector<std::vector<char>> chunks;
  std::vector<int> sizes;
  std::size_t bytes = 0;
};

Lz4Text CompressLz4(const std::vector<std::uint8_t>& text) {
  Lz4Text z;
  z.bytes = text.size();
  for (std::size_t at = 0; at < text.size(); at += kLz4Chunk) {
    const int n = static_cast<int>(std::min(kLz4Chunk, text.size() - at));
    std::vector<char> out(static_cast<std::size_t>(LZ4_compressBound(n)));
    const int m = LZ4_compress_HC(reinterpret_cast<const char*>(text.data() + at), out.data(), n,
                                  static_cast<int>(out.size()), kLz4Level);
    if (m <= 0) Die("lz4 cannot compress the text");
    out.resize(static_cast<std::size_t>(m));
    z.chunks.push_back(std::move(out));
    z.sizes.push_back(n);
  }
  return z;
}

// Seconds of one decompression of the whole text.
double Lz4Round(const Lz4Text& z, std::vector<char>& out) {
  const double start = CpuSeconds();
  for (std::size_t c = 0; c < z.chunks.size(); ++c) {
    const int got = LZ4_decompress_safe(z.chunks[c].data(), out.data(),
                                        static_cast<int>(z.chunks[c].size()), z.sizes[c]);
    if (got != z.sizes[c]) Die("lz4 cannot decompress its own text");
  }
  return CpuSeconds() - start;
}

// Common misspellings, each a miss in WordNet.
constexpr const char16_t* kMisspellings[] = {
    u"acurate",   u"recieve",    u"accomodate", u"definately", u"seperate",  u"occured",
    u"untill",    u"wich",       u"beleive",    u"goverment",  u"tommorow",  u"neccessary",
    u"embarass",  u"existance",  u"independant", u"begining",  u"calender",  u"concious",
    u"enviroment", u"foriegn",   u"grammer",    u"harrass",    u"knowlege",  u"libary",
    u"millenium", u"noticable",  u"occurence",  u"persistant", u"publically", u"reccomend",
    u"rythm",     u"sieze",      u"succesful",  u"supercede",  u"tendancy",  u"truely",
    u"wierd",     u"acheive",    u"adress",     u"arguement",  u"basicly",   u"buisness",
    u"comming",   u"diffrent",   u"familar",    u"freind",     u"happend",   u"intresting",
    u"mispell",   u"naturaly",   u"posession",  u"realy",      u"remeber",   u"sucess",
    u"thier",     u"tounge",     u"useing",     u"vaccum",     u"wether",    u"writting",
};

// Seconds of decoding every text block of the book once, straight from the
// file's bytes, into a block-sized buffer as the reader does.
double DecodeRound(const std::vector<std::uint8_t>& image,
                   const std::vector<quill::BlockIndexRecord>& blocks,
                   std::vector<std::uint8_t>& out, std::uint64_t* decoded) {
  std::uint64_t total = 0;
  const double start = CpuSeconds();
  for (const quill::BlockIndexRecord& r : blocks) {
    const std::ptrdiff_t n =
        quill::DecodeStored(image.data() + r.fileOffset, out.data(), r.storedBytes, out.size());
    if (n < 0) Die("a block of the book cannot be decoded");
    total += static_cast<std::uint64_t>(n);
  }
  const double seconds = CpuSeconds() - start;
  *decoded = total;
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) Die("usage: compare_bench BOOK TEXT [ROUNDS]");
  const char* bookPath = argv[1];
  const int rounds = argc == 4 ? std::max(1, std::atoi(argv[3])) : 9;

  // Decoding, ours and lz4's, in turns.
  const std::vector<std::uint8_t> image = ReadAll(bookPath);
  quill::BookHeader header;
  if (image.size() < sizeof header) Die("not a book");
  std::memcpy(&header, image.data(), sizeof header);
  std::vector<quill::BlockIndexRecord> blocks(header.blockCount);
  if (quill::DecodeStored(image.data() + header.blockIndexOffset,
                          reinterpret_cast<std::uint8_t*>(blocks.data()), header.blockIndexSize,
                          blocks.size() * sizeof(quill::BlockIndexRecord)) < 0) {
    Die("the block index cannot be decoded");
  }
  const std::vector<std::uint8_t> text = ReadAll(argv[2]);
  const Lz4Text z = CompressLz4(text);
  std::vector<char> lz4Out(kLz4Chunk);
  std::vector<std::uint8_t> blockOut(header.maxBlockSize);
  std::vector<double> ours;
  std::vector<double> theirs;
  std::uint64_t decoded = 0;
  for (int r = 0; r < rounds; ++r) {
    ours.push_back(DecodeRound(image, blocks, blockOut, &decoded));
    theirs.push_back(Lz4Round(z, lz4Out));
  }
  const double decodeMBs = static_cast<double>(decoded) / Median(ours) / 1e6;
  const double lz4MBs = static_cast<double>(z.bytes) / Median(theirs) / 1e6;
  std::printf("decode_mb_s %.0f\n", decodeMBs);
  std::printf("lz4_decode_mb_s %.0f\n", lz4MBs);
  std::printf("decoded_mb %.1f\n", static_cast<double>(decoded) / 1e6);

  // Opening.
  quill::BookFile book;
  std::vector<double> opens;
  for (int r = 0; r < 5 * rounds; ++r) {
    const double start = CpuSeconds();
    OpenOrDie(book, bookPath);
    opens.push_back(CpuSeconds() - start);
    book.Close();
  }
  std::printf("open_ms %.3f\n", Median(opens) * 1e3);

  // FindWord with keys taken from the book, each timed alone: the first
  // look-up after opening, then the median of the look-ups that follow.
  OpenOrDie(book, bookPath);
  const int count = book.EntryCount();
  if (count == 0) Die("the book has no entries");
  std::mt19937 random(20261207);
  std::vector<std::u16string> keys;
  std::vector<char16_t> buffer(static_cast<std::size_t>(header.textBufferUnits) + 1);
  for (int k = 0; k < 4096; ++k) {
    book.SetCurrentEntry(static_cast<int>(random() % static_cast<unsigned>(count)));
    if (book.ReadKey(buffer.data(), buffer.size())) keys.emplace_back(buffer.data());
  }
  book.Close();
  OpenOrDie(book, bookPath);
  std::vector<double> lookups;
  std::vector<char16_t> word(buffer.size());
  int misses = 0;
  for (int pass = 0; pass < 3; ++pass) {
    for (const std::u16string& key : keys) {
      std::copy(key.begin(), key.end(), word.begin());
      word[key.size()] = 0;
      const double start = CpuSeconds();
      const int found = book.FindWord(word.data());
      lookups.push_back(CpuSeconds() - start);
      if (!found) ++misses;
    }
  }
  if (misses != 0) Die(std::to_string(misses) + " keys of the book were not found");
  std::printf("findword_first_us %.1f\n", lookups.front() * 1e6);
  std::printf("findword_median_us %.1f\n", Median(lookups) * 1e6);
  std::printf("findword_cache_bytes %zu\n", book.KeyCacheBytes());
  book.Close();

  // The find panel's scan for a term that no entry holds.
  OpenOrDie(book, bookPath);
  std::vector<double> scans;
  for (int r = 0; r < rounds; ++r) {
    quill::MatchQuery query{};
    query.termCount = 1;
    std::memcpy(query.terms[0], u"zqxjkv", sizeof u"zqxjkv");
    const double start = CpuSeconds();
    if (book.FindNextMatch(query) != 0) Die("the absent term was found");
    scans.push_back(CpuSeconds() - start);
  }
  book.Close();
  std::printf("scan_ms %.1f\n", Median(scans) * 1e3);

  // A miss's offers: the keys collected once (beside decoding the whole
  // book, above), then each misspelling's offers timed alone, beside a
  // plain scan that measures every key with the same bounded distance.
  // Decoding the whole book once is timed the same way, through a book
  // just opened, in turns with the collection.
  std::vector<double> collects;
  std::vector<double> passes;
  quill::lookup::BookKeys bookKeys;
  for (int r = 0; r < rounds; ++r) {
    OpenOrDie(book, bookPath);
    double start = CpuSeconds();
    for (int n = 0; n < count; ++n) {
      if (!book.SetCurrentEntry(n) || !book.LoadCurrentBlock()) Die("a block cannot be decoded");
    }
    passes.push_back(CpuSeconds() - start);
    book.Close();
    OpenOrDie(book, bookPath);
    start = CpuSeconds();
    if (!bookKeys.Collect(book)) Die("the keys cannot be collected");
    collects.push_back(CpuSeconds() - start);
    book.Close();
  }
  std::vector<double> offers;
  std::vector<double> plain;
  std::size_t offered = 0;
  for (int pass = 0; pass < 3; ++pass) {
    for (const char16_t* misspelt : kMisspellings) {
      double start = CpuSeconds();
      const std::vector<quill::lookup::Offer> got = quill::lookup::OfferWords(bookKeys, misspelt);
      offers.push_back(CpuSeconds() - start);
      offered += got.size();
      start = CpuSeconds();
      const std::vector<quill::lookup::CloseKey> close = quill::lookup::CloseKeysByScan(bookKeys, misspelt);
      plain.push_back(CpuSeconds() - start);
      if (pass == 0 && close.size() != quill::lookup::CloseKeys(bookKeys, misspelt).size()) {
        Die("the walk and the plain scan find different keys");
      }
    }
  }
  if (offered == 0) Die("no misspelling was offered anything");
  std::printf("collect_keys_ms %.1f\n", Median(collects) * 1e3);
  std::printf("decode_book_ms %.1f\n", Median(passes) * 1e3);
  std::printf("keys_bytes %zu\n", bookKeys.Bytes());
  std::printf("offers_median_ms %.3f\n", Median(offers) * 1e3);
  std::printf("offers_worst_ms %.3f\n", *std::max_element(offers.begin(), offers.end()) * 1e3);
  std::printf("plain_scan_median_ms %.3f\n", Median(plain) * 1e3);
  return 0;
}
