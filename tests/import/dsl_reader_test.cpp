// DSL card dictionaries in each encoding they come in, their headwords'
// optional and unsorted parts, and the damage the reader refuses.
#include "import/dsl_reader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "book/utf.h"

namespace quill::import {
namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes Utf8(const std::string& text, bool bom) {
  const std::string all = (bom ? "\xEF\xBB\xBF" : "") + text;
  return Bytes(all.begin(), all.end());
}

Bytes Utf16(const std::u16string& text, bool bom) {
  Bytes bytes = bom ? Bytes{0xFF, 0xFE} : Bytes{};
  for (const char16_t u : text) {
    bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  return bytes;
}

Bytes Utf16(const std::string& utf8, bool bom) {
  std::u16string text;
  EXPECT_TRUE(Utf8ToUtf16(utf8, &text));
  return Utf16(text, bom);
}

struct Read {
  int ok;
  DslBook book;
  std::string problem;
};

Read ReadBytes(const Bytes& bytes) {
  Read r;
  r.ok = ReadDsl(bytes.data(), bytes.size(), &r.book, &r.problem);
  return r;
}

// "line key=content" per entry.
std::string Dump(const DslBook& book) {
  std::string text;
  for (std::size_t n = 0; n < book.entries.size(); ++n) {
    text += std::to_string(book.lines[n]) + " " + ToUtf8(book.entries[n].key) + "=" +
            ToUtf8(book.entries[n].content) + "\n";
  }
  return text;
}

const std::string kCards =
    "#NAME \"Tiny Test\"\r\n"
    "#INDEX_LANGUAGE \"English\"\r\n"
    "#CONTENTS_LANGUAGE \"Czech\"\r\n"
    "\r\n"
    "colo(u)r\r\n"
    "{the }apple {{a comment}}\r\n"
    "\t[m1][b]noun[/b][/m]\r\n"
    "\t[m2][trn]~ tree, \xC5\xBElut\xC3\xBD[/trn][/m]\r\n"
    "\r\n"
    "pear\r\n"
    "  a fruit{{ a comment over\r\n"
    "two lines }} still the fruit\r\n"
    "\t[s]pear.wav[/s]\r\n";

TEST(Dsl, ReadsEveryEncoding) {
  const std::string expected =
      "5 colour=noun\n  colour tree, \xC5\xBElut\xC3\xBD\n"
      "5 color=noun\n  colour tree, \xC5\xBElut\xC3\xBD\n"
      "6 apple=noun\n  colour tree, \xC5\xBElut\xC3\xBD\n"
      "10 pear=a fruit still the fruit\n[sound: pear.wav]\n";
  const Bytes forms[] = {Utf16(kCards, true), Utf16(kCards, false), Utf8(kCards, true),
                         Utf8(kCards, false)};
  for (const Bytes& bytes : forms) {
    const Read r = ReadBytes(bytes);
    ASSERT_EQ(r.ok, 1) << r.problem;
    EXPECT_EQ(Dump(r.book), expected);
    EXPECT_EQ(r.book.name, u"Tiny Test");
    EXPECT_EQ(r.book.indexLanguage, u"English");
    EXPECT_EQ(r.book.contentsLanguage, u"Czech");
  }
}

TEST(Dsl, CardsAndTheirHeadwords) {
  const Read r = ReadBytes(Utf8(
      "\t\na\n\tone\nb\n\ttwo\n\nc\n\nd\ne\n\tthree\n \n\tfour\nf\n\t[s]x.wav[/s] first line\n",
      false));
  ASSERT_EQ(r.ok, 1) << r.problem;
  // A headword after a body starts a card; one with no body is empty; the
  // headwords of one card share it; white space alone is a blank line of a
  // body and nothing outside one; a "[" the reader would take for a
  // transcription moves on.
  EXPECT_EQ(Dump(r.book),
            "2 a=one\n4 b=two\n7 c=\n9 d=three\n\nfour\n10 e=three\n\nfour\n"
            "14 f=      [sound: x.wav] first line\n");
  EXPECT_EQ(r.book.name, u"");
}

TEST(Dsl, HeadwordKeys) {
  const struct {
    const char16_t* headword;
    std::vector<std::u16string> keys;
  } cases[] = {
      {u"colo(u)r", {u"colour", u"color"}},
      {u"{the }apple", {u"apple"}},
      {u"(to) go (out)", {u"to go out", u"go out", u"to go", u"go"}},
      {u"a\\(b\\) \\{c\\}", {u"a(b) {c}"}},
      {u"x(1)(2)(3)(4)", {u"x1234", u"x"}},
      {u"  spaced \t  out  ", {u"spaced out"}},
      {u"ab()", {u"ab"}},
      {u"open(ended", {u"openended", u"open"}},
      {u"pr{[']}o{[/']}ject", {u"project"}},
      {u"{only unsorted}", {}},
      {u"(   )", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DslHeadwordKeys(c.headword), c.keys) << ToUtf8(c.headword);
  }
}

TEST(Dsl, DamageIsRefusedNamingTheLine) {
  const struct {
    Bytes text;
    std::string problem;
  } cases[] = {
      {Utf8("#NAME \"x\"\nword\n\tbad \xFF\n", false),
       "line 3: the text is not valid UTF-8 (byte 6 of the line)"},
      {Utf8("word\n\t\xC3", true), "line 2: the text is not valid UTF-8 (byte 2 of the line)"},
      {Utf16(u"word\n\tx\xD800y", true), "line 2: the text is not valid UTF-16 (a lone surrogate)"},
      {Utf16(u"w\n\t\xDC00", false), "line 2: the text is not valid UTF-16 (a lone surrogate)"},
      {[] {
         Bytes b = Utf16(u"ab\ncd", true);
         b.push_back('e');
         return b;
       }(),
       "line 2: the UTF-16 text ends in half a character"},
      {Utf8("word\n\ta\0b"s, false), "line 2: the text holds a NUL character"},
      {Utf8("word\n\ta {{ never closed\n", false), "line 2: a {{comment}} is not closed"},
      {Utf8("#NAME \"x\"\n\tbody\n", false), "line 2: card text before the first headword"},
      {Utf8("ok\n\tbody\n{nothing}\n\tbody\n", false), "line 3: the headword leaves no key"},
      {Utf8("{nothing}", false), "line 1: the headword leaves no key"},
  };
  for (const auto& c : cases) {
    const Read r = ReadBytes(c.text);
    EXPECT_EQ(r.ok, 0);
    EXPECT_EQ(r.problem, c.problem);
  }
}

Read ReadInPieces(const Bytes& bytes, std::size_t size) {
  Read r;
  DslReader reader(&r.book);
  for (std::size_t at = 0; at < bytes.size(); at += size) {
    reader.Feed(bytes.data() + at, std::min(size, bytes.size() - at));
  }
  r.ok = reader.Finish(&r.problem);
  return r;
}

// The text handed over in pieces of every size reads as the whole does: a
// card, a comment's braces, an escape, a CR LF, a UTF-16 unit or surrogate
// pair or a UTF-8 sequence split between pieces changes nothing, nor does
// a fault found in a later piece than one it outranks.
TEST(Dsl, PiecesOfEverySizeReadAsTheWhole) {
  const std::string awkward =
      "#NAME \"A\\{b\"\r\n\r\n"
      "k\xC3\xA9y\\{x\\}\r\n"
      "\tone \xE2\x82\xAC two \xF0\x9F\x98\x80{{c}}{{}}}{{a}b}}\r\n"
      "\t\\\r\n"
      "\t{x{{y\r\nz}}\\\\{{q}}\r\n"
      "\r\n"
      "last\r\n"
      "\tend{";
  std::string big;
  for (int i = 0; big.size() < 150000; ++i) {
    big += "w" + std::to_string(i) + "\r\n\t\xD0\xB4\xD0\xBE\xD0\xBC {{n}} \xF0\x9F\x98\x80\r\n\r\n";
  }
  const struct {
    Bytes text;
    std::string problem;  // expected, when refused
  } cases[] = {
      {Utf16(kCards, true), ""},
      {Utf16(kCards, false), ""},
      {Utf8(kCards, true), ""},
      {Utf8(kCards, false), ""},
      {Utf8(awkward, false), ""},
      {Utf16(awkward, true), ""},
      {Utf8(big, true), ""},
      {Utf16(big, false), ""},
      {Utf8("", false), ""},
      {Utf8("a", false), ""},
      {Utf8("\xEF\xBB", false), "line 1: the text is not valid UTF-8 (byte 1 of the line)"},
      {Utf8("w\n\t\xE2\x82", false), "line 2: the text is not valid UTF-8 (byte 2 of the line)"},
      {Utf8("w\n\t\xE2\x82x\n", false), "line 2: the text is not valid UTF-8 (byte 2 of the line)"},
      {Utf8("w\n\t\xF0\x9F\x98x", true), "line 2: the text is not valid UTF-8 (byte 2 of the line)"},
      {Utf16(u"w\n\t\xD83D\xD83D\xDE00", true),
       "line 2: the text is not valid UTF-16 (a lone surrogate)"},
      {Utf16(u"w\n\tx\xD83D", false), "line 2: the text is not valid UTF-16 (a lone surrogate)"},
      // The encoding outranks a NUL, a NUL every other fault, wherever they
      // stand; half a character outranks a lone surrogate.
      {Utf8("\tbody first\n{{ open\n\xFF", false),
       "line 3: the text is not valid UTF-8 (byte 1 of the line)"},
      {Utf8("\tbody first\nw\n\tx\0"s, false), "line 3: the text holds a NUL character"},
      {[] {
         Bytes b = Utf16(u"\xDC00\n\n\n", true);
         b.push_back('e');
         return b;
       }(),
       "line 4: the UTF-16 text ends in half a character"},
      {Utf16(u"\tbody\n\xDC00", false), "line 2: the text is not valid UTF-16 (a lone surrogate)"},
      {Utf8("w\n\tx\n{nothing}\n\tz {{ open\n", false), "line 4: a {{comment}} is not closed"},
      {Utf8("w\n\tx\n{nothing}\n\tz\n\n{{ open\n", false), "line 3: the headword leaves no key"},
      {Utf8("w\n\tx {{ open\n}\n\n", false), "line 2: a {{comment}} is not closed"},
  };
  for (const auto& c : cases) {
    const Read whole = ReadBytes(c.text);
    EXPECT_EQ(whole.ok, c.problem.empty() ? 1 : 0) << whole.problem;
    EXPECT_EQ(whole.problem, c.problem);
    std::vector<std::size_t> sizes;
    for (std::size_t size = 1; size <= 40 && size <= c.text.size(); ++size) sizes.push_back(size);
    for (const std::size_t size : {std::size_t{4093}, std::size_t{65535}, std::size_t{65537}}) {
      if (size < c.text.size()) sizes.push_back(size);
    }
    for (const std::size_t size : sizes) {
      if (c.text.size() > 4096 && size > 7 && size < 4093) continue;
      const Read r = ReadInPieces(c.text, size);
      SCOPED_TRACE(std::to_string(c.text.size()) + " bytes in pieces of " + std::to_string(size));
      EXPECT_EQ(r.ok, whole.ok);
      EXPECT_EQ(r.problem, whole.problem);
      EXPECT_EQ(Dump(r.book), Dump(whole.book));
      EXPECT_EQ(r.book.name, whole.book.name);
    }
  }
  // What the awkward text reads as: escapes kept, comments taken out, a
  // trailing brace kept.
  const Read awkwardRead = ReadBytes(Utf8(awkward, false));
  EXPECT_EQ(awkwardRead.book.name, u"A\\{b");
  EXPECT_EQ(Dump(awkwardRead.book).substr(0, 2), "3 ");
}

}  // namespace
}  // namespace quill::import
