// The phone table and transcriptions: every symbol the shelf writes must
// draw a glyph of its own, never the red cross.
#include "books/arpabet.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "display/phonetic_glyphs.h"

namespace quill::books {
namespace {

Syllable S(std::initializer_list<const char*> phones, bool stressed) {
  Syllable s;
  for (const char* p : phones) s.phones.emplace_back(p);
  s.stressed = stressed;
  return s;
}

std::string T(const std::vector<Syllable>& syllables) {
  std::string out = "unset";
  return Transcribe(syllables, &out) ? out : "<none: " + out + ">";
}

TEST(ArpabetTableTest, EveryGlyphDrawsACellOfItsOwn) {
  std::set<std::string> phones;
  for (const ArpabetGlyphs& row : kArpabetGlyphs) {
    EXPECT_TRUE(phones.insert(row.phone).second) << "twice: " << row.phone;
    for (const char* glyphs : {row.glyphs, row.stressed}) {
      if (glyphs == nullptr) continue;
      const std::string text(glyphs);
      EXPECT_TRUE(text.size() == 1 || text.size() == 2) << row.phone;
      for (const char c : text) EXPECT_NE(GlyphIndex(c), 0) << row.phone << " '" << c << "'";
    }
  }
  EXPECT_NE(GlyphIndex(kStressMark), 0);
  EXPECT_NE(GlyphIndex('['), 0);
  EXPECT_NE(GlyphIndex(']'), 0);
}

// The table checked against two independent ones: ARPAbet to IPA, as the
// lexicon's phones are defined, and IPA to the glyph alphabet.
TEST(ArpabetTableTest, PhonesBecomeTheirIpaSymbolsInTheGlyphAlphabet) {
  const std::map<std::string, std::string> ipa = {
      {"aa", "ɑ"}, {"ae", "æ"},  {"ah", "ʌ"}, {"ao", "ɔ"}, {"aw", "aʊ"}, {"ax", "ə"},  {"ay", "aɪ"},
      {"b", "b"},  {"ch", "tʃ"}, {"d", "d"},  {"dh", "ð"}, {"eh", "ɛ"},  {"er", "ɚ"},  {"ey", "eɪ"},
      {"f", "f"},  {"g", "g"},   {"hh", "h"}, {"ih", "ɪ"}, {"iy", "i"},  {"jh", "dʒ"}, {"k", "k"},
      {"l", "l"},  {"m", "m"},   {"n", "n"},  {"ng", "ŋ"}, {"ow", "oʊ"}, {"oy", "ɔɪ"}, {"p", "p"},
      {"r", "r"},  {"s", "s"},   {"sh", "ʃ"}, {"t", "t"},  {"th", "θ"},  {"uh", "ʊ"},  {"uw", "u"},
      {"v", "v"},  {"w", "w"},   {"y", "j"},  {"z", "z"},  {"zh", "ʒ"}};
  const std::map<std::string, std::string> glyph = {
      {"ɪ", "I"}, {"ʊ", "U"}, {"æ", "a"}, {"ɑ", "1"}, {"ʌ", "7"}, {"ə", "5"}, {"ɚ", "6"},
      {"ɝ", "4"}, {"ɔ", "3"}, {"ɛ", "9"}, {"e", "8"}, {"o", "O"}, {"u", "2"}, {"ŋ", "A"},
      {"ʃ", "B"}, {"ʒ", "C"}, {"θ", "D"}, {"ð", "E"}, {"a", "0"}, {"i", "i"}, {"j", "j"},
      {"b", "b"}, {"d", "d"}, {"f", "f"}, {"g", "g"}, {"h", "h"}, {"k", "k"}, {"l", "l"},
      {"m", "m"}, {"n", "n"}, {"p", "p"}, {"r", "r"}, {"s", "s"}, {"t", "t"}, {"v", "v"},
      {"w", "w"}, {"z", "z"}};
  // An IPA text as glyphs, symbol by symbol (each symbol one or two bytes).
  const auto toGlyphs = [&](const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
      const std::size_t n = static_cast<unsigned char>(text[i]) < 0x80 ? 1 : 2;
      const auto found = glyph.find(text.substr(i, n));
      out += found == glyph.end() ? "?" : found->second;
      i += n;
    }
    return out;
  };
  EXPECT_EQ(ipa.size(), kArpabetGlyphs.size());
  for (const auto& [phone, symbols] : ipa) {
    const char* got = GlyphsForPhone(phone, false);
    ASSERT_NE(got, nullptr) << phone;
    EXPECT_EQ(got, toGlyphs(symbols)) << phone;
  }
  EXPECT_EQ(GlyphsForPhone("er", true), toGlyphs("ɝ"));
  // Stress changes nothing else.
  for (const ArpabetGlyphs& row : kArpabetGlyphs) {
    if (std::string(row.phone) == "er") continue;
    EXPECT_STREQ(GlyphsForPhone(row.phone, true), GlyphsForPhone(row.phone, false)) << row.phone;
  }
  EXPECT_EQ(GlyphsForPhone("axr", false), nullptr);
  EXPECT_EQ(GlyphsForPhone("", false), nullptr);
  EXPECT_EQ(GlyphsForPhone("B", false), nullptr);
}

TEST(TranscribeTest, WordsAsTheStripDrawsThem) {
  // One syllable: no stress mark.
  EXPECT_EQ(T({S({"b", "uh", "k"}, true)}), "bUk");
  EXPECT_EQ(T({S({"b", "er", "d"}, true)}), "b4d");
  // The mark stands before each stressed syllable; er follows the stress.
  EXPECT_EQ(T({S({"r", "eh"}, true), S({"k", "er", "d"}, false)}), "'r9k6d");
  EXPECT_EQ(T({S({"r", "ax"}, false), S({"k", "ao", "r", "d"}, true)}), "r5'k3rd");
  EXPECT_EQ(T({S({"b", "eh", "d"}, true), S({"s", "p", "r", "eh", "d"}, true)}), "'b9d'spr9d");
  // Two-character symbols.
  EXPECT_EQ(T({S({"ch", "er", "ch"}, true)}), "tB4tB");
  EXPECT_EQ(T({S({"jh", "ah", "jh"}, true)}), "dC7dC");
  EXPECT_EQ(T({S({"b", "oy"}, true)}), "b3I");
  EXPECT_EQ(T({S({"hh", "aw", "s"}, true)}), "h0Us");
  EXPECT_EQ(T({S({"y", "eh", "s"}, true)}), "j9s");
  EXPECT_EQ(T({S({"th", "ih", "ng"}, true)}), "DIA");
  EXPECT_EQ(T({S({"m", "ey"}, true), S({"zh", "er"}, false)}), "'m8IC6");
}

TEST(TranscribeTest, UnknownPhonesAndOverlongWordsGetNoTranscription) {
  EXPECT_EQ(T({S({"b", "xx", "k"}, true)}), "<none: >");
  EXPECT_EQ(T({}), "<none: >");
  EXPECT_EQ(T({S({}, true), S({}, false)}), "<none: >");
  // 47 characters fit inside the brackets, 48 do not.
  std::vector<Syllable> word(15, S({"p", "aa", "t"}, false));  // 45
  word.push_back(S({"b", "ay"}, false));                       // +3 = 48
  EXPECT_EQ(T(word), "<none: >");
  word.back() = S({"b", "aa"}, false);  // +2 = 47
  EXPECT_EQ(T(word).size(), kMaxTranscriptionChars);
}

}  // namespace
}  // namespace quill::books
