// IPA transcriptions onto the phonetic strip's alphabet, and the imports
// that put them on an entry's first line.
#include "import/ipa.h"

#include <gtest/gtest.h>

#include <string>

#include "book/utf.h"
#include "import/markup.h"

namespace quill::import {
namespace {

std::u16string W(const char* utf8) {
  std::u16string wide;
  Utf8ToUtf16(utf8, &wide);
  return wide;
}

TEST(IpaToStrip, MapsEverySymbolOrNothing) {
  struct Case {
    const char* ipa;
    const char* line;  // nullptr: the strip cannot draw it
  } const cases[] = {
      {"h\xCB\x88" "a\xCA\x8As", "[h'0Us]"},                    // hˈaʊs
      {"/\xCB\x88\xC3\xA6pl/", "['apl]"},                       // /ˈæpl/, slashes off
      {"[\xC9\x99\xCB\x88" "ba\xCA\x8At]", "[5'b0Ut]"},         // [əˈbaʊt]
      {"\xCB\x8Cnju\xCB\x90j\xC9\x94\xCB\x90k", "[.nj2j3k]"},   // ˌnjuːjɔːk: long marks go
      {"ti\xCB\x90", "[ti]"},
      {"b\xC9\x9C\xCB\x90" "d", "[b4d]"},                       // bɜːd
      {"\xCA\x83\xC9\x9D\xC9\xA1\xC9\x9A", "[B4g6]"},           // ʃɝɡɚ, script g
      {"\xCE\xB8\xC9\xAAn \xC3\xB0\xC9\x9B\xC9\x99", nullptr},  // a space has no cell
      {"\xCE\xB8\xC9\xAA\xC5\x8B", "[DIA]"},                    // θɪŋ
      {"\xC3\xB0\xC9\x9Bm", "[E9m]"},                           // ðɛm
      {"v\xC9\x9B\xCA\x92\xC9\x99", "[v9C5]"},                  // vɛʒə
      // Affricates: two symbols, one with a tie bar, one ligature.
      {"t\xCA\x83\xC9\x9Crt\xCA\x83", "[tB4rtB]"},
      {"d\xCD\xA1\xCA\x92\xCA\x8C" "d\xCA\x92", "[dC7dC]"},     // d͡ʒʌdʒ
      {"\xCA\xA7\xCA\xA4", "[tBdC]"},                           // ʧʤ
      {"e\xC9\xAA", "[8I]"},
      {"o\xCA\x8A", "[OU]"},
      {"'k\xC3\xA6t", "['kat]"},                                 // an ASCII stress mark
      // No cell: ɒ, ɹ, ʔ, a tone, Cyrillic; a length mark after a short vowel.
      {"h\xC9\x92t", nullptr},
      {"\xC9\xB9\xC9\x9B" "d", nullptr},
      {"\xCA\x94" "a", nullptr},
      {"ma\xCB\xA5", nullptr},
      {"\xD0\xB4\xD0\xBE\xD0\xBC", nullptr},
      {"be\xCB\x90", nullptr},
      {"\xCB\x90", nullptr},
      {"", nullptr},
      {"//", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ipa);
    std::u16string line = u"untouched";
    std::u16string ipa;
    ASSERT_TRUE(Utf8ToUtf16(c.ipa, &ipa));
    EXPECT_EQ(IpaToStrip(ipa, &line), c.line != nullptr);
    EXPECT_EQ(ToUtf8(line), c.line != nullptr ? c.line : "untouched");
    if (c.line != nullptr) {
      EXPECT_TRUE(IsStripLine(line));
    }
  }
}

TEST(IpaToStrip, StripLinesHoldOnlyTheStripsCharacters) {
  EXPECT_TRUE(IsStripLine(u"[h'0Us]"));
  EXPECT_TRUE(IsStripLine(u"[.DIA]"));
  EXPECT_FALSE(IsStripLine(u"[h\u028As]"));
  EXPECT_FALSE(IsStripLine(u"[hex]"));  // e and x have no cell
  EXPECT_FALSE(IsStripLine(u"[]"));
  EXPECT_FALSE(IsStripLine(u"[a[b]"));
  EXPECT_FALSE(IsStripLine(u"[" + std::u16string(48, u'p') + u"]"));
}

TEST(IpaToStrip, TheLineFitsWhatTheReaderDraws) {
  std::u16string line;
  // 47 symbols and the brackets fit; 48 do not.
  EXPECT_TRUE(IpaToStrip(std::u16string(47, u'p'), &line));
  EXPECT_EQ(line.size(), kMostStripUnits);
  EXPECT_FALSE(IpaToStrip(std::u16string(48, u'p'), &line));
  // An affricate takes two cells.
  EXPECT_FALSE(IpaToStrip(std::u16string(24, u'\u02A7'), &line));
}

TEST(DslContent, TheFirstTranscriptionMovesToTheStripWhenItMaps) {
  struct Case {
    const char* body;
    const char* content;
  } const cases[] = {
      {"\t[m1][t]h\xCB\x88" "a\xCA\x8As[/t][/m]\n\t[m1]a building[/m]", "[h'0Us]\na building"},
      {"\t[m1]noun [t]\\[h\xCB\x88" "a\xCA\x8As\\][/t][/m]\n\t[m1]a building[/m]",
       "[h'0Us]\nnoun\na building"},
      // Only the first; the second stays where the card has it.
      {"[t]ti\xCB\x90[/t] or [t]t\xC9\xAA[/t]", "[ti]\nor t\xC9\xAA"},
      // The strip cannot draw it: left in the text, as written.
      {"[t]h\xC9\x92t[/t] weather", "h\xC9\x92t weather"},
      {"no transcription", "no transcription"},
      {"[t]unclosed", "unclosed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    TranscriptionCounts counts;
    EXPECT_EQ(ToUtf8(DslContent(W(c.body), u"house", &counts)), c.content);
  }
  TranscriptionCounts counts;
  DslContent(W("[t]p[/t]"), u"p", &counts);
  DslContent(W("[t]h\xC9\x92t[/t]"), u"p", &counts);
  DslContent(W("none"), u"p", &counts);
  EXPECT_EQ(counts.mapped, 1u);
  EXPECT_EQ(counts.text, 1u);
  EXPECT_EQ(TranscriptionNote("a.dsl", counts), "a.dsl: 1 transcription drawn on the phonetic strip, 1 kept as text");
  EXPECT_EQ(TranscriptionNote("a.dsl", TranscriptionCounts{}), "");
}

}  // namespace
}  // namespace quill::import
