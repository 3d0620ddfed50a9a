// Repairing stray bytes, keeping plain first lines from reading as a
// transcription, and the word list the converters hand to xqb.
#include "books/entry_text.h"

#include <gtest/gtest.h>

#include "import/tsv_reader.h"

namespace quill::books {
namespace {

using namespace std::string_literals;

TEST(RepairUtf8Test, WellFormedTextStaysAndStrayBytesReadAsWindows1252) {
  EXPECT_EQ(RepairUtf8("plain \xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80"s),
            "plain \xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80"s);
  // The stray bytes seen in real articles: a curly apostrophe, a cedilla.
  EXPECT_EQ(RepairUtf8("market\x92s fa\xE7"
                       "ade"s),
            "market\xE2\x80\x99s fa\xC3\xA7"
            "ade"s);
  // An unassigned byte becomes the replacement character.
  EXPECT_EQ(RepairUtf8("\x81"s), "\xEF\xBF\xBD"s);
  // Overlong forms, encoded surrogates, a sequence cut short at the end.
  EXPECT_EQ(RepairUtf8("\xC0\x80"s), "\xC3\x80\xE2\x82\xAC"s);
  EXPECT_EQ(RepairUtf8("\xED\xA0\x80"s), "\xC3\xAD\xC2\xA0\xE2\x82\xAC"s);
  EXPECT_EQ(RepairUtf8("ab\xE2\x82"s), "ab\xC3\xA2\xE2\x80\x9A"s);
  EXPECT_EQ(RepairUtf8("\xF4\x90\x80\x80"s).substr(0, 2), "\xC3\xB4"s);
  // NUL bytes cannot stand in a book's text.
  EXPECT_EQ(RepairUtf8("a\0b"s), "ab");
  EXPECT_EQ(RepairedUtf16("fa\xE7"
                          "ade"s),
            u"façade");
}

TEST(PhoneticFormTest, OnlyABracketAmongTheFirstSixUnitsMakesATranscription) {
  EXPECT_TRUE(ReadsAsPhonetic(u"[bUk]\nbook"));
  EXPECT_TRUE(ReadsAsPhonetic(u"12345[x"));
  EXPECT_FALSE(ReadsAsPhonetic(u"123456[x"));
  EXPECT_FALSE(ReadsAsPhonetic(u"books\n[bUk]"));
  EXPECT_FALSE(ReadsAsPhonetic(u""));
}

TEST(PhoneticFormTest, AFirstLineThatWouldReadAsATranscriptionIsMovedPastIt) {
  std::u16string text = u"[incr Tcl]\n\n   <language>";
  EXPECT_EQ(KeepFirstLinePlain(&text), 1);
  EXPECT_EQ(text, u"      [incr Tcl]\n\n   <language>");
  EXPECT_FALSE(ReadsAsPhonetic(text));
  text = u"x [sic]";
  EXPECT_EQ(KeepFirstLinePlain(&text), 1);
  EXPECT_EQ(text.find(u'['), kLastPhoneticBracketIndex + 1);
  for (const std::u16string plain : {u"123456[x]", u"no bracket", u""}) {
    text = plain;
    EXPECT_EQ(KeepFirstLinePlain(&text), 0);
    EXPECT_EQ(text, plain);
  }
}

TEST(PhoneticFormTest, ThePhoneticLineIsBracketedAndEndsAtTheFirstSeparator) {
  const std::u16string text = WithPhoneticLine("'r9k6d", u"record\n  n 1: ...");
  EXPECT_EQ(text, u"['r9k6d]\nrecord\n  n 1: ...");
  EXPECT_TRUE(ReadsAsPhonetic(text));
  EXPECT_LT(text.find(u']'), text.find(u'\n'));
}

TEST(EntryMergerTest, AKeyThatComesAgainAddsLinesToItsEntry) {
  EntryMerger merger;
  merger.Add(u"212", u"+212", u"Morocco");
  merger.Add(u"Paris", u"Paris", u"Capital of France");
  merger.Add(u"212", u"212", u"Area code 212");
  merger.Add(u"x", u"", u"only text");
  const std::vector<BookEntry> entries = merger.Take();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, u"212");
  EXPECT_EQ(entries[0].content, u"+212\nMorocco\nArea code 212");
  EXPECT_EQ(entries[1].content, u"Paris\nCapital of France");
  EXPECT_EQ(entries[2].content, u"only text");
}

TEST(WriteTsvTest, EntriesReadBackAsXqbReadsThem) {
  const std::vector<BookEntry> entries = {
      {u"book", u"[bUk]\nbook\n\tn 1: a work"},
      {u"[incr Tcl]", u"[incr Tcl]\nback\\slash"},
      {u"a\tb\nc", u"tab in key"},
      {u"", u"no key"},
  };
  std::string tsv;
  TsvReport report;
  ASSERT_EQ(WriteTsv(entries, {true, false, false, false}, &tsv, &report), 1);
  EXPECT_EQ(report.entries, 3u);
  EXPECT_EQ(report.phonetic, 1u);
  EXPECT_EQ(report.keptPlain, 1u);
  EXPECT_EQ(report.dropped, 1u);
  std::vector<BookEntry> back;
  std::vector<std::size_t> lines;
  std::string problem;
  ASSERT_EQ(import::ReadTsv(reinterpret_cast<const std::uint8_t*>(tsv.data()), tsv.size(), &back,
                         &lines, &problem),
            1)
      << problem;
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0].content, u"[bUk]\nbook\n\tn 1: a work");
  EXPECT_EQ(back[1].key, u"[incr Tcl]");
  EXPECT_EQ(back[1].content, u"      [incr Tcl]\nback\\slash");
  EXPECT_EQ(back[2].key, u"a b c");

  // A broken surrogate pair cannot be written.
  tsv.clear();
  EXPECT_EQ(WriteTsv({{u"k", std::u16string(1, char16_t{0xD800})}}, {}, &tsv, &report), 0);
}

}  // namespace
}  // namespace quill::books
