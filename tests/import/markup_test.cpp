// Each markup kind as the content pane gets it: tables of markup and the
// readable text it becomes.
#include "import/markup.h"

#include <gtest/gtest.h>

#include <string>

#include "book/utf.h"

namespace quill::import {
namespace {

struct Case {
  const char16_t* markup;
  const char16_t* text;
};

void ExpectConverted(Markup kind, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(MarkupToText(kind, c.markup)), ToUtf8(c.text))
        << "markup: " << ToUtf8(c.markup);
  }
}

TEST(Markup, EntitiesDecode) {
  ExpectConverted(Markup::kPango, {
      {u"&amp;&lt;&gt;&quot;&apos;", u"&<>\"'"},
      {u"a&nbsp;&nbsp;b", u"a  b"},
      {u"&#233;&#xE9;&#XE9; &#x1F4D6;", u"\u00E9\u00E9\u00E9 \U0001F4D6"},
      {u"&eacute;&Eacute;&szlig;&yuml;&copy;", u"\u00E9\u00C9\u00DF\u00FF\u00A9"},
      {u"&alpha;&Omega;&sigmaf;&mdash;&hellip;&euro;", u"\u03B1\u03A9\u03C2\u2014\u2026\u20AC"},
      // Not a code point: the replacement character.
      {u"&#0;&#xD800;&#x110000;", u"\uFFFD\uFFFD\uFFFD"},
      // Not entities: left as they stand.
      {u"&bogus; &amp &#; &#x; &#12a; & b", u"&bogus; &amp &#; &#x; &#12a; & b"},
      {u"&aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa;", u"&aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa;"},
  });
  std::u16string out;
  std::size_t p = 2;
  ASSERT_TRUE(DecodeEntity(u"x &lt; y", &p, &out));
  EXPECT_EQ(p, 6u);
  EXPECT_EQ(out, u"<");
  p = 0;
  EXPECT_FALSE(DecodeEntity(u"&zz;", &p, &out));
  EXPECT_EQ(p, 0u);
  EXPECT_EQ(out, u"<");
}

TEST(Markup, PangoKeepsItsWhiteSpace) {
  ExpectConverted(Markup::kPango, {
      {u"<b>bold</b> and <i>italic</i>", u"bold and italic"},
      {u"\n    <b>indented</b>\n\n\n\nnext  line\n\n", u"    indented\n\nnext  line"},
      {u"<span foreground=\"red\">x &amp; y</span>", u"x & y"},
      {u"a < b, c > d", u"a < b, c > d"},
      {u"<big>1</big><sup>2</sup><tt>3</tt>", u"123"},
      {u"one\r\ntwo<br/>three", u"one\ntwo\nthree"},
  });
}

TEST(Markup, HtmlFlowsIntoLinesAndParagraphs) {
  ExpectConverted(Markup::kHtml, {
      {u"  lots   of\n  space  ", u"lots of space"},
      {u"<p>one</p><p>two</p>", u"one\n\ntwo"},
      {u"<p>a</p>\n\n<p>b</p>", u"a\n\nb"},
      {u"a<br>b<br/><br>c", u"a\nb\n\nc"},
      {u"<div>a</div><div>b</div>", u"a\nb"},
      {u"<h1>Title</h1>Body", u"Title\nBody"},
      {u"<ul><li>one</li><li>two</li></ul>", u"- one\n- two"},
      {u"<ol><li>a<li>b<br>more</ol>after", u"1. a\n2. b\n  more\nafter"},
      {u"<ul><li>a<ul><li>b</li></ul></li><li>c</li></ul>", u"- a\n  - b\n- c"},
      {u"<blockquote>quoted</blockquote>after", u"  quoted\nafter"},
      {u"<dl><dt>term</dt><dd>meaning</dd></dl>", u"term\n  meaning"},
      {u"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", u"a b\nc"},
      {u"<script>var x = '<p>';</script>text<style>p {}</style>", u"text"},
      {u"<!-- a <b>comment</b> -->visible<!DOCTYPE html>", u"visible"},
      {u"<pre>a  b\n  c</pre>d   e", u"a  b\n  c\nd e"},
      {u"<a href=\"x>y\">link</a> &lt;tag&gt;", u"link <tag>"},
      {u"<![CDATA[<b>raw</b>]]>", u"<b>raw</b>"},
      {u"a&nbsp;&nbsp;b", u"a  b"},
  });
}

TEST(Markup, XdxfMarksTheTranscription) {
  ExpectConverted(Markup::kXdxf, {
      {u"<k>apple</k>\n<tr>\u02C8\u00E6pl</tr>\nfruit", u"apple\n[\u02C8\u00E6pl]\nfruit"},
      {u"<def>first<def>sub</def></def>", u"first\n  sub"},
      {u"<blockquote><blockquote>q</blockquote></blockquote>", u"  q"},
      {u"<rref>sound.wav</rref>text", u"text"},
      {u"<ex>an example</ex> <kref>link</kref> <abr>n.</abr>", u"an example link n."},
      {u"a<br/>b &amp; c", u"a\nb & c"},
  });
}

TEST(Markup, WikiShowsTheWordsOfItsMarkup) {
  ExpectConverted(Markup::kWiki, {
      {u"'''bold''' and ''italic''", u"bold and italic"},
      {u"[[target|label]] [[plain]]", u"label plain"},
      {u"[[File:x.png|thumb]]text [[Category:Nouns]]", u"text"},
      {u"[http://example.com site] [https://x.org]", u"site https://x.org"},
      {u"{{template|a}}kept{{nested {{inner}}\n}}", u"kept"},
      {u"== Heading ==\ntext", u"Heading\ntext"},
      {u"* one\n** two\n* three", u"- one\n  - two\n- three"},
      {u"# a\n# b\n## c\n# d", u"1. a\n2. b\n  1. c\n3. d"},
      {u": indented\n:: more", u"  indented\n    more"},
      {u"a<br>b &amp; c<!-- note -->", u"a\nb & c"},
      {u"a\n----\nb", u"a\n\nb"},
  });
}

TEST(Markup, PlainTextIsTidied) {
  ExpectConverted(Markup::kPlain, {
      {u"", u""},
      {u"\n \n", u""},
      {u"  a  \n\n\n  b \t\n", u"  a\n\n  b"},
      {u"a\r\nb\rc", u"a\nb\nc"},
      {u"<b>not markup</b> &amp;", u"<b>not markup</b> &amp;"},
  });
}

TEST(Markup, DslCardBodies) {
  const Case cases[] = {
      {u"[m1][p]noun[/p][/m]\n[m2] [trn]a meaning[/trn][/m]", u"noun\n  a meaning"},
      {u"[m3]- [*][ex]example[/ex][/*][/m]", u"    - example"},
      {u"[m0]zero\nplain", u"zero\nplain"},
      {u"[b]bold[/b] \\[not a tag\\] back\\\\slash", u"bold [not a tag] back\\slash"},
      {u"[c red]red[/c] [c]plain[/c] [u]under[/u] [i]it[/i]", u"red plain under it"},
      {u"[s]cat.wav[/s] [s]Cat.JPG[/s] [s]x.bin[/s]",
       u"[sound: cat.wav] [picture: Cat.JPG] [media: x.bin]"},
      {u"see <<other word>> and a >> b", u"see other word and a >> b"},
      {u"[ref]link[/ref] [url]http://x[/url] [com]note[/com]", u"link http://x note"},
      {u"~ tree, \\~", u"apple tree, ~"},
      {u"[lang id=1033]English[/lang] x[sup]2[/sup] H[sub]2[/sub]O", u"English x2 H2O"},
      {u"stress[']e[/']d [!trs]x[/!trs]", u"stressed x"},
      {u"a[br]b", u"a\nb"},
      {u"unclosed [bracket\nnext", u"unclosed [bracket\nnext"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(DslToText(c.markup, u"apple")), ToUtf8(c.text)) << ToUtf8(c.markup);
  }
}

TEST(Markup, TranscriptionLineAndPlainFirstLine) {
  // The strip draws it: mapped and bracketed; else a plain line as written.
  TranscriptionCounts counts;
  EXPECT_EQ(WithTranscription(u"\u0259'ba\u028At", u"about", &counts), u"[5'b0Ut]\nabout");
  EXPECT_EQ(WithTranscription(u"[x]", u"t", &counts), u"      [x]\nt");
  EXPECT_EQ(WithTranscription(u"a\nb", u"", &counts), u"a b");
  EXPECT_EQ(WithTranscription(u"/h\u0252t/", u"hot", &counts), u"/h\u0252t/\nhot");
  EXPECT_EQ(counts.mapped, 1u);
  EXPECT_EQ(counts.text, 3u);
  // No transcription: a "[" that the reader would take for one moves on.
  EXPECT_EQ(WithTranscription(u" ", u"[y] text"), u"      [y] text");
  const struct {
    std::u16string before;
    std::u16string after;
  } plain[] = {
      {u"ab[c]", u"    ab[c]"},
      {u"x\n[y]", u"    x\n[y]"},
      {u"123456[x]", u"123456[x]"},
      {u"no bracket", u"no bracket"},
  };
  for (const auto& c : plain) {
    std::u16string content = c.before;
    KeepFirstLinePlain(&content);
    EXPECT_EQ(content, c.after);
    EXPECT_GT(content.find(u'['), 5u);
  }
}

}  // namespace
}  // namespace quill::import
