#include "import/tsv_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "book/utf.h"

namespace quill::import {
namespace {

struct Read {
  int ok;
  std::vector<BookEntry> entries;
  std::vector<std::size_t> lines;
  std::string problem;
};

Read ReadText(const std::string& text) {
  Read r;
  r.ok = ReadTsv(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), &r.entries,
                 &r.lines, &r.problem);
  return r;
}

TEST(TsvReader, ReadsLinesEscapesAndLineEnds) {
  const Read r = ReadText(
      "\xEF\xBB\xBF"  // byte-order mark
      "apple\tred\\nround\r\n"
      "\n"
      "caf\xC3\xA9\tA\\tB\\\\C\\rD\n"
      "empty\t\n"
      "\tno key\n"
      "tab\tkept\tinside\n"
      "last\tline without end");
  ASSERT_EQ(r.ok, 1) << r.problem;
  ASSERT_EQ(r.entries.size(), 6u);
  EXPECT_EQ(r.entries[0].key, u"apple");
  EXPECT_EQ(r.entries[0].content, u"red\nround");
  EXPECT_EQ(r.entries[1].key, u"caf\u00E9");
  EXPECT_EQ(r.entries[1].content, u"A\tB\\C\rD");
  EXPECT_EQ(r.entries[2].content, u"");
  EXPECT_EQ(r.entries[3].key, u"");
  EXPECT_EQ(r.entries[4].content, u"kept\tinside");
  EXPECT_EQ(r.entries[5].content, u"line without end");
  EXPECT_EQ(r.lines, (std::vector<std::size_t>{1, 3, 4, 5, 6, 7}));
}

TEST(TsvReader, AstralCharactersBecomeSurrogatePairs) {
  const Read r = ReadText("\xF0\x9F\x93\x96\tbook \xF0\x9F\x93\x96\n");
  ASSERT_EQ(r.ok, 1);
  EXPECT_EQ(r.entries[0].key, u"\U0001F4D6");
  EXPECT_EQ(r.entries[0].key.size(), 2u);
}

TEST(TsvReader, RefusalsNameTheLine) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view text;
    const char* problem;
  } cases[] = {
      {"a\tb\nno tab here\n"sv, "line 2: no tab between key and content"},
      {"a\tb\\x\n"sv, "line 1: unknown escape \"\\x\" in the content (known: \\n \\t \\r \\\\)"},
      {"a\tb\\\n"sv, "line 1: the content ends with a lone backslash (write \\\\ for one)"},
      {"ok\t1\nk\xC3\tv\n"sv, "line 2: text is not valid UTF-8 (byte 2 of the line)"},
      {"k\tv\xE2\x82\n"sv, "line 1: text is not valid UTF-8 (byte 4 of the line)"},
      // An escape in front does not move the byte count off the line.
      {"k\t\\n\xFF\n"sv, "line 1: text is not valid UTF-8 (byte 5 of the line)"},
      {"over\t\xC0\xAF\n"sv, "line 1: text is not valid UTF-8 (byte 6 of the line)"},      // overlong
      {"sur\t\xED\xA0\x80\n"sv, "line 1: text is not valid UTF-8 (byte 5 of the line)"},   // surrogate
      {"big\t\xF4\x90\x80\x80\n"sv, "line 1: text is not valid UTF-8 (byte 5 of the line)"},
      {"n\tu\0l\n"sv, "line 1: the line holds a NUL character"},
  };
  for (const auto& c : cases) {
    const Read r = ReadText(std::string(c.text));
    EXPECT_EQ(r.ok, 0) << c.text;
    EXPECT_EQ(r.problem, c.problem);
  }
}

TEST(TsvReader, EscapedContentReadsBackTheSame) {
  const std::u16string content = u"line one\nline\ttwo \\ back\rslash \u00E9\U0001F4D6";
  std::string line = "k\t";
  ASSERT_EQ(AppendEscapedContent(content.data(), content.size(), &line), 1);
  EXPECT_EQ(line, "k\tline one\\nline\\ttwo \\\\ back\\rslash \xC3\xA9\xF0\x9F\x93\x96");
  const Read r = ReadText(line);
  ASSERT_EQ(r.ok, 1);
  EXPECT_EQ(r.entries[0].content, content);

  // What a line cannot give back is reported.
  const std::u16string lone = u"a\xD800z";
  std::string out;
  EXPECT_EQ(AppendEscapedContent(lone.data(), lone.size(), &out), 0);
  EXPECT_EQ(out, "a\xEF\xBF\xBDz");
  const char16_t nul[] = {u'a', 0, u'b'};
  out.clear();
  EXPECT_EQ(AppendEscapedContent(nul, 3, &out), 0);
}

}  // namespace
}  // namespace quill::import
