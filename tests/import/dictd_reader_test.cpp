#include "import/dictd_reader.h"
#include "import/gzip.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "import/dictd_test_data.h"

namespace quill::import {
namespace {

using testing::Base64;
using testing::Gzip;

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

int ReadIndex(const std::string& text, std::vector<DictdRecord>* records, std::string* problem) {
  const auto bytes = Bytes(text);
  return ReadDictdIndex(bytes.data(), bytes.size(), records, problem);
}

TEST(DictdIndex, ReadsBase64NumbersAndTheOriginalHeadword) {
  EXPECT_EQ(Base64(0), "A");
  EXPECT_EQ(Base64(64), "BA");
  std::vector<DictdRecord> records;
  std::string problem;
  ASSERT_EQ(ReadIndex("apple\tA\tZ\n"
                      "\r\n"
                      "new york\tBA\t/\tNew York\r\n"
                      "big\tBAAA\tc\t\n",
                      &records, &problem),
            1)
      << problem;
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].headword, "apple");
  EXPECT_EQ(records[0].offset, 0u);
  EXPECT_EQ(records[0].length, 25u);
  EXPECT_EQ(records[1].headword, "New York");
  EXPECT_EQ(records[1].offset, 64u);
  EXPECT_EQ(records[1].length, 63u);
  EXPECT_EQ(records[1].line, 3u);
  EXPECT_EQ(records[2].headword, "big");  // an empty fourth field is no headword
  EXPECT_EQ(records[2].offset, 262144u);
  EXPECT_EQ(DictdTextNeeded(records), 262144u + 28u);
}

TEST(DictdIndex, RefusalsNameTheLine) {
  const struct {
    const char* text;
    const char* problem;
  } cases[] = {
      {"a\tA\tB\nb\tA\n", "line 2: not headword, offset and length separated by tabs"},
      {"a\tA\tB\tc\td\n", "line 1: more than four tab-separated fields"},
      {"a\tA-\tB\n", "line 1: offset or length is not a dictd number"},
      {"a\t\tB\n", "line 1: offset or length is not a dictd number"},
      {"a\tA\t//////////\n", "line 1: offset or length is not a dictd number"},  // too large
  };
  for (const auto& c : cases) {
    std::vector<DictdRecord> records;
    std::string problem;
    EXPECT_EQ(ReadIndex(c.text, &records, &problem), 0) << c.text;
    EXPECT_EQ(problem, c.problem);
  }
}

struct Articles {
  int ok;
  std::vector<BookEntry> entries;
  std::vector<std::size_t> lines;
  std::u16string title;
  std::string problem;
};

Articles ReadArticles(const std::string& index, const std::string& dict) {
  Articles a;
  std::vector<DictdRecord> records;
  EXPECT_EQ(ReadIndex(index, &records, &a.problem), 1);
  const auto bytes = Bytes(dict);
  a.ok = ReadDictdArticles(records, bytes.data(), bytes.size(), &a.entries, &a.lines, &a.title,
                           &a.problem);
  return a;
}

TEST(DictdArticles, ArticlesBecomeContents) {
  const std::string dict =
      "00-database-short\n    Tiny  Test\n    Dictionary\n"  // at 0, 48 bytes
      "apple\nA red fruit.\r\nSweet.\n\n"                      // at 48, 28 bytes
      "caf\xC3\xA9\nA place.";                                 // at 76, 14 bytes
  const Articles a = ReadArticles("00-database-short\tA\tw\n"
                                  "apple\tw\tc\n"
                                  "pomme\tw\tc\n"
                                  "caf\xC3\xA9\tBM\tO\n",
                                  dict);
  ASSERT_EQ(a.ok, 1) << a.problem;
  EXPECT_EQ(a.title, u"Tiny Test Dictionary");
  ASSERT_EQ(a.entries.size(), 3u);
  EXPECT_EQ(a.entries[0].key, u"apple");
  EXPECT_EQ(a.entries[0].content, u"apple\nA red fruit.\nSweet.");
  EXPECT_EQ(a.entries[1].key, u"pomme");  // two headwords, one article
  EXPECT_EQ(a.entries[1].content, a.entries[0].content);
  EXPECT_EQ(a.entries[2].key, u"caf\u00E9");
  EXPECT_EQ(a.entries[2].content, u"caf\u00E9\nA place.");
  EXPECT_EQ(a.lines, (std::vector<std::size_t>{2, 3, 4}));
}

TEST(DictdArticles, RefusalsNameTheLineAndHeadword) {
  const std::string withNul("good\nbad \xC3(\nnul\0!", 17);
  Articles a = ReadArticles("good\tA\tE\nbeyond\tA\tT\n", withNul);
  EXPECT_EQ(a.ok, 0);
  EXPECT_EQ(a.problem,
            "line 2: headword \"beyond\": the article lies beyond the end of the 17 bytes of "
            "dictionary text");
  a = ReadArticles("good\tA\tE\nbad\tF\tH\n", withNul);
  EXPECT_EQ(a.problem,
            "line 2: headword \"bad\": the article is not valid UTF-8 (byte 9 of the text)");
  a = ReadArticles("nul\tN\tE\n", withNul);
  EXPECT_EQ(a.problem, "line 1: headword \"nul\": the article holds a NUL character");
  a = ReadArticles("b\xC3\tA\tE\n", withNul);
  EXPECT_EQ(a.problem, "line 1: the headword is not valid UTF-8");
}

TEST(Gzip, InflatesOneOrMoreMembers) {
  const std::vector<std::uint8_t> text = Bytes(std::string(100000, 'x') + "end");
  std::vector<std::uint8_t> packed = Gzip(text);
  std::vector<std::uint8_t> out;
  std::string problem;
  ASSERT_EQ(InflateGzip(packed.data(), packed.size(), 1u << 30, &out, &problem), 1) << problem;
  EXPECT_EQ(out, text);

  // Only as much as is wanted.
  ASSERT_EQ(InflateGzip(packed.data(), packed.size(), 10, &out, &problem), 1);
  EXPECT_EQ(out.size(), 10u);

  // Two members and zero padding read as one text.
  std::vector<std::uint8_t> two = Gzip(Bytes("first "));
  const std::vector<std::uint8_t> second = Gzip(Bytes("second"));
  two.insert(two.end(), second.begin(), second.end());
  two.insert(two.end(), 5, 0);
  ASSERT_EQ(InflateGzip(two.data(), two.size(), 1000, &out, &problem), 1) << problem;
  EXPECT_EQ(std::string(out.begin(), out.end()), "first second");
}

TEST(Gzip, RefusesDamagedAndShortData) {
  const std::vector<std::uint8_t> packed = Gzip(Bytes(std::string(5000, 'y') + "tail"));
  std::vector<std::uint8_t> out;
  std::string problem;
  const std::vector<std::uint8_t> cut(packed.begin(), packed.begin() + 20);
  EXPECT_EQ(InflateGzip(cut.data(), cut.size(), 1u << 20, &out, &problem), 0);
  EXPECT_EQ(problem, "the compressed data ends early");
  EXPECT_TRUE(out.empty());

  std::vector<std::uint8_t> damaged = packed;
  damaged[packed.size() - 6] ^= 0xFF;  // the checksum
  EXPECT_EQ(InflateGzip(damaged.data(), damaged.size(), 1u << 20, &out, &problem), 0);
  EXPECT_EQ(problem.rfind("the compressed data is damaged", 0), 0u) << problem;

  const std::vector<std::uint8_t> plain = Bytes("not gzip at all");
  EXPECT_EQ(InflateGzip(plain.data(), plain.size(), 100, &out, &problem), 0);
  EXPECT_EQ(problem.rfind("the compressed data is damaged", 0), 0u) << problem;

  std::vector<std::uint8_t> trailing = packed;
  trailing.push_back('!');
  EXPECT_EQ(InflateGzip(trailing.data(), trailing.size(), 1u << 20, &out, &problem), 0);
}

// Gzip handed over in pieces of every size inflates as the whole does: the
// same text, or the same refusal (a member split anywhere, padding split
// from its member, damage and a cut past the first pieces).
TEST(Gzip, PiecesInflateAsTheWhole) {
  std::string long_text;
  for (std::uint32_t x = 1; long_text.size() < 200000; x = x * 1103515245u + 12345u) {
    long_text += static_cast<char>('a' + (x >> 16) % 26);
  }
  std::vector<std::uint8_t> two = Gzip(Bytes("first "));
  const std::vector<std::uint8_t> second = Gzip(Bytes("second"));
  two.insert(two.end(), second.begin(), second.end());
  two.insert(two.end(), 5, 0);
  std::vector<std::uint8_t> zerosThenMember = Gzip(Bytes("a"));
  zerosThenMember.insert(zerosThenMember.end(), 3, 0);
  zerosThenMember.insert(zerosThenMember.end(), second.begin(), second.end());
  const std::vector<std::uint8_t> big = Gzip(Bytes(long_text));
  std::vector<std::uint8_t> damaged = big;
  damaged[damaged.size() / 2] ^= 0x55;
  const std::vector<std::uint8_t> cut(big.begin(), big.begin() + static_cast<std::ptrdiff_t>(big.size() / 2));
  const std::vector<std::uint8_t> inputs[] = {two, zerosThenMember, big, damaged, cut, {},
                                              Bytes("not gzip at all")};
  for (const auto& input : inputs) {
    std::vector<std::uint8_t> whole;
    std::string wholeProblem;
    const int wholeOk = InflateGzip(input.data(), input.size(), ~std::uint64_t{0}, &whole,
                                    &wholeProblem);
    for (const std::size_t size : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7},
                                   std::size_t{4096}, std::size_t{65537}, input.size() + 1}) {
      SCOPED_TRACE("size " + std::to_string(input.size()) + " in pieces of " + std::to_string(size));
      std::vector<std::uint8_t> out;
      GzipInflater inflater(
          [](void* context, const std::uint8_t* bytes, std::size_t n) {
            auto* to = static_cast<std::vector<std::uint8_t>*>(context);
            to->insert(to->end(), bytes, bytes + n);
          },
          &out);
      std::string problem;
      int ok = 1;
      for (std::size_t at = 0; ok && at < input.size(); at += size) {
        ok = inflater.Feed(input.data() + at, std::min(size, input.size() - at), &problem);
      }
      if (ok) ok = inflater.Finish(&problem);
      EXPECT_EQ(ok, wholeOk);
      EXPECT_EQ(problem, wholeProblem);
      if (wholeOk) {
        EXPECT_EQ(out, whole);
      }
    }
  }
}

}  // namespace
}  // namespace quill::import
