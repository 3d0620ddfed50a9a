#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "book/book_format.h"
#include "display/entry_format.h"

namespace quill {
namespace {

constexpr char16_t kGuard = 0xBEEF;

// Runs a formatter on a destination of exactly limit units followed by
// guard units, so that a write past the limit shows.
struct Formatted {
  std::u16string text;
  std::size_t returned;
  bool guardIntact;
};

template <typename Format>
Formatted Run(std::size_t limit, Format format) {
  std::vector<char16_t> buffer(limit + 8, kGuard);
  const std::size_t returned = format(buffer.data(), limit);
  bool intact = true;
  for (std::size_t i = limit; i < buffer.size(); ++i) intact = intact && buffer[i] == kGuard;
  std::u16string text;
  for (std::size_t i = 0; i < limit && buffer[i] != 0; ++i) text.push_back(buffer[i]);
  return {text, returned, intact};
}

Formatted Plain(const std::u16string& content, std::int32_t separator, std::size_t limit = 200) {
  return Run(limit, [&](char16_t* d, std::size_t l) {
    return FormatPlain(content.c_str(), d, l, separator);
  });
}

struct AfterPhonetic {
  std::u16string text;
  std::u16string phonetic;
};

AfterPhonetic Display(const std::u16string& content, std::int32_t separator = u'|',
                      std::size_t limit = 200) {
  char16_t phonetic[kPhoneticUnits];
  std::vector<char16_t> buffer(limit, kGuard);
  BuildDisplayText(content.c_str(), buffer.data(), phonetic, limit, separator);
  return {buffer.data(), phonetic};
}

TEST(FormatPlainTest, SeparatorsBecomeCrLfAndTheTextEndsWithCrLf) {
  EXPECT_EQ(Plain(u"a|b|c", 0x7C).text, u"a\r\nb\r\nc\r\n");
  EXPECT_EQ(Plain(u"one line", 0x7C).text, u"one line\r\n");
  EXPECT_EQ(Plain(u"", 0x7C).text, u"\r\n");
  EXPECT_EQ(Plain(u"||", 0x7C).text, u"\r\n\r\n\r\n");
  EXPECT_EQ(Plain(u"a\nb", 0x0A).text, u"a\r\nb\r\n");
  // Everything but the separator passes unchanged, brackets and CR included.
  EXPECT_EQ(Plain(u"[x] \r\x4E2D", 0x7C).text, u"[x] \r\x4E2D\r\n");
  EXPECT_EQ(Plain(u"a|b", 0x7C).returned, 6u);
}

TEST(FormatPlainTest, OnlyLowBytesFrom1To0x7FSeparate) {
  // The high bytes of lineSeparator play no part.
  EXPECT_EQ(Plain(u"a|b", 0x1237C).text, u"a\r\nb\r\n");
  EXPECT_EQ(Plain(u"a|b", static_cast<std::int32_t>(0xFFFFFF7Cu)).text, u"a\r\nb\r\n");
  EXPECT_EQ(Plain(u"a\x7F" u"b", 0x7F).text, u"a\r\nb\r\n");
  // A low byte of 0 or 0x80 and above never matches, not even its own unit.
  EXPECT_EQ(Plain(u"a\nb|c", 0x0A00).text, u"a\nb|c\r\n");
  EXPECT_EQ(Plain(u"a\x80" u"b", 0x80).text, u"a\x80" u"b\r\n");
  EXPECT_EQ(Plain(u"a\xBC" u"b\xFF" u"c", 0xBC).text, u"a\xBC" u"b\xFF" u"c\r\n");
  EXPECT_EQ(Plain(u"a\xFF" u"b", 0xFF).text, u"a\xFF" u"b\r\n");
  EXPECT_EQ(SeparatorUnit(0), -1);
  EXPECT_EQ(SeparatorUnit(0x80), -1);
  EXPECT_EQ(SeparatorUnit(0x01), 1);
}

TEST(FormatPlainTest, StopsWhereTheClosingCrLfWouldNoLongerFit) {
  // limit 6: CR LF and the zero unit must start at 3 at the latest.
  Formatted f = Plain(u"abcdef", 0x7C, 6);
  EXPECT_EQ(f.text, u"abc\r\n");
  EXPECT_EQ(f.returned, 5u);
  EXPECT_TRUE(f.guardIntact);
  // A separator needs two units: it is not split, and copying ends there.
  f = Plain(u"ab|c", 0x7C, 6);
  EXPECT_EQ(f.text, u"ab\r\n");
  EXPECT_TRUE(f.guardIntact);
  f = Plain(u"ab|c", 0x7C, 7);
  EXPECT_EQ(f.text, u"ab\r\n\r\n");
  EXPECT_TRUE(f.guardIntact);
  f = Plain(u"ab|c", 0x7C, 8);
  EXPECT_EQ(f.text, u"ab\r\nc\r\n");
  EXPECT_TRUE(f.guardIntact);
  // The smallest limit that holds the ending, and those that cannot.
  f = Plain(u"abc", 0x7C, 3);
  EXPECT_EQ(f.text, u"\r\n");
  EXPECT_TRUE(f.guardIntact);
  for (std::size_t limit : {0u, 1u, 2u}) {
    f = Plain(u"abc", 0x7C, limit);
    EXPECT_EQ(f.text, u"");
    EXPECT_EQ(f.returned, 0u);
    EXPECT_TRUE(f.guardIntact) << limit;
  }
}

std::u16string Expanded(const std::u16string& content) {
  std::u16string out;
  for (char16_t u : content) {
    if (u == u'|') {
      out += u"\r\n";
    } else {
      out += u;
    }
  }
  return out;
}

TEST(FormatPlainTest, ABookSizedLimitCutsOnlyWhatDoesNotFit) {
  // The display text has 1024 units above textBufferUnits, which holds the
  // content and its terminator: a content of the largest size keeps all of
  // 1022 separators; with one more its last unit is cut, and nothing is
  // written past the limit.
  const std::size_t contentUnits = 3000;
  const std::size_t limit = DisplayLimit(static_cast<std::int32_t>(contentUnits + 1));
  std::u16string content(contentUnits, u'x');
  for (std::size_t i = 0; i < 1022; ++i) content[i * 2] = u'|';
  Formatted f = Plain(content, 0x7C, limit);
  EXPECT_EQ(f.text, Expanded(content) + u"\r\n");
  EXPECT_EQ(f.text.size(), limit - 1);
  EXPECT_TRUE(f.guardIntact);
  content[2045] = u'|';
  f = Plain(content, 0x7C, limit);
  EXPECT_EQ(f.text, Expanded(content.substr(0, contentUnits - 1)) + u"\r\n");
  EXPECT_TRUE(f.guardIntact);
}

TEST(ExtractPhoneticTest, TakesTheBracketOnlyWhenItOpensAtIndex0To5) {
  for (std::size_t at = 0; at <= 6; ++at) {
    const std::u16string content = std::u16string(at, u'w') + u"[bUk]|book";
    char16_t phonetic[kPhoneticUnits] = {};
    const std::size_t count = ExtractPhonetic(content.c_str(), phonetic);
    if (at <= 5) {
      EXPECT_EQ(count, 6u) << at;
      EXPECT_EQ(std::u16string(phonetic), u"[bUk]") << at;
    } else {
      EXPECT_EQ(count, 0u);
      EXPECT_EQ(std::u16string(phonetic), u"");
    }
  }
  char16_t phonetic[kPhoneticUnits] = {};
  EXPECT_EQ(ExtractPhonetic(u"no transcription", phonetic), 0u);
  EXPECT_EQ(ExtractPhonetic(u"", phonetic), 0u);
}

TEST(ExtractPhoneticTest, CopiesFromTheBracketThroughTheFirstClosingOne) {
  char16_t phonetic[kPhoneticUnits] = {};
  // A "]" before the "[" is skipped like any unit outside the bracket.
  EXPECT_EQ(ExtractPhonetic(u"a]b[t5]x]y", phonetic), 5u);
  EXPECT_EQ(std::u16string(phonetic), u"[t5]");
  // A second "[" early enough stays inside; one after index 5 ends the copy.
  EXPECT_EQ(ExtractPhonetic(u"[a[b]", phonetic), 6u);
  EXPECT_EQ(std::u16string(phonetic), u"[a[b]");
  EXPECT_EQ(ExtractPhonetic(u"[abcdef[g]", phonetic), 8u);
  EXPECT_EQ(std::u16string(phonetic), u"[abcdef");
  // A bracket that is never closed runs to the end of the content.
  EXPECT_EQ(ExtractPhonetic(u"[ab", phonetic), 4u);
  EXPECT_EQ(std::u16string(phonetic), u"[ab");
}

TEST(ExtractPhoneticTest, CutsAt49Units) {
  std::vector<char16_t> phonetic(kPhoneticUnits + 4, kGuard);
  const std::u16string content = u"[" + std::u16string(100, u'a') + u"]";
  EXPECT_EQ(ExtractPhonetic(content.c_str(), phonetic.data()), 50u);
  EXPECT_EQ(std::u16string(phonetic.data()), content.substr(0, 49));
  EXPECT_EQ(phonetic[kPhoneticUnits], kGuard);
  // A closing bracket that is the 49th unit still fits.
  const std::u16string exact = u"[" + std::u16string(47, u'a') + u"]xyz";
  EXPECT_EQ(ExtractPhonetic(exact.c_str(), phonetic.data()), 50u);
  EXPECT_EQ(std::u16string(phonetic.data()), exact.substr(0, 49));
}

TEST(DisplayTextTest, ThePhoneticLineLeavesThePane) {
  AfterPhonetic d = Display(u"go[gU]x|to go|went");
  EXPECT_EQ(d.phonetic, u"[gU]");
  EXPECT_EQ(d.text, u"to go\r\nwent\r\n");
  // Without a separator nothing but the CR LF is left.
  d = Display(u"[bUk]");
  EXPECT_EQ(d.phonetic, u"[bUk]");
  EXPECT_EQ(d.text, u"\r\n");
  // The same when the separator can never match.
  d = Display(u"[bUk]|a book", 0x80);
  EXPECT_EQ(d.phonetic, u"[bUk]");
  EXPECT_EQ(d.text, u"\r\n");
  // A "[" at index 6 is ordinary text, shown with its line.
  d = Display(u"abcdef[x]|more");
  EXPECT_EQ(d.phonetic, u"");
  EXPECT_EQ(d.text, u"abcdef[x]\r\nmore\r\n");
}

TEST(DisplayTextTest, AMissingEntryShowsNotFound) {
  char16_t phonetic[kPhoneticUnits];
  std::vector<char16_t> buffer(64, kGuard);
  const std::size_t units = BuildDisplayText(nullptr, buffer.data(), phonetic, buffer.size(), '|');
  EXPECT_EQ(std::u16string(buffer.data()), u"\r\n <Not Found!>");
  EXPECT_EQ(units, 15u);
  EXPECT_EQ(phonetic[0], 0);
}

TEST(DisplayTextTest, ThePhoneticTextIsClearedBeforeEachEntry) {
  char16_t phonetic[kPhoneticUnits];
  std::vector<char16_t> buffer(64);
  BuildDisplayText(u"[bUk]|book", buffer.data(), phonetic, buffer.size(), '|');
  EXPECT_EQ(std::u16string(phonetic), u"[bUk]");
  BuildDisplayText(u"[s]|s", buffer.data(), phonetic, buffer.size(), '|');
  for (std::size_t i = 0; i < kPhoneticUnits; ++i) EXPECT_EQ(phonetic[i], i < 3 ? u"[s]"[i] : 0);
  BuildDisplayText(u"plain", buffer.data(), phonetic, buffer.size(), '|');
  EXPECT_EQ(phonetic[0], 0);
}

TEST(DisplayTextTest, DamagedHeadersGetBoundedBuffers) {
  EXPECT_EQ(DisplayLimit(100), 1124u);
  EXPECT_EQ(DisplayLimit(0), 1024u);
  EXPECT_EQ(DisplayLimit(-5), 1024u);
  EXPECT_EQ(ContentCapacity(100), 100u);
  EXPECT_EQ(ContentCapacity(0), 1u);
  EXPECT_EQ(ContentCapacity(INT32_MIN), 1u);
  // An absurd textBufferUnits gets no more than the largest content needs:
  // that content, all separators, with its CR LF and zero unit.
  const std::size_t largest = static_cast<std::size_t>(kMaxTextUnits);
  EXPECT_EQ(ContentCapacity(INT32_MAX), largest + 1);
  EXPECT_EQ(DisplayLimit(INT32_MAX), 2 * largest + 3);
  const std::u16string content(largest, u'|');
  std::vector<char16_t> buffer(DisplayLimit(INT32_MAX));
  EXPECT_EQ(FormatPlain(content.c_str(), buffer.data(), buffer.size(), '|'), 2 * largest + 2);
}

}  // namespace
}  // namespace quill
