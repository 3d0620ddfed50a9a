// xqb build on StarDict and DSL dictionaries, as files on disk: the book
// it makes, what it tells, and the one-line refusals that leave no book.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "import/convert.h"
#include "import/dictd_reader.h"
#include "import/gzip.h"
#include "book/utf.h"
#include "support/test_books.h"
#include "import/dictd_test_data.h"
#include "import/stardict_test_data.h"
#include "tools/xqb_run.h"

namespace quill::xqb {

// xqb is the command line of the import readers and the conversion.
using namespace quill::import;
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using import::testing::Bytes;

using testing::Result;
using testing::Xqb;

// A folder of its own for each dictionary.
std::string Folder() {
  static int serial = 0;
  const std::string folder = quill::testing::ScratchDir() + "/import" + std::to_string(serial++);
  fs::create_directories(folder);
  return folder;
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void Write(const std::string& path, const Bytes& bytes) {
  Write(path, std::string(bytes.begin(), bytes.end()));
}

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes a dictionary's files as NAME.ifo and the rest beside it, the .idx
// and .dict in the forms asked for; returns the .ifo's path.
std::string WriteStarDict(const import::testing::StarDictFixture& f, bool idxGz, bool dictDz) {
  const std::string base = Folder() + "/dict";
  Write(base + ".ifo", f.ifo);
  Write(base + (idxGz ? ".idx.gz" : ".idx"), idxGz ? import::testing::Gzip(f.idx) : f.idx);
  const std::string text(f.dict.begin(), f.dict.end());
  Write(base + (dictDz ? ".dict.dz" : ".dict"), dictDz ? import::testing::Dictzip(text, 16) : f.dict);
  if (!f.syn.empty()) Write(base + ".syn", f.syn);
  return base + ".ifo";
}

std::string BuildAndDump(const std::string& input, Result* build) {
  const std::string book = input + ".xqb";
  *build = Xqb({"build", input, "-o", book});
  if (build->code != 0) return "";
  return Xqb({"dump", book}).out;
}

TEST(XqbImport, StarDictBecomesABook) {
  import::testing::StarDictPlan plan;
  plan.bookname = "Tiny StarDict";
  plan.words = {{"Apple", import::testing::Field('h', "<p>a company</p><p>in <i>California</i></p>") +
                              import::testing::Field('r', "logo.png")},
                {"apple", import::testing::Field('t', "\xCB\x88\xC3\xA6pl") +
                              import::testing::Field('g', "<b>a fruit</b>\nred &amp; round") +
                              import::testing::Field('W', "RIFF....")},
                {"zebra", import::testing::Field('x', "<k>zebra</k>\n<def>striped</def>")}};
  plan.synonyms = {{"pomme", 1}, {"zebras", 2}};
  for (const bool packed : {false, true}) {
    SCOPED_TRACE(packed ? ".idx.gz and .dict.dz" : ".idx and .dict");
    const std::string ifo = WriteStarDict(import::testing::MakeStarDict(plan), packed, packed);
    Result build;
    const std::string dumped = BuildAndDump(ifo, &build);
    ASSERT_EQ(build.code, 0) << build.err;
    // Keys equal but for case keep their file order.
    EXPECT_EQ(dumped,
              "Apple\ta company\\n\\nin California\n"
              // The IPA transcription ˈæpl in the strip's alphabet.
              "apple\t['apl]\\na fruit\\nred & round\n"
              "pomme\t['apl]\\na fruit\\nred & round\n"
              "zebra\tzebra\\nstriped\n"
              "zebras\tzebra\\nstriped\n");
    EXPECT_EQ(build.err, "xqb: " + ifo +
                             ": 2 fields left out, resources and binary data the book cannot "
                             "hold (W 1, r 1)\n"
                             "xqb: " + ifo + ": 1 transcription drawn on the phonetic strip, 0 kept as text\n");
    EXPECT_NE(Xqb({"info", ifo + ".xqb"}).out.find("title: Tiny StarDict\n"), std::string::npos);
    const Result lookup = Xqb({"lookup", ifo + ".xqb", "pomme"});
    EXPECT_EQ(lookup.out, "found 2\npomme\n['apl]\na fruit\nred & round\n");
  }
}

TEST(XqbImport, DslBecomesABook) {
  const std::string cards =
      "#NAME \"Tiny DSL\"\n\n"
      "colo(u)r\n\t[m1][p]noun[/p][/m]\n\t[m2][trn]a hue[/trn][/m]\n"
      "Apple\napple\n\t[ex]an ~[/ex]\n";
  std::u16string wide;
  ASSERT_EQ(Utf8ToUtf16(cards, &wide), 1);
  Bytes utf16 = {0xFF, 0xFE};
  for (const char16_t u : wide) {
    utf16.push_back(static_cast<std::uint8_t>(u & 0xFF));
    utf16.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  const std::string expected =
      "Apple\tan Apple\napple\tan Apple\ncolor\tnoun\\n  a hue\ncolour\tnoun\\n  a hue\n";
  const std::string folder = Folder();
  Write(folder + "/wide.dsl", utf16);
  Write(folder + "/packed.dsl.dz", import::testing::Gzip(import::testing::ToBytes(cards)));
  for (const std::string name : {"wide.dsl", "packed.dsl.dz"}) {
    Result build;
    EXPECT_EQ(BuildAndDump(folder + "/" + name, &build), expected) << build.err;
    EXPECT_EQ(build.err, "");
    EXPECT_NE(Xqb({"info", folder + "/" + name + ".xqb"}).out.find("title: Tiny DSL\n"),
              std::string::npos);
  }
  // Without #NAME the title is the file's name without its extensions.
  Write(folder + "/Plain Name.dsl.dz", import::testing::Gzip(import::testing::ToBytes("w\n\tx\n")));
  Result build;
  BuildAndDump(folder + "/Plain Name.dsl.dz", &build);
  EXPECT_NE(Xqb({"info", folder + "/Plain Name.dsl.dz.xqb"}).out.find("title: Plain Name\n"),
            std::string::npos);
}

// Cards filling many pieces of the file, packed, then damaged halfway: the
// damage is found long after the first cards were read.
Bytes DamagedDslGzip() {
  std::string cards;
  std::uint32_t x = 1;
  for (int i = 0; cards.size() < 400000; ++i, x = x * 1103515245u + 12345u) {
    cards += "w" + std::to_string(i) + "\n\t" + std::to_string(x) + "\n\n";
  }
  Bytes packed = import::testing::Gzip(import::testing::ToBytes(cards));
  packed[packed.size() / 2] ^= 0x55;
  return packed;
}

// What inflating the data whole says of it.
std::string WholeGzipProblem(const Bytes& packed) {
  std::vector<std::uint8_t> text;
  std::string problem;
  EXPECT_EQ(InflateGzip(packed.data(), packed.size(), ~std::uint64_t{0}, &text, &problem), 0);
  EXPECT_EQ(problem.rfind("the compressed data is damaged", 0), 0u) << problem;
  return problem;
}

TEST(XqbImport, RefusalsAreOneLineAndLeaveNoBook) {
  import::testing::StarDictPlan plan;
  plan.sameTypeSequence = "m";
  plan.words = {{"a", "first"}, {"b", "second"}};
  const import::testing::StarDictFixture good = import::testing::MakeStarDict(plan);
  import::testing::StarDictPlan longFirst = plan;
  longFirst.words = {{std::string(60, 'k'), "x"}};

  struct Case {
    const char* name;
    std::function<std::string()> write;  // returns the input's path
    std::string message;                 // after "PATH", where PATH is the input's folder
  };
  const std::vector<Case> cases = {
      {"idx cut", [&] {
         import::testing::StarDictFixture f = good;
         f.idx.resize(f.idx.size() - 2);
         return WriteStarDict(f, false, false);
       },
       "/dict.idx: word 2 at byte 10 is cut short (the file ends in it)"},
      {"dictzip table", [&] {
         const std::string ifo = WriteStarDict(good, false, true);
         std::string dz = Read(ifo.substr(0, ifo.size() - 4) + ".dict.dz");
         dz[16] = 9;
         Write(ifo.substr(0, ifo.size() - 4) + ".dict.dz", dz);
         return ifo;
       },
       "/dict.dict.dz: the dictzip chunk table in the header is damaged"},
      {"no dict", [&] {
         const std::string ifo = WriteStarDict(good, false, false);
         fs::remove(ifo.substr(0, ifo.size() - 4) + ".dict");
         return ifo;
       },
       "/dict.ifo: neither FOLDER/dict.dict nor FOLDER/dict.dict.dz is there"},
      {"first key", [&] { return WriteStarDict(import::testing::MakeStarDict(longFirst), false, false); },
       "/dict.idx: word 1 (key \"" + std::string(40, 'k') +
           "...\"): first key longer than 49 units (60) (--cut cuts it)"},
      {"dsl UTF-16", [] {
         const std::string path = Folder() + "/bad.dsl";
         Write(path, "\xFF\xFE" "a\0\n\0\t\0\x00\xD8"s);
         return path;
       },
       "/bad.dsl: line 2: the text is not valid UTF-16 (a lone surrogate)"},
      {"dsl gzip", [] {
         const std::string path = Folder() + "/bad.dsl.dz";
         Bytes packed = import::testing::Gzip(import::testing::ToBytes("word\n\tcontent\n"));
         packed.resize(packed.size() - 5);
         Write(path, packed);
         return path;
       },
       "/bad.dsl.dz: the compressed data ends early"},
      {"dsl gzip damaged halfway", [] {
         const std::string path = Folder() + "/halfway.dsl.dz";
         Write(path, DamagedDslGzip());
         return path;
       },
       "/halfway.dsl.dz: " + WholeGzipProblem(DamagedDslGzip())},
      {"dsl key", [] {
         const std::string path = Folder() + "/long.dsl";
         Write(path, "a\n\tx\n" + std::string(600, 'z') + "\n\tbody\n");
         return path;
       },
       "/long.dsl: line 3 (key \"" + std::string(40, 'z') +
           "...\"): key longer than 511 units (600) (--cut cuts it)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string input = c.write();
    const std::string folder = input.substr(0, input.find_last_of('/'));
    const std::string book = folder + "/out.xqb";
    Write(book, "an earlier book");
    const Result r = Xqb({"build", input, "-o", book});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    std::string message = folder + c.message;
    for (std::size_t at; (at = message.find("FOLDER")) != std::string::npos;) {
      message.replace(at, 6, folder);
    }
    EXPECT_EQ(r.err, message + "\n");
    EXPECT_EQ(Read(book), "an earlier book") << "the earlier book stays";
    EXPECT_FALSE(fs::exists(book + ".xqb-part"));
  }
}

// A conversion asks whether to stop at each of its steps; stopping at any
// of them fails with one line and leaves neither the book nor its scratch
// file, and one that is never stopped ends with all entries laid out.
// Each kind of source, converted once to count the times the conversion
// asks whether to stop (while reading, after it, after sorting, in the
// layout, before writing), then stopped at each of them in turn.
// How a conversion ended reaches its caller as a status, a reason and a
// list of notes: nothing is read back out of console text.
TEST(XqbImport, AConversionEndsWithItsStatusReasonAndNotes) {
  const std::string folder = Folder();
  const std::string longKey(600, 'k');
  struct Case {
    const char* name;
    std::string words;  // the word list's bytes
    bool cut;
    ConvertStatus status;
    std::string reason;  // after the list's path
    bool cuttable;
    std::vector<std::string> notes;  // after the list's path, where it begins one
  };
  const std::string shown = "key \"" + std::string(40, 'k') + "...\"";
  const Case cases[] = {
      {"done", "apple\ta fruit\n", false, ConvertStatus::kDone, "", false, {}},
      {"bad UTF-8", "apple\ta \xFF fruit\n", false, ConvertStatus::kFailed,
       ": line 1: text is not valid UTF-8 (byte 9 of the line)", false, {}},
      {"key too long", "apple\ta\n" + longKey + "\tb\n", false, ConvertStatus::kFailed,
       ": line 2 (" + shown + "): key longer than 511 units (600)", true, {}},
      {"key cut", "apple\ta\n" + longKey + "\tb\n", true, ConvertStatus::kDone, "", false,
       {": line 2 (" + shown + "): key cut from 600 to 511 units (--cut)"}},
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ConvertRequest request;
    request.input = folder + "/list" + std::to_string(serial++) + ".txt";
    request.output = request.input + ".xqb";
    request.cut = c.cut;
    request.split = !c.cut;
    request.title = u"List";
    request.haveTitle = true;
    Write(request.input, c.words);
    const ConvertResult result = ConvertToBook(request);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.reason, c.reason.empty() ? "" : request.input + c.reason);
    EXPECT_EQ(result.cuttable, c.cuttable);
    std::vector<std::string> notes;
    for (const std::string& note : c.notes) notes.push_back(request.input + note);
    EXPECT_EQ(result.notes, notes);
    EXPECT_EQ(fs::exists(request.output), c.status == ConvertStatus::kDone);
  }
}

TEST(XqbImport, ACancelledConversionStopsAtEveryStepAndLeavesNothing) {
  constexpr int kWords = 6000;  // enough for the StarDict reader's threads
  std::string words;
  std::string dsl = "#NAME \"Cards\"\n\n";
  import::testing::StarDictPlan plan;
  for (int n = 0; n < kWords; ++n) {
    char word[16];
    std::snprintf(word, sizeof word, "word%05d", n);
    const std::string entry = "the entry of word number " + std::to_string(n);
    words += word + "\t"s + entry + "\n";
    dsl += word + "\n\t"s + entry + "\n\n";
    plan.words.push_back({word, import::testing::Field('m', entry)});
  }
  const std::string folder = Folder();
  Write(folder + "/words.txt", words);
  Write(folder + "/cards.dsl", dsl);
  struct Case {
    std::string input;
    std::uint64_t readTotal;  // what reading counts to; 0: it tells nothing
  } const cases[] = {{folder + "/words.txt", 0},
                     {folder + "/cards.dsl", dsl.size()},
                     {WriteStarDict(import::testing::MakeStarDict(plan), false, true), kWords}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.input);
    ConvertRequest request;
    request.input = c.input;
    request.output = c.input + ".xqb";
    std::size_t asks = 0;
    std::size_t stopAt = 0;  // never
    std::uint64_t lastRead = 0;
    std::size_t lastDone = 0;
    std::size_t lastTotal = 0;
    bool readAfterBuilding = false;
    request.cancelled = [&] { return ++asks == stopAt; };
    request.reading = [&](std::uint64_t done, std::uint64_t total) {
      EXPECT_EQ(total, c.readTotal);
      EXPECT_GE(done, lastRead);
      lastRead = done;
      readAfterBuilding = readAfterBuilding || lastTotal != 0;
    };
    request.progress = [&](std::size_t done, std::size_t total) {
      lastDone = done;
      lastTotal = total;
    };
    const ConvertResult done = ConvertToBook(request);
    ASSERT_EQ(done.status, ConvertStatus::kDone) << done.reason;
    EXPECT_EQ(lastRead, c.readTotal);
    EXPECT_FALSE(readAfterBuilding);
    EXPECT_EQ(lastDone, std::size_t{kWords});
    EXPECT_EQ(lastTotal, std::size_t{kWords});
    const std::size_t steps = asks;
    ASSERT_GE(steps, c.readTotal == 0 ? 4u : 6u);
    fs::remove(request.output);
    for (stopAt = 1; stopAt <= steps; ++stopAt) {
      asks = 0;
      lastRead = 0;
      const ConvertResult stopped = ConvertToBook(request);
      EXPECT_EQ(stopped.status, ConvertStatus::kCancelled) << stopAt;
      EXPECT_EQ(stopped.reason, "") << stopAt;
      EXPECT_EQ(asks, stopAt) << "asked on after the stop";
      EXPECT_FALSE(fs::exists(request.output)) << stopAt;
      EXPECT_FALSE(fs::exists(request.output + ".xqb-part")) << stopAt;
    }
  }
}

}  // namespace
}  // namespace quill::xqb
