// StarDict dictionaries made here, in every form their files come in, and
// each kind of damage, read by the reader xqb build uses.
#include "import/stardict_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "import/dict_text.h"
#include "book/utf.h"
#include "import/dictd_test_data.h"
#include "import/stardict_test_data.h"

namespace quill::import {
namespace {

using namespace std::string_literals;
using testing::Bytes;
using testing::Field;
using testing::ToBytes;

StarDictFiles Files(const testing::StarDictFixture& f) {
  StarDictFiles files;
  files.ifo = ToBytes(f.ifo);
  files.idx = f.idx;
  files.dict = f.dict;
  files.haveSyn = !f.syn.empty();
  files.syn = f.syn;
  return files;
}

std::string Dump(const StarDictBook& book) {
  std::string text;
  for (std::size_t n = 0; n < book.entries.size(); ++n) {
    text += std::to_string(book.numbers[n]) + " " + ToUtf8(book.entries[n].key) + "=" +
            ToUtf8(book.entries[n].content) + "\n";
  }
  return text;
}

testing::StarDictPlan FruitPlan() {
  testing::StarDictPlan plan;
  plan.sameTypeSequence = "m";
  plan.words = {{"Apple", "a fruit"},
                {"apple", "lower case"},
                {"apple", "second apple"},
                {"banana", std::string(300, 'y') + " yellow"}};
  // "apple" only repeats its word and gives no entry of its own.
  plan.synonyms = {{"pomme", 0}, {"apple", 1}, {"pl\xC3\xA1tano", 3}};
  return plan;
}

TEST(StarDict, ReadsEveryFormOfItsFiles) {
  const std::string banana = std::string(300, 'y') + " yellow";
  const std::string expected = "1 Apple=a fruit\n2 apple=lower case\n3 apple=second apple\n4 banana=" +
                               banana + "\n1 pomme=a fruit\n3 pl\xC3\xA1tano=" + banana + "\n";
  for (const int bits : {32, 64}) {
    testing::StarDictPlan plan = FruitPlan();
    plan.offsetBits = bits;
    const testing::StarDictFixture fixture = testing::MakeStarDict(plan);
    const std::string text(fixture.dict.begin(), fixture.dict.end());
    // The .dict plain, as dictzip with chunks smaller than a word's data,
    // and as gzip without a chunk table; the .idx plain and gzip'd.
    const std::vector<std::pair<Bytes, bool>> dicts = {
        {fixture.dict, false}, {testing::Dictzip(text, 7), true},
        {testing::Dictzip(text, 60000), true}, {testing::Gzip(fixture.dict), true}};
    for (std::size_t d = 0; d < dicts.size(); ++d) {
      for (const bool idxGzip : {false, true}) {
        SCOPED_TRACE("bits " + std::to_string(bits) + ", dict form " + std::to_string(d) +
                     (idxGzip ? ", idx.gz" : ""));
        StarDictFiles files = Files(fixture);
        files.dict = dicts[d].first;
        files.dictGzip = dicts[d].second;
        files.idxGzip = idxGzip;
        if (idxGzip) files.idx = testing::Gzip(fixture.idx);
        StarDictBook book;
        StarDictProblem problem;
        ASSERT_EQ(ReadStarDict(files, &book, &problem), 1) << problem.what;
        EXPECT_EQ(Dump(book), expected);
        EXPECT_EQ(book.synonymsFrom, 4u);
        EXPECT_EQ(book.title, u"Test Dictionary");
        EXPECT_TRUE(book.skipped.empty());
      }
    }
  }
}

TEST(StarDict, FieldsOfEachType) {
  const struct {
    std::string types;
    std::string data;
    std::string content;
    std::string skipped;  // type letters left out
  } cases[] = {
      {"m", "plain text\n", "plain text", ""},
      {"m", "cut at\0the NUL"s, "cut at", ""},
      {"m", "", "", ""},
      {"tm", "t\xC9\x99st\0text"s, "[t5st]\ntext", ""},
      {"mt", "text\0tr"s, "[tr]\ntext", ""},
      // A symbol the strip has no cell for (ɒ): the transcription as text.
      {"tm", "h\xC9\x92t\0text"s, "h\xC9\x92t\ntext", ""},
      {"gh", "<i>a</i>\0<p>b</p><p>c</p>"s, "a\nb\n\nc", ""},
      {"mW", "text\0\x01\x02\x03"s, "text", "W"},
      {"Pm", "\0\0\0\x03" "abctext"s, "text", "P"},
      {"x", "<k>w</k>\n<tr>t</tr>", "    w\n[t]", ""},
      {"", Field('t', "tr") + Field('m', "text") + Field('W', "\x01\x02") +
               Field('r', "img.png") + Field('h', "<b>x</b><br>y"),
       "[tr]\ntext\nx\ny", "Wr"},
      {"", Field('y', "pinyin") + Field('w', "'''wiki'''") + Field('n', "net"),
       "pinyin\nwiki\nnet", ""},
      {"", Field('k', "<kingsoft/>") + Field('X', ""), "", "Xk"},
      {"", Field('m', "[not a transcription]"), "      [not a transcription]", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.types + " " + c.content);
    SkippedFields skipped;
    std::u16string content;
    std::string problem;
    const auto* data = reinterpret_cast<const std::uint8_t*>(c.data.data());
    ASSERT_EQ(StarDictContent(data, c.data.size(), c.types, &content, &skipped, &problem), 1)
        << problem;
    EXPECT_EQ(ToUtf8(content), c.content);
    std::string letters;
    for (const auto& [type, count] : skipped) letters += std::string(count, type);
    EXPECT_EQ(letters, c.skipped);
  }
}

TEST(StarDict, DamagedFieldsAreNamed) {
  const struct {
    std::string types;
    std::string data;
    std::string problem;
  } cases[] = {
      {"tm", "no NUL", "field 1 (type 't') has no NUL ending it"},
      {"", "mabc", "field 1 (type 'm') has no NUL ending it"},
      {"", "W\0\0\0\x09" "abc"s, "field 1 (type 'W') runs past the end of the word's data"},
      {"", Field('m', "ok") + "W\0\0"s, "field 2 (type 'W') runs past the end of the word's data"},
      {"Wm", "\0\0"s, "field 1 (type 'W') runs past the end of the word's data"},
      {"", "\x01" "abc\0"s, "field 1 has no type letter (byte 1)"},
      {"m", "ok \xFF", "field 1 (type 'm') is not valid UTF-8 (byte 3 of the field)"},
  };
  for (const auto& c : cases) {
    SkippedFields skipped;
    std::u16string content;
    std::string problem;
    const auto* data = reinterpret_cast<const std::uint8_t*>(c.data.data());
    EXPECT_EQ(StarDictContent(data, c.data.size(), c.types, &content, &skipped, &problem), 0);
    EXPECT_EQ(problem, c.problem);
  }
}

// A two-word dictionary, damaged one way.
struct Damage {
  const char* name;
  std::function<void(StarDictFiles&)> damage;
  StarDictFile file;
  std::string problem;  // exact, or its start when it ends with "..."
};

void ReplaceInIfo(StarDictFiles& files, const std::string& from, const std::string& to) {
  std::string ifo(files.ifo.begin(), files.ifo.end());
  ifo.replace(ifo.find(from), from.size(), to);
  files.ifo = ToBytes(ifo);
}

TEST(StarDict, EachDamageIsRefusedNamingFileAndPlace) {
  testing::StarDictPlan plan;
  plan.sameTypeSequence = "m";
  plan.words = {{"a", "first"}, {"b", std::string(200, 'b')}};
  plan.synonyms = {{"x", 1}};
  const testing::StarDictFixture good = testing::MakeStarDict(plan);
  const std::string text(good.dict.begin(), good.dict.end());
  const Bytes dz = testing::Dictzip(text, 64);
  // The dictzip header: 10 bytes, XLEN, "RA", its length, version, chunk
  // size and count, 4 sizes, then "name.dict" and its NUL.
  const std::size_t firstChunk = 10 + 2 + 10 + 2 * 4 + 10;
  const std::vector<Damage> damages = {
      {"magic", [](StarDictFiles& f) { f.ifo = ToBytes("StarDict dict ifo\nwordcount=2\n"); },
       StarDictFile::kIfo, "the first line is not \"StarDict's dict ifo file\""},
      {"empty ifo", [](StarDictFiles& f) { f.ifo.clear(); }, StarDictFile::kIfo,
       "the first line is not \"StarDict's dict ifo file\""},
      {"no wordcount", [](StarDictFiles& f) { ReplaceInIfo(f, "wordcount", "words"); },
       StarDictFile::kIfo, "no wordcount line"},
      {"wordcount", [](StarDictFiles& f) { ReplaceInIfo(f, "wordcount=2", "wordcount=2x"); },
       StarDictFile::kIfo, "line 4: wordcount \"2x\" is not a number"},
      {"offset bits", [](StarDictFiles& f) { ReplaceInIfo(f, "version", "idxoffsetbits=48\nv"); },
       StarDictFile::kIfo, "line 2: idxoffsetbits is 48 (32 or 64 only)"},
      {"types", [](StarDictFiles& f) { ReplaceInIfo(f, "sametypesequence=m", "sametypesequence=m1"); },
       StarDictFile::kIfo, "line 7: sametypesequence \"m1\" holds what is not a type letter"},
      {"bookname", [](StarDictFiles& f) { ReplaceInIfo(f, "Test", "T\xC3"); }, StarDictFile::kIfo,
       "line 3: the bookname is not valid UTF-8"},
      {"word count", [](StarDictFiles& f) { ReplaceInIfo(f, "wordcount=2", "wordcount=3"); },
       StarDictFile::kIfo, "wordcount is 3 but the .idx holds 2 words"},
      {"idx size", [](StarDictFiles& f) { ReplaceInIfo(f, "idxfilesize=20", "idxfilesize=21"); },
       StarDictFile::kIfo, "idxfilesize is 21 but the .idx holds 20 bytes"},
      {"idx cut", [](StarDictFiles& f) { f.idx.resize(f.idx.size() - 3); }, StarDictFile::kIdx,
       "word 2 at byte 10 is cut short (the file ends in it)"},
      {"idx cut in a word", [](StarDictFiles& f) { f.idx.resize(11); }, StarDictFile::kIdx,
       "word 2 at byte 10 is cut short (the file ends in it)"},
      {"idx order", [](StarDictFiles& f) { f.idx[0] = 'c'; }, StarDictFile::kIdx,
       "word 2 (\"b\") at byte 10 is out of order: it sorts before word 1 (\"c\")"},
      {"idx UTF-8", [](StarDictFiles& f) { f.idx[10] = 0xFF; }, StarDictFile::kIdx,
       "word 2 at byte 10 is not valid UTF-8"},
      {"dict cut", [](StarDictFiles& f) { f.dict.resize(f.dict.size() - 1); }, StarDictFile::kIdx,
       "word 2 (\"b\"): its data (200 bytes at offset 5) runs past the end of the 204 bytes of "
       "dictionary text"},
      {"offset", [](StarDictFiles& f) { f.idx[14] = 1; }, StarDictFile::kIdx,
       "word 2 (\"b\"): its data (200 bytes at offset 261) runs past the end of the 205 bytes "
       "of dictionary text"},
      {"data UTF-8", [](StarDictFiles& f) { f.dict[2] = 0xC3; }, StarDictFile::kDict,
       "word 1 (\"a\") at offset 0: field 1 (type 'm') is not valid UTF-8 (byte 2 of the field)"},
      {"syn target", [](StarDictFiles& f) { f.syn.back() = 2; }, StarDictFile::kSyn,
       "synonym 1 (\"x\") stands for word 2 (counted from 0), but the .idx holds 2 words"},
      {"syn cut", [](StarDictFiles& f) { f.syn.pop_back(); }, StarDictFile::kSyn,
       "synonym 1 at byte 0 is cut short (the file ends in it)"},
      {"syn UTF-8", [](StarDictFiles& f) { f.syn[0] = 0x80; }, StarDictFile::kSyn,
       "synonym 1 at byte 0 is not valid UTF-8"},
      {"syn count", [](StarDictFiles& f) { ReplaceInIfo(f, "synwordcount=1", "synwordcount=2"); },
       StarDictFile::kIfo, "synwordcount is 2 but the .syn holds 1 synonyms"},
      {"no syn", [](StarDictFiles& f) { f.haveSyn = false; }, StarDictFile::kIfo,
       "synwordcount is 1 but there is no .syn"},
      {"idx gzip", [](StarDictFiles& f) {
         f.idx = testing::Gzip(f.idx);
         f.idx[f.idx.size() - 6] ^= 0xFF;
         f.idxGzip = true;
       },
       StarDictFile::kIdx, "the compressed data is damaged..."},
      {"not gzip", [](StarDictFiles& f) { f.dictGzip = true; }, StarDictFile::kDict,
       "not gzip data"},
      {"gzip flags", [&](StarDictFiles& f) { f.dict = dz; f.dict[3] |= 0x80; f.dictGzip = true; },
       StarDictFile::kDict, "the gzip header is damaged (reserved flags set)"},
      {"gzip header cut", [&](StarDictFiles& f) { f.dict.assign(dz.begin(), dz.begin() + 20); f.dictGzip = true; },
       StarDictFile::kDict, "the gzip header is damaged (its extra field runs past the data)"},
      {"chunk table", [&](StarDictFiles& f) { f.dict = dz; f.dict[16] = 2; f.dictGzip = true; },
       StarDictFile::kDict, "the dictzip chunk table in the header is damaged"},
      {"chunk sizes", [&](StarDictFiles& f) { f.dict = dz; f.dict[23] = 0x40; f.dictGzip = true; },
       StarDictFile::kDict, "the dictzip chunk table is damaged (its chunks run ..."},
      {"chunk size", [&](StarDictFiles& f) { f.dict = dz; f.dict[18] = 0; f.dictGzip = true; },
       StarDictFile::kDict, "the dictzip chunk table in the header is damaged"},
      {"trailer", [&](StarDictFiles& f) { f.dict = dz; f.dict.back() = 1; f.dictGzip = true; },
       StarDictFile::kDict,
       "the dictzip chunk table is damaged (its chunks hold 205 bytes, the gzip trailer says "
       "16777421)"},
      {"chunk data", [&](StarDictFiles& f) {
         f.dict = dz;
         for (std::size_t i = firstChunk; i < firstChunk + 6; ++i) f.dict[i] = 0xFF;
         f.dictGzip = true;
       },
       StarDictFile::kDict,
       "word 1 (\"a\") at offset 0: dictzip chunk 0 at byte " + std::to_string(firstChunk) +
           " is damaged..."},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.name);
    StarDictFiles files = Files(good);
    d.damage(files);
    StarDictBook book;
    StarDictProblem problem;
    EXPECT_EQ(ReadStarDict(files, &book, &problem), 0);
    EXPECT_EQ(static_cast<int>(problem.file), static_cast<int>(d.file));
    const std::string& want = d.problem;
    if (want.size() > 3 && want.compare(want.size() - 3, 3, "...") == 0) {
      EXPECT_EQ(problem.what.rfind(want.substr(0, want.size() - 3), 0), 0u) << problem.what;
    } else {
      EXPECT_EQ(problem.what, want);
    }
  }
}

TEST(StarDict, DictzipRangesAcrossChunks) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>('a' + (i * 7 + i / 13) % 26);
  const Bytes dz = testing::Dictzip(text, 100);
  DictText dict;
  std::string problem;
  ASSERT_EQ(dict.OpenGzip(dz.data(), dz.size(), 0, &problem), 1) << problem;
  EXPECT_EQ(dict.Size(), text.size());
  // Within a chunk, across two and across many, at either end, backwards.
  const std::pair<std::size_t, std::size_t> ranges[] = {
      {0, 1}, {5, 90}, {95, 10}, {150, 700}, {2990, 10}, {0, 3000}, {1999, 2}, {0, 0}, {3000, 0}};
  for (const auto& [offset, size] : ranges) {
    const std::uint8_t* bytes = nullptr;
    ASSERT_EQ(dict.Read(offset, size, &bytes, &problem), 1) << problem;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), size), text.substr(offset, size))
        << offset << "+" << size;
  }
}

TEST(StarDict, ManyWordsReadOnEveryCoreInOrder) {
  // Enough words for the reader to share them out among threads: the
  // entries, their numbers and the first failure must be those of one
  // reading from the start.
  testing::StarDictPlan plan;
  plan.sameTypeSequence = "m";
  std::string expected;
  for (int w = 0; w < 9000; ++w) {
    char word[16];
    std::snprintf(word, sizeof word, "w%05d", w);
    const std::string data = "text of " + std::string(word) + std::string(w % 40, '+');
    plan.words.push_back({word, data});
    expected += std::to_string(w + 1) + " " + word + "=" + data + "\n";
  }
  const testing::StarDictFixture fixture = testing::MakeStarDict(plan);
  const std::string text(fixture.dict.begin(), fixture.dict.end());
  struct Case {
    const char* name;
    std::vector<int> damaged;  // words whose first byte becomes invalid UTF-8
    std::string problem;       // "" when the dictionary reads
  };
  const std::vector<Case> cases = {
      {"whole", {}, ""},
      {"damaged late", {8000}, "word 8001 (\"w08000\") at offset "},
      {"damaged early and late", {8500, 20}, "word 21 (\"w00020\") at offset "},
      {"damaged at the last", {8999}, "word 9000 (\"w08999\") at offset "},
  };
  for (const bool dictzip : {false, true}) {
    for (const Case& c : cases) {
      std::string damaged = text;
      for (const int w : c.damaged) damaged[damaged.find("text of w" + std::to_string(100000 + w).substr(1))] = '\xFF';
      StarDictFiles files = Files(fixture);
      files.dict = dictzip ? testing::Dictzip(damaged, 4096) : ToBytes(damaged);
      files.dictGzip = dictzip;
      StarDictBook book;
      StarDictProblem problem;
      const int read = ReadStarDict(files, &book, &problem);
      if (c.problem.empty()) {
        ASSERT_EQ(read, 1) << c.name << ": " << problem.what;
        EXPECT_EQ(Dump(book), expected) << c.name;
      } else {
        ASSERT_EQ(read, 0) << c.name;
        EXPECT_EQ(problem.file, StarDictFile::kDict) << c.name;
        EXPECT_EQ(problem.what.rfind(c.problem, 0), 0u) << c.name << ": " << problem.what;
      }
    }
  }
}

}  // namespace
}  // namespace quill::import
