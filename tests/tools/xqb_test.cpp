// xqb's commands, run in this process the way the program runs them: the
// exact results, messages and exit codes users see.
#include "tools/xqb.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "book/book_builder.h"
#include "book/book_format.h"
#include "book/decoder.h"
#include "import/dictd_test_data.h"
#include "support/test_books.h"
#include "tools/xqb_run.h"

namespace quill::xqb {

// xqb is the command line of the import readers and the conversion.
using namespace quill::import;
namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;

using testing::Result;
using testing::Xqb;

// A file of the given name in a folder of its own.
std::string WriteFile(const std::string& name, const std::string& bytes) {
  static int serial = 0;
  const std::string folder = quill::testing::ScratchDir() + "/x" + std::to_string(serial++);
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

std::string WriteBeside(const std::string& path, const std::string& name,
                        const std::string& bytes) {
  const std::string other = path.substr(0, path.find_last_of('/') + 1) + name;
  std::ofstream(other, std::ios::binary) << bytes;
  return other;
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Builds a book from a word list and returns its path.
std::string BuildBook(const std::string& tsv, const std::vector<std::string>& options = {}) {
  const std::string input = WriteFile("words.tsv", tsv);
  const std::string book = input.substr(0, input.size() - 4) + ".xqb";
  std::vector<std::string> args{"build", input, "-o", book};
  args.insert(args.end(), options.begin(), options.end());
  const Result r = Xqb(args);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "");
  return book;
}

std::string Dump(const std::string& book) {
  const Result r = Xqb({"dump", book});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  return r.out;
}

// -------------------------------------------------------------- round trips

const std::vector<std::string> kWords = {
    "zebra\tstriped\\nhorse",          // 0
    "Apple\tfirst apple",              // 1
    "été\tsummer",                     // 2
    "apple\tsecond apple",             // 3
    "empty\t",                         // 4
    "яблоко\tapple in Russian",        // 5
    "APPLE\tthird\\tapple\\\\x\\r",    // 6
    "ｆ\tfull-width f, U+FF46",        // 7
    "📖\tan open book, two units",     // 8
    "中\tmiddle, U+4E2D",              // 9
    "apples\t\\n\\nafter two breaks",  // 10
};

TEST(XqbBuild, DumpGivesTheInputInEntryOrder) {
  const std::string book = BuildBook(Lines(kWords));
  // Keys that are equal once A to Z are folded keep their input order;
  // everything else sorts by UTF-16 unit, so U+FF46 comes after the
  // surrogates of U+1F4D6.
  const std::string expected = Lines({kWords[1], kWords[3], kWords[6], kWords[10], kWords[4],
                                      kWords[0], kWords[2], kWords[5], kWords[9], kWords[8],
                                      kWords[7]});
  const std::string dumped = Dump(book);
  EXPECT_EQ(dumped, expected);

  // Dump, build, dump: the same text again.
  EXPECT_EQ(Dump(BuildBook(dumped)), dumped);
}

TEST(XqbBuild, LineEndsBomAndBlankLinesAreNotContent) {
  const std::string book = BuildBook("\xEF\xBB\xBF" "b\tsecond\r\n\r\na\tfirst\r\n");
  EXPECT_EQ(Dump(book), "a\tfirst\nb\tsecond\n");
}

TEST(XqbBuild, ManyEntriesRoundTripOverManyBlocks) {
  std::vector<std::string> lines;
  std::mt19937 random(9);
  for (int i = 0; i < 3000; ++i) {
    std::string key = "w" + std::to_string(random() % 100000);
    std::string content;
    for (int k = 0; k < 1 + static_cast<int>(random() % 40); ++k) {
      content += (random() % 7 == 0) ? "\\n" : "word" + std::to_string(random() % 50) + " ";
    }
    lines.push_back(key + "\t" + content);
  }
  const std::string dumped = Dump(BuildBook(Lines(lines)));
  EXPECT_EQ(Dump(BuildBook(dumped)), dumped);
  std::vector<std::string> sorted = lines;
  std::stable_sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
    return a.substr(0, a.find('\t')) < b.substr(0, b.find('\t'));
  });
  EXPECT_EQ(dumped, Lines(sorted));
}

TEST(XqbBuild, HeaderCountsAndSizesAreExact) {
  std::vector<std::string> lines;
  for (int i = 0; i < 400; ++i) {
    lines.push_back("key" + std::to_string(1000 + i) + "\t" + std::string(50 + i % 90, 'c'));
  }
  lines.push_back("longest key of them all, thirty-nine un\tx");
  const std::string path = BuildBook(Lines(lines), {"--title", "Exact Header Book"});
  const Bytes file = ReadBytes(path);
  ASSERT_GE(file.size(), kHeaderBytes);
  BookHeader h;
  std::memcpy(&h, file.data(), sizeof h);
  EXPECT_EQ(h.magic, kBookMagic);
  EXPECT_EQ(std::u16string(h.title), u"Exact Header Book");
  EXPECT_EQ(h.entryCount, 401);
  EXPECT_EQ(h.lineSeparator, 0x0A);
  EXPECT_EQ(h.textBufferUnits, 139 + 1);  // the longest content, 139 units
  // Blocks, then the block index, then the entry index, to the last byte.
  EXPECT_EQ(h.entryIndexOffset, h.blockIndexOffset + h.blockIndexSize);
  EXPECT_EQ(std::uint64_t{h.entryIndexOffset} + h.entryIndexSize, file.size());

  std::vector<BlockIndexRecord> blocks(h.blockCount);
  ASSERT_EQ(DecodeStored(file.data() + h.blockIndexOffset,
                         reinterpret_cast<std::uint8_t*>(blocks.data()), h.blockIndexSize,
                         blocks.size() * sizeof(BlockIndexRecord)),
            static_cast<std::ptrdiff_t>(blocks.size() * sizeof(BlockIndexRecord)));
  std::vector<EntryIndexRecord> entries(401);
  ASSERT_EQ(DecodeStored(file.data() + h.entryIndexOffset,
                         reinterpret_cast<std::uint8_t*>(entries.data()), h.entryIndexSize,
                         entries.size() * sizeof(EntryIndexRecord)),
            static_cast<std::ptrdiff_t>(entries.size() * sizeof(EntryIndexRecord)));
  std::size_t largest = 0;
  std::uint32_t offset = kHeaderBytes;
  std::vector<std::uint8_t> block(1 << 17);
  for (const BlockIndexRecord& r : blocks) {
    EXPECT_EQ(r.fileOffset, offset);
    offset += r.storedBytes;
    const std::ptrdiff_t n = DecodeStored(file.data() + r.fileOffset, block.data(), r.storedBytes,
                                          block.size());
    ASSERT_GT(n, 0);
    // Blocks are filled up to the chosen size and no further.
    EXPECT_LE(static_cast<std::size_t>(n), kDefaultBlockBytes);
    largest = std::max({largest, static_cast<std::size_t>(n), std::size_t{r.storedBytes}});
  }
  EXPECT_EQ(offset, h.blockIndexOffset);
  EXPECT_EQ(h.maxBlockSize, largest);
  EXPECT_GT(h.blockCount, 10u);
  std::size_t keyUnits = 0;
  for (const EntryIndexRecord& e : entries) keyUnits = std::max<std::size_t>(keyUnits, e.keyBytes / 2);
  EXPECT_EQ(keyUnits, 39u);
}

TEST(XqbBuild, SeparatorStandsForLineBreaks) {
  const std::string book =
      BuildBook("pipe\tone\\ntwo\\n\nplain\tno breaks\n", {"--separator", "0x7C"});
  EXPECT_EQ(Dump(book), "pipe\tone\\ntwo\\n\nplain\tno breaks\n");
  const Result r = Xqb({"lookup", book, "PIPE"});
  EXPECT_EQ(r.out, "found 0\npipe\none\ntwo\n\n");
  EXPECT_NE(Xqb({"info", book}).out.find("separator: 0x7C\n"), std::string::npos);
  EXPECT_EQ(Dump(BuildBook("a\tb\\nc\n", {"--separator", "30"})), "a\tb\\nc\n");
}

// -------------------------------------------------------------- dictd

TEST(XqbBuild, ImportsDictdDatabasesPlainAndCompressed) {
  const import::testing::DictdFiles db = import::testing::MakeDictd({
      {"00-database-short", "00-database-short\n     Small Test Lexicon\n"},
      {"00-database-url", "00-database-url\n     nowhere\n"},
      {"word", "word\n   A unit of language.\n   Second line.\n\n"},
      {"Über", "Über\n   Above.\n"},
      {"apple", "apple\n   A fruit.\n"},
  });
  const std::string expected =
      "apple\tapple\\n   A fruit.\n"
      "word\tword\\n   A unit of language.\\n   Second line.\n"
      "Über\tÜber\\n   Above.\n";
  for (const bool compressed : {false, true}) {
    SCOPED_TRACE(compressed ? "dict.dz" : "dict");
    const std::string index = WriteFile("lexicon.index", db.index);
    if (compressed) {
      const Bytes packed = import::testing::Gzip(Bytes(db.dict.begin(), db.dict.end()));
      WriteBeside(index, "lexicon.dict.dz", std::string(packed.begin(), packed.end()));
    } else {
      WriteBeside(index, "lexicon.dict", db.dict);
    }
    const std::string book = WriteBeside(index, "lexicon.xqb", "");
    const Result r = Xqb({"build", index, "-o", book});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Dump(book), expected);
    EXPECT_NE(Xqb({"info", book}).out.find("title: Small Test Lexicon\nentries: 3\n"),
              std::string::npos);
  }
}

TEST(XqbBuild, DictdFailuresNameTheFiles) {
  const import::testing::DictdFiles db = import::testing::MakeDictd({{"a", "a\n"}, {"b", "b\n"}});
  const std::string index = WriteFile("db.index", db.index);
  const std::string base = index.substr(0, index.size() - 6);
  Result r = Xqb({"build", index, "-o", base + ".xqb"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, index + ": neither " + base + ".dict nor " + base + ".dict.dz is there\n");

  WriteBeside(index, "db.dict.dz", "\x1F\x8B broken");
  r = Xqb({"build", index, "-o", base + ".xqb"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err.rfind(base + ".dict.dz: the compressed data is damaged", 0), 0u) << r.err;

  WriteBeside(index, "db.dict", "a\n");  // b's article is missing
  r = Xqb({"build", index, "-o", base + ".xqb"});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, index + ": line 2: headword \"b\": the article lies beyond the end of the 2 "
                           "bytes of dictionary text (" + base + ".dict)\n");
}

// -------------------------------------------------------------- refusals

struct Refusal {
  std::string tsv;
  std::vector<std::string> options;
  std::string message;  // after the input's path
};

TEST(XqbBuild, RefusesWhatTheFormatCannotHold) {
  const std::string longKey(512, 'z');
  const std::string first50(50, 'a');
  const std::vector<Refusal> refusals = {
      {"ok\t1\n" + longKey + "\tx\n", {},
       ": line 2 (key \"" + std::string(40, 'z') +
           "...\"): key longer than 511 units (512) (--cut cuts it)"},
      // The first key in entry order, not the first line.
      {"b\t1\n" + first50 + "\t2\n", {},
       ": line 2 (key \"" + std::string(40, 'a') +
           "...\"): first key longer than 49 units (50) (--cut cuts it)"},
      {"a\t1\nb\tbad \xFF byte\n", {}, ": line 2: text is not valid UTF-8 (byte 7 of the line)"},
      {"a\tone|two\n", {"--separator", "124"},
       ": line 1 (key \"a\"): the content holds the separator character itself, which would "
       "read as a line break"},
  };
  for (const Refusal& refusal : refusals) {
    const std::string input = WriteFile("in.tsv", refusal.tsv);
    const std::string book = input + ".xqb";
    std::vector<std::string> args{"build", input, "-o", book};
    args.insert(args.end(), refusal.options.begin(), refusal.options.end());
    const Result r = Xqb(args);
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, input + refusal.message + "\n");
    EXPECT_FALSE(std::filesystem::exists(book)) << "nothing is written";
  }
  const Result r = Xqb({"build", WriteFile("t.tsv", "a\tb\n"), "-o", "/nonexistent/x.xqb",
                     "--title", "Twenty-two characters."});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "xqb: --title \"Twenty-two characters.\": longer than 21 units (--cut cuts it)\n");
}

TEST(XqbBuild, AFailedBuildLeavesTheEarlierBookAndNoScratchFile) {
  // The book is written as it is made, under a scratch name: whatever
  // stops the build, the book there before stays as it was.
  const std::string book = WriteFile("kept.xqb", "");
  ASSERT_EQ(Xqb({"build", WriteFile("good.tsv", "a\tfirst\n"), "-o", book}).code, 0);
  const std::string before = Dump(book);
  struct Failure {
    const char* name;
    std::string tsv;
    std::vector<std::string> options;
    std::string message;  // its start
  };
  const std::vector<Failure> failures = {
      {"refused", "a\tx\n" + std::string(600, 'k') + "\ty\n", {}, "line 2"},
      {"separator", "a\tone|two\n", {"--separator", "124"}, "line 1"},
      {"unreadable", "a\tbad \xFF\n", {}, "line 1"},
  };
  for (const Failure& f : failures) {
    const std::string input = WriteFile("bad.tsv", f.tsv);
    std::vector<std::string> args{"build", input, "-o", book};
    args.insert(args.end(), f.options.begin(), f.options.end());
    const Result r = Xqb(args);
    EXPECT_EQ(r.code, 2) << f.name;
    EXPECT_EQ(r.err.rfind(input + ": " + f.message, 0), 0u) << f.name << ": " << r.err;
    EXPECT_EQ(Dump(book), before) << f.name;
    EXPECT_FALSE(std::filesystem::exists(book + ".xqb-part")) << f.name;
  }
  const std::string nowhere = book + ".missing/x.xqb";
  const Result r = Xqb({"build", WriteFile("good.tsv", "a\tfirst\n"), "-o", nowhere});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err.rfind(nowhere + ": cannot write the book (", 0), 0u) << r.err;
  ASSERT_EQ(Xqb({"build", WriteFile("new.tsv", "b\tsecond\n"), "-o", book}).code, 0);
  EXPECT_EQ(Dump(book), "b\tsecond\n") << "a finished build replaces the book";
  EXPECT_FALSE(std::filesystem::exists(book + ".xqb-part"));
}

TEST(XqbBuild, LongContentsGoOnInEntriesOfTheSameKey) {
  // Once refused without --cut: now split, nothing lost, the parts shown
  // one after another; with --cut still cut.
  const std::string lines = std::string(20000, 'x') + "\\n" + std::string(20000, 'y') + "\\n" +
                            std::string(30000, 'z');
  struct Case {
    std::string content;            // as the word list gives it
    std::vector<std::string> parts;  // as dump shows them
  };
  const std::vector<Case> cases = {
      {std::string(32768, 'c'), {std::string(32767, 'c'), "c"}},
      {lines, {std::string(20000, 'x'), std::string(20000, 'y'), std::string(30000, 'z')}},
      {std::string(32767, 'c'), {std::string(32767, 'c')}},
  };
  for (const Case& c : cases) {
    const std::string input = WriteFile("long.tsv", "a\tfirst\nbig\t" + c.content + "\nc\tlast\n");
    const std::string book = input + ".xqb";
    const Result r = Xqb({"build", input, "-o", book});
    ASSERT_EQ(r.code, 0) << r.err;
    std::string expected = "a\tfirst\n";
    for (const std::string& part : c.parts) expected += "big\t" + part + "\n";
    expected += "c\tlast\n";
    EXPECT_EQ(Dump(book), expected);
    EXPECT_EQ(r.err, c.parts.size() == 1
                         ? ""
                         : "xqb: " + input + ": 1 content longer than 65,534 bytes goes on in "
                           "entries of the same key that follow (--cut cuts instead)\n");
  }
}

TEST(XqbBuild, CutOnlyWhenAskedAndSaysSo) {
  const std::string longKey(600, 'k');
  const std::string longContent(40000, 'c');
  const std::string tsv = "b" + std::string(59, 'x') + "\tfirst\n" + "m\t" + longContent +
                          "\n" + "n" + longKey + "\tlong key\n";
  const std::string input = WriteFile("cut.tsv", tsv);
  const std::string book = input + ".xqb";
  const Result r = Xqb({"build", input, "-o", book, "--cut", "--title", "A title of over twenty-one"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err,
            "xqb: --title: title cut from 26 to 21 units (--cut)\n"
            "xqb: " + input + ": line 1 (key \"b" + std::string(39, 'x') +
                "...\"): first key cut from 60 to 49 units (--cut)\n"
                "xqb: " + input + ": line 2 (key \"m\"): content cut from 80000 to 65534 bytes (--cut)\n"
                "xqb: " + input + ": line 3 (key \"n" + std::string(39, 'k') +
                "...\"): key cut from 601 to 511 units (--cut)\n");
  EXPECT_EQ(Dump(book), "b" + std::string(48, 'x') + "\tfirst\n" + "m\t" +
                            std::string(32767, 'c') + "\n" + "n" + std::string(510, 'k') +
                            "\tlong key\n");
  EXPECT_NE(Xqb({"info", book}).out.find("title: A title of over twent\n"), std::string::npos);
}

TEST(XqbBuild, CutNeverSplitsASurrogatePair) {
  // 48 units, then an astral character across units 49 and 50.
  const std::string key = std::string(48, 'a') + "📖";
  const std::string input = WriteFile("pair.tsv", key + "\tx\n");
  const Result r = Xqb({"build", input, "-o", input + ".xqb", "--cut"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.err.find("first key cut from 50 to 48 units"), std::string::npos) << r.err;
  EXPECT_EQ(Dump(input + ".xqb"), std::string(48, 'a') + "\tx\n");
}

TEST(BookBuilder, SplitLongContentsKeepsEveryUnitInOrder) {
  constexpr std::size_t kLimit = 32767;
  const std::u16string pair = u"\U0001F4D6";
  struct Case {
    const char* name;
    std::u16string content;
    std::vector<std::size_t> parts;  // sizes, in units
    std::size_t joins;               // line breaks dropped between parts
  };
  const std::vector<Case> cases = {
      {"fits", std::u16string(kLimit, u'c'), {kLimit}, 0},
      {"one unit over", std::u16string(kLimit + 1, u'c'), {kLimit, 1}, 0},
      {"three lines", std::u16string(20000, u'x') + u"\n" + std::u16string(20000, u'y') + u"\n" +
                          std::u16string(100, u'z'),
       {20000, 20100 + 1}, 1},
      {"line longer than a part", std::u16string(3 * kLimit, u'q'), {kLimit, kLimit, kLimit}, 0},
      {"break first", u"\n" + std::u16string(40000, u'q'), {kLimit, 40001 - kLimit}, 0},
      {"pair at the cut", std::u16string(kLimit - 1, u'a') + pair + u"b",
       {kLimit - 1, 3}, 0},
  };
  for (const Case& c : cases) {
    std::vector<BookEntry> entries = {{u"a", u"before"}, {u"k", c.content}, {u"z", u"after"}};
    std::vector<std::size_t> from;
    const std::size_t split = SplitLongContents(&entries, &from);
    EXPECT_EQ(split, c.parts.size() > 1 ? 1u : 0u) << c.name;
    ASSERT_EQ(entries.size(), c.parts.size() + 2) << c.name;
    ASSERT_EQ(from.size(), entries.size()) << c.name;
    EXPECT_EQ(entries.front().content, u"before");
    EXPECT_EQ(entries.back().content, u"after");
    EXPECT_EQ(from.front(), 0u);
    EXPECT_EQ(from.back(), 2u);
    std::u16string joined;
    for (std::size_t p = 0; p < c.parts.size(); ++p) {
      const BookEntry& part = entries[p + 1];
      EXPECT_EQ(part.key, u"k") << c.name;
      EXPECT_EQ(from[p + 1], 1u) << c.name;
      EXPECT_EQ(part.content.size(), c.parts[p]) << c.name << " part " << p;
      EXPECT_LE(part.content.size(), kLimit) << c.name;
      joined += part.content;
    }
    EXPECT_EQ(joined.size() + c.joins, c.content.size()) << c.name;
    // What is left out is only the line breaks the parts end at.
    std::u16string without = c.content;
    std::u16string kept = joined;
    std::erase(without, u'\n');
    std::erase(kept, u'\n');
    EXPECT_EQ(kept, without) << c.name;
  }
  // The builder itself still refuses what was not split.
  Bytes image;
  std::string error;
  EXPECT_EQ(BuildBookImage({{u"big", std::u16string(kLimit + 1, u'c')}}, BookLayout{}, &image,
                           &error),
            0);
  EXPECT_EQ(error, "entry 0 (key \"big\"): content longer than 65,534 bytes (65536 bytes)");
}

TEST(BookBuilder, RefusesTheBlockAfterTheLast) {
  // A block a entry: 65,535 blocks are the most a book can number.
  BookLayout layout;
  layout.blockBytes = 1;
  std::vector<BookEntry> entries(65535, BookEntry{u"k", u""});
  Bytes image;
  BuildReport report;
  ASSERT_EQ(quill::BuildBook(entries, layout, &image, &report), 1) << report.problem;
  EXPECT_EQ(report.blockCount, 65535u);
  entries.push_back(BookEntry{u"k", u""});
  EXPECT_EQ(quill::BuildBook(entries, layout, &image, &report), 0);
  EXPECT_EQ(report.problemEntry, 65535u);
  EXPECT_EQ(report.problem, "more than 65,535 blocks needed, the first one over from here");
}

TEST(BookBuilder, ThreadsMakeTheSameBook) {
  // Text that compresses, and random text in blocks too large to store
  // whole, which are split in two.
  std::mt19937 random(5);
  std::vector<BookEntry> words;
  std::vector<BookEntry> noise;
  for (int i = 0; i < 3000; ++i) {
    std::u16string content;
    for (int k = 0; k < 20 + i % 50; ++k) content += u"word" + std::u16string(1, u'a' + random() % 26);
    words.push_back({u"k" + std::u16string(1, u'a' + i % 26) + std::u16string(i / 26 % 50 + 1, u'x'), content});
  }
  for (int i = 0; i < 60; ++i) {
    std::u16string content(2000, u' ');
    for (char16_t& u : content) u = static_cast<char16_t>(0x4E00 + random() % 0x5000);
    noise.push_back({u"n" + std::u16string(1, u'a' + i % 26), content});
  }
  SortEntries(words);
  SortEntries(noise);
  BookLayout large;
  large.blockBytes = std::size_t{1} << 20;
  for (const auto& [entries, layout] :
       std::vector<std::pair<std::vector<BookEntry>, BookLayout>>{{words, BookLayout{}},
                                                                   {noise, large}}) {
    Bytes one;
    BuildReport report;
    BookLayout serial = layout;
    serial.threads = 1;
    ASSERT_EQ(quill::BuildBook(entries, serial, &one, &report), 1) << report.problem;
    const std::size_t blocks = report.blockCount;
    for (const unsigned threads : {2u, 3u, 0u}) {
      BookLayout parallel = layout;
      parallel.threads = threads;
      Bytes image;
      ASSERT_EQ(quill::BuildBook(entries, parallel, &image, &report), 1) << report.problem;
      EXPECT_EQ(image, one) << threads << " threads";
      EXPECT_EQ(report.blockCount, blocks);
    }
  }
}

// -------------------------------------------------------------- look-ups

TEST(XqbLookup, ShowsTheEntryTheCursorEndsOn) {
  const std::string book = BuildBook(Lines(kWords));
  // Entries: 0 Apple, 1 apple, 2 APPLE, 3 apples, 4 empty, 5 zebra, ...
  Result r = Xqb({"lookup", book, "aPPle"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "found 0\nApple\nfirst apple\n");
  r = Xqb({"lookup", book, "zebra"});
  EXPECT_EQ(r.out, "found 5\nzebra\nstriped\nhorse\n");
  r = Xqb({"lookup", book, "apples"});
  EXPECT_EQ(r.out, "found 3\napples\n\n\nafter two breaks\n");
  r = Xqb({"lookup", book, "emp"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "nearest 4\nempty\n\n");
  r = Xqb({"lookup", book, "яблоко"});
  EXPECT_EQ(r.out, "found 7\nяблоко\napple in Russian\n");
  r = Xqb({"lookup", book, "ÉTÉ"});  // only A to Z fold
  EXPECT_EQ(r.out.rfind("nearest ", 0), 0u);
  r = Xqb({"lookup", book, "--", "-dash"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out.rfind("nearest ", 0), 0u);

  const std::string empty = BuildBook("");
  r = Xqb({"lookup", empty, "anything"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
}

TEST(XqbFind, ListsMatchesInBookOrder) {
  const std::string book = BuildBook(Lines(kWords));
  Result r = Xqb({"find", book, "APPLE"});
  EXPECT_EQ(r.code, 0);
  // The key or the content, folded: "apple in Russian" too.
  EXPECT_EQ(r.out, "0\tApple\n1\tapple\n2\tAPPLE\n3\tapples\n7\tяблоко\n");
  r = Xqb({"find", book, "apple", "--limit", "2"});
  EXPECT_EQ(r.out, "0\tApple\n1\tapple\n");
  // Both terms, each in the key or the content.
  r = Xqb({"find", book, "second", "apple"});
  EXPECT_EQ(r.out, "1\tapple\n");
  r = Xqb({"find", book, "unit", "📖"});
  EXPECT_EQ(r.out, "9\t📖\n");
  r = Xqb({"find", book, "apple", "nowhere"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  // The find panel's text box holds 80 bytes: a term of 80 units is whole.
  r = Xqb({"find", book, std::string(80, 'q')});
  EXPECT_EQ(r.code, 1);
  r = Xqb({"find", book, std::string(81, 'q')});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "xqb: TERM \"" + std::string(81, 'q') + "\" is longer than 80 units\n");
}

TEST(XqbFind, StopsAtTheLimitOnABigBook) {
  std::vector<std::string> lines;
  for (int i = 0; i < 1000; ++i) lines.push_back("w" + std::to_string(1000 + i) + "\tcommon");
  const std::string book = BuildBook(Lines(lines));
  const Result r = Xqb({"find", book, "common"});
  EXPECT_EQ(r.code, 0);
  std::string expected;
  for (int i = 0; i < 300; ++i) expected += std::to_string(i) + "\tw" + std::to_string(1000 + i) + "\n";
  EXPECT_EQ(r.out, expected);
}

TEST(XqbInfo, ShowsTheHeaderAndSizes) {
  const std::string book = BuildBook("b\tbee\na\tant ant ant ant ant ant\n", {"--title", "Tiny"});
  const Bytes file = ReadBytes(book);
  BookHeader h;
  std::memcpy(&h, file.data(), sizeof h);
  ASSERT_EQ(h.blockCount, 1u);
  const std::size_t stored = file.size() - kHeaderBytes;  // one block and two indexes
  const std::size_t decoded = 2 * (1 + 23 + 1 + 3) + 8 + 2 * 8;
  char ratio[16];
  std::snprintf(ratio, sizeof ratio, "%.3f", static_cast<double>(stored) / decoded);
  const Result r = Xqb({"info", book});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "title: Tiny\nentries: 2\nblocks: 1\ntextBufferUnits: 24\nmaxBlockSize: " +
                       std::to_string(h.maxBlockSize) + "\nseparator: 0x0A\nfile size: " +
                       std::to_string(file.size()) + " bytes\nstored/decoded: " +
                       std::to_string(stored) + "/" + std::to_string(decoded) + " bytes (" +
                       ratio + ")\n");
  EXPECT_EQ(h.maxBlockSize, 2u * (1 + 23 + 1 + 3));  // decoded, larger than stored
  // The word list's name is the title when none is given.
  EXPECT_NE(Xqb({"info", BuildBook("a\tb\n")}).out.find("title: words\n"), std::string::npos);
}

// -------------------------------------------------------------- failures

void ExpectFailure(const Result& r, const std::string& message) {
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, message + "\n");
}

TEST(XqbFailures, BooksThatCannotBeRead) {
  const std::string missing = quill::testing::ScratchDir() + "/missing.xqb";
  const std::string text = WriteFile("text.xqb", "just some text, no book at all");
  const std::string empty = WriteFile("empty.xqb", "");
  std::string bookBytes = [] {
    const Bytes b = ReadBytes(BuildBook("a\t1\nb\t2\n"));
    return std::string(b.begin(), b.end());
  }();
  const std::string shortBook = WriteFile("short.xqb", bookBytes.substr(0, 300));
  std::string badIndex = bookBytes;
  badIndex[0x110] = '\x7F';  // the entry index lies beyond the file's end
  badIndex[0x113] = '\x7F';
  const std::string farIndex = WriteFile("far.xqb", badIndex);
  for (const std::string command : {"info", "lookup", "find", "dump"}) {
    SCOPED_TRACE(command);
    auto run = [&](const std::string& path) {
      std::vector<std::string> args{command, path};
      if (command == "lookup" || command == "find") args.push_back("a");
      return Xqb(args);
    };
    ExpectFailure(run(missing), missing + ": cannot open the file (No such file or directory)");
    ExpectFailure(run(text), text + ": not a book (it does not start with the XQB signature)");
    ExpectFailure(run(empty), empty + ": not a book (it does not start with the XQB signature)");
    ExpectFailure(run(shortBook),
                  shortBook + ": damaged book (its header and indexes do not hold together)");
    ExpectFailure(run(farIndex),
                  farIndex + ": damaged book (its header and indexes do not hold together)");
  }
}

TEST(XqbFailures, ADamagedBlockIsReportedWhenTheAnswerGoesThroughIt) {
  std::vector<std::string> lines;
  for (int i = 0; i < 1000; ++i) {
    lines.push_back("w" + std::to_string(1000 + i) + "\tsome words here");
  }
  Bytes file = ReadBytes(BuildBook(Lines(lines)));
  BookHeader h;
  std::memcpy(&h, file.data(), sizeof h);
  ASSERT_GT(h.blockCount, 4u);
  std::vector<BlockIndexRecord> blocks(h.blockCount);
  DecodeStored(file.data() + h.blockIndexOffset, reinterpret_cast<std::uint8_t*>(blocks.data()),
               h.blockIndexSize, blocks.size() * sizeof(BlockIndexRecord));
  // The last block now opens with a back-reference to before its start.
  const std::uint32_t last = h.blockCount - 1;
  const BlockIndexRecord& r = blocks[last];
  ASSERT_NE(file[r.fileOffset], 0) << "the block is compressed";
  file[r.fileOffset + 1] = 0xFF;
  file[r.fileOffset + 2] = 0xF0;
  const std::string path = WriteFile("damaged.xqb", std::string(file.begin(), file.end()));
  std::vector<EntryIndexRecord> entries(1000);
  DecodeStored(file.data() + h.entryIndexOffset, reinterpret_cast<std::uint8_t*>(entries.data()),
               h.entryIndexSize, entries.size() * sizeof(EntryIndexRecord));
  int firstInLast = 0;
  while (entries[static_cast<std::size_t>(firstInLast)].block != last) ++firstInLast;
  const std::string damaged = path + ": damaged book (block " + std::to_string(last) +
                              " cannot be read)\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;  // empty: the command answers
    std::string out;
  };
  const std::vector<Case> cases = {
      // Sizes need every block.
      {{"info", path}, damaged, ""},
      // The look-up of the last word compares keys of the last block; that
      // of the first word never comes near it.
      {{"lookup", path, "w1999"}, damaged, ""},
      {{"lookup", path, "w1000"}, "", "found 0\nw1000\nsome words here\n"},
      // A term no entry holds is looked for in every block; one found in
      // the first entry, with room for one match, needs no other block.
      {{"find", path, "zz"}, damaged, ""},
      {{"find", path, "w19"}, damaged, ""},
      {{"find", path, "w1", "--limit", "1"}, "", "0\tw1000\n"},
      // dump checks every entry before it writes anything.
      {{"dump", path},
       path + ": damaged book (entry " + std::to_string(firstInLast) +
           " cannot be read from its block)\n",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const Result run = Xqb(c.args);
    EXPECT_EQ(run.out, c.out);
    if (c.err.empty()) {
      EXPECT_EQ(run.code, 0);
      EXPECT_EQ(run.err, "");
    } else {
      EXPECT_EQ(run.code, 2);
      EXPECT_EQ(run.err.rfind(c.err, 0), 0u) << run.err;
    }
  }
}

TEST(XqbFailures, DamagedBooksNeverCrash) {
  std::vector<std::string> lines;
  for (int i = 0; i < 60; ++i) lines.push_back("k" + std::to_string(i) + "\tv\\nv" + std::to_string(i));
  const Bytes good = ReadBytes(BuildBook(Lines(lines)));
  std::mt19937 random(17);
  for (int round = 0; round < 150; ++round) {
    Bytes bad = good;
    const int flips = 1 + static_cast<int>(random() % 6);
    for (int f = 0; f < flips; ++f) {
      // The header's numbers half the time, anywhere the other half.
      const std::size_t at = random() % 2 ? 0xF0 + random() % 0x30 : random() % bad.size();
      bad[at] = static_cast<std::uint8_t>(random());
    }
    if (random() % 5 == 0) bad.resize(random() % bad.size());
    const std::string path = WriteFile("fuzzed.xqb", std::string(bad.begin(), bad.end()));
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"info", path}, {"lookup", path, "k3"},
                                               {"find", path, "v1", "k"}, {"dump", path}}) {
      const Result run = Xqb(args);
      ASSERT_GE(run.code, 0);
      ASSERT_LE(run.code, 2);
      if (run.code == 2) {
        EXPECT_EQ(run.err.rfind(path + ": ", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
      }
    }
  }
}

TEST(XqbFailures, DumpSaysWhatItCannotWriteBack) {
  // A book from elsewhere may hold text no word-list line can.
  const std::string path = quill::testing::WriteBook(
      {{u"fine", u"ok"}, {u"ta\tb", u"x"}, {u"z", std::u16string(u"nul\0here", 8)}});
  const Result r = Xqb({"dump", path});
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.out, "fine\tok\nta\\tb\tx\nz\tnul\0here\n"s);
  EXPECT_EQ(r.err, path + ": 2 entries cannot be dumped as build reads them back; the first is "
                          "entry 1 (key \"ta\\tb\"): its key holds a tab or line break\n");
}

TEST(XqbFailures, BadArguments) {
  const std::string book = BuildBook("a\tb\n");
  const std::string tsv = WriteFile("in.tsv", "a\tb\n");
  ExpectFailure(Xqb({}), "xqb: no command given (commands: build, info, lookup, suggest, find, dump)");
  ExpectFailure(Xqb({"open", book}),
                "xqb: unknown command \"open\" (commands: build, info, lookup, suggest, find, dump)");
  ExpectFailure(Xqb({"build", tsv}), "xqb: build needs -o BOOK");
  ExpectFailure(Xqb({"build", tsv, tsv, "-o", "x"}),
                "xqb: build takes one INPUT (a word list, a dictd .index, a StarDict .ifo or a "
                "DSL .dsl) and -o BOOK");
  ExpectFailure(Xqb({"build", tsv, "-o"}), "xqb: -o needs a value");
  ExpectFailure(Xqb({"build", tsv, "-o", "a", "-o", "b"}), "xqb: -o given twice");
  ExpectFailure(Xqb({"build", tsv, "-o", "a", "--separator", "0"}),
                "xqb: --separator 0: give a character code from 1 to 127 (0x01 to 0x7F)");
  ExpectFailure(Xqb({"build", tsv, "-o", "a", "--separator", "0x80"}),
                "xqb: --separator 0x80: give a character code from 1 to 127 (0x01 to 0x7F)");
  ExpectFailure(Xqb({"build", tsv, "-o", "a", "--separator", "x"}),
                "xqb: --separator x: give a character code from 1 to 127 (0x01 to 0x7F)");
  ExpectFailure(Xqb({"info", book, "--cut"}),
                "xqb: unknown option --cut for info (a word that starts with \"-\" goes after \"--\")");
  ExpectFailure(Xqb({"info"}), "xqb: info takes one BOOK");
  ExpectFailure(Xqb({"lookup", book}), "xqb: lookup takes BOOK and WORD");
  ExpectFailure(Xqb({"lookup", book, "bad \xFF"}), "xqb: WORD is not valid UTF-8");
  ExpectFailure(Xqb({"find", book, "a", "b", "c"}), "xqb: find takes BOOK and one or two TERMs");
  ExpectFailure(Xqb({"find", book, "a", "--limit", "0"}),
                "xqb: --limit 0: give a count of at least 1");
  ExpectFailure(Xqb({"find", book, "a", "--limit", "-3"}),
                "xqb: --limit -3: give a count of at least 1");
  ExpectFailure(Xqb({"dump", book, "extra"}), "xqb: dump takes one BOOK");
  ExpectFailure(Xqb({"build", quill::testing::ScratchDir() + "/none.tsv", "-o", "x"}),
                quill::testing::ScratchDir() + "/none.tsv: cannot read the file (No such file or directory)");
  const Result help = Xqb({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_EQ(help.out.rfind("usage: xqb build INPUT -o BOOK", 0), 0u);
}

TEST(XqbBuild, LongBuildsShowProgress) {
  std::vector<std::string> lines;
  for (int i = 0; i < 600; ++i) lines.push_back("w" + std::to_string(1000 + i) + "\t" + std::string(100, 'p'));
  const std::string input = WriteFile("slow.tsv", Lines(lines));
  const std::string book = input + ".xqb";
  // A clock that moves 0.4 s a look.
  double now = 0;
  Result r = Xqb({"build", input, "-o", book}, [&now] { return now += 0.4; });
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err.rfind("xqb: building " + book + ": ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("% of 600 entries\n"), std::string::npos);
  EXPECT_EQ(r.err.substr(r.err.size() - book.size() - 12), "xqb: built " + book + "\n");
  // A quick build says nothing.
  r = Xqb({"build", input, "-o", book}, [] { return 0.0; });
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace quill::xqb
