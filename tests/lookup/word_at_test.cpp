// The word a double-click picks from an entry's text.
#include "lookup/word_at.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "book/utf.h"

namespace quill::lookup {
namespace {

std::u16string W(const char* utf8) {
  std::u16string wide;
  Utf8ToUtf16(utf8, &wide);
  return wide;
}

TEST(WordAt, PicksTheRunOfLettersUnderThePointer) {
  const std::set<std::u16string> keys = {W("\xE4\xB8\xAD\xE5\x9B\xBD"),                   // 中国
                                         W("\xE4\xB8\xAD\xE5\x9B\xBD\xE4\xBA\xBA"),       // 中国人
                                         W("\xE4\xBA\xBA\xE6\xB0\x91")};                  // 人民
  const KeyTest isKey = [&keys](std::u16string_view text) {
    return keys.count(std::u16string(text)) != 0;
  };
  struct Case {
    const char* text;
    const char* clickedAt;  // the text from the clicked character on
    const char* word;
  } const cases[] = {
      {"Did you mean accurate, curate?", "ccurate", "accurate"},
      // Beside punctuation: the comma and the question mark stay out,
      // and a click on them, just past the word, still means it.
      {"Did you mean accurate, curate?", ", curate", "accurate"},
      {"Did you mean accurate, curate?", "?", "curate"},
      {"(see: mouse)", "mouse", "mouse"},
      {"(see: mouse)", ")", "mouse"},
      // Apostrophes and hyphens inside a word, not at its edges.
      {"it's well-known", "s well", "it's"},
      {"it's well-known", "known", "well-known"},
      {"'quoted' -dash-", "uoted", "quoted"},
      {"'quoted' -dash-", "dash", "dash"},
      {"rock\xE2\x80\x99n\xE2\x80\x99roll", "roll", "rock\xE2\x80\x99n\xE2\x80\x99roll"},
      {"B2B 1999", "99", "1999"},
      // Spaces and punctuation alone pick nothing.
      {"one  two", " two", ""},
      {"-- ? --", "?", ""},
      // Other alphabets, IPA and marks combined with their letter.
      {"\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82, \xCF\x84\xCE\xBF", "\xCE\xB3", "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82"},
      {"[b\xCA\x8Ak] book", "\xCA\x8A", "b\xCA\x8Ak"},
      {"cafe\xCC\x81 noir", "fe", "cafe\xCC\x81"},
      {"x\xF0\x9D\x90\x80y z", "y", "x\xF0\x9D\x90\x80y"},
      // Without spaces: the longest key that starts at the character,
      // else the character alone.
      {"\xE6\x88\x91\xE7\x88\xB1\xE4\xB8\xAD\xE5\x9B\xBD\xE4\xBA\xBA\xE6\xB0\x91\xE3\x80\x82",
       "\xE4\xB8\xAD", "\xE4\xB8\xAD\xE5\x9B\xBD\xE4\xBA\xBA"},
      {"\xE6\x88\x91\xE7\x88\xB1\xE4\xB8\xAD\xE5\x9B\xBD\xE4\xBA\xBA\xE6\xB0\x91\xE3\x80\x82",
       "\xE4\xBA\xBA", "\xE4\xBA\xBA\xE6\xB0\x91"},
      {"\xE6\x88\x91\xE7\x88\xB1\xE4\xB8\xAD\xE5\x9B\xBD", "\xE7\x88\xB1", "\xE7\x88\xB1"},
      {"\xE4\xB8\xAD\xE5\x9B\xBD\xE3\x80\x82", "\xE3\x80\x82", "\xE5\x9B\xBD"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " at " + c.clickedAt);
    const std::u16string text = W(c.text);
    const std::size_t at = text.find(W(c.clickedAt));
    ASSERT_NE(at, std::u16string::npos);
    const WordSpan span = WordAt(text, at, isKey);
    ASSERT_LE(span.begin, span.end);
    ASSERT_LE(span.end, text.size());
    EXPECT_EQ(ToUtf8(text.substr(span.begin, span.end - span.begin)), c.word);
  }
}

TEST(WordAt, EveryPlaceOfOddTextIsSafe) {
  const std::u16string texts[] = {u"", u"\xD800", u"a\xDC00" u"b", u"\xDBFF\xDFFF\xD800", u"-'-'", u"x"};
  for (const std::u16string& text : texts) {
    for (std::size_t at = 0; at <= text.size() + 2; ++at) {
      const WordSpan span = WordAt(text, at, nullptr);
      EXPECT_LE(span.begin, span.end);
      EXPECT_LE(span.end, text.size());
    }
  }
  EXPECT_EQ(WordAt(u"abc", 99, nullptr).end, 3u);
}

}  // namespace
}  // namespace quill::lookup
