#include "import/markup.h"

#include <array>
#include <cstdint>
#include <vector>

#include "book/utf.h"

namespace quill::import {

namespace {

// The reader takes a content's first line for a transcription when its
// first "[" stands at one of the indexes up to this one.
constexpr std::size_t kLastPhoneticBracket = 5;

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

char16_t LowerAscii(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

bool StartsWithFolded(std::u16string_view text, std::size_t p, std::u16string_view lower) {
  if (text.size() - p < lower.size()) return false;
  for (std::size_t i = 0; i < lower.size(); ++i) {
    if (LowerAscii(text[p + i]) != lower[i]) return false;
  }
  return true;
}

void PutCodePoint(char32_t c, std::u16string* out) {
  if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  AppendUtf16(c, out);
}

std::u16string Decimal(std::size_t n) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + n % 10));
    n /= 10;
  } while (n != 0);
  return digits;
}

// Builds readable text a piece at a time: indentation at the start of each
// line, white space collapsed when the markup asks for it, paragraphs
// apart by one blank line.
class TextWriter {
 public:
  explicit TextWriter(bool collapse) : collapse_(collapse) {}

  void SetCollapse(bool collapse) { collapse_ = collapse; }
  // Takes effect from the next line that starts.
  void SetIndent(std::size_t spaces) { indent_ = spaces; }
  bool AtLineStart() const { return lineStart_; }

  void Put(char16_t c) {
    if (c == u'\r') return;
    if (collapse_ && IsSpace(c)) {
      if (!lineStart_) space_ = true;
      return;
    }
    if (c == u'\n') {
      Break();
      return;
    }
    // A no-break space must outlast collapsing; the pane shows a space.
    PutVisible(c == 0xA0 ? u' ' : c);
  }
  void Put(std::u16string_view text) {
    for (const char16_t c : text) Put(c);
  }

  // A line break as the markup writes one: two in a row leave a blank line.
  void Break() {
    out_ += u'\n';
    lineStart_ = true;
    space_ = false;
  }
  // Where a block starts or ends: on a line of its own.
  void NewLine() {
    if (!lineStart_) Break();
    space_ = false;
  }
  void Paragraph() {
    NewLine();
    paragraph_ = true;
  }

  std::u16string Finish() const { return TidyText(out_); }

 private:
  void PutVisible(char16_t c) {
    if (paragraph_ && !out_.empty() && !out_.ends_with(u"\n\n")) out_ += u'\n';
    paragraph_ = false;
    if (lineStart_) {
      out_.append(indent_, u' ');
      lineStart_ = false;
    } else if (space_) {
      out_ += u' ';
    }
    space_ = false;
    out_ += c;
  }

  std::u16string out_;
  bool collapse_;
  std::size_t indent_ = 0;
  bool lineStart_ = true;
  bool space_ = false;      // collapsed white space waits for the next text
  bool paragraph_ = false;  // a blank line waits for the next text
};

// ------------------------------------------------------------ entities

// HTML's names for U+00A0 to U+00FF, in order.
constexpr std::array<const char*, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

// The Greek letters from U+0391 and from U+03B1 (U+03A2 is unassigned; its
// small counterpart is the final sigma).
constexpr std::array<const char*, 25> kGreekNames = {
    "Alpha", "Beta",  "Gamma",   "Delta", "Epsilon", "Zeta", "Eta", "Theta", "Iota",
    "Kappa", "Lambda", "Mu",     "Nu",    "Xi",      "Omicron", "Pi", "Rho", "",
    "Sigma", "Tau",   "Upsilon", "Phi",   "Chi",     "Psi",  "Omega"};

struct NamedEntity {
  const char* name;
  char16_t unit;
};

constexpr NamedEntity kOtherEntities[] = {
    {"amp", u'&'},      {"lt", u'<'},       {"gt", u'>'},       {"quot", u'"'},
    {"apos", u'\''},    {"ndash", 0x2013},  {"mdash", 0x2014},  {"hellip", 0x2026},
    {"lsquo", 0x2018},  {"rsquo", 0x2019},  {"sbquo", 0x201A},  {"ldquo", 0x201C},
    {"rdquo", 0x201D},  {"bdquo", 0x201E},  {"bull", 0x2022},   {"dagger", 0x2020},
    {"Dagger", 0x2021}, {"permil", 0x2030}, {"lsaquo", 0x2039}, {"rsaquo", 0x203A},
    {"euro", 0x20AC},   {"trade", 0x2122},  {"OElig", 0x0152},  {"oelig", 0x0153},
    {"Scaron", 0x0160}, {"scaron", 0x0161}, {"Yuml", 0x0178},   {"fnof", 0x0192},
    {"circ", 0x02C6},   {"tilde", 0x02DC},  {"ensp", 0x2002},   {"emsp", 0x2003},
    {"thinsp", 0x2009}, {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},
    {"rlm", 0x200F},    {"minus", 0x2212},  {"larr", 0x2190},   {"uarr", 0x2191},
    {"rarr", 0x2192},   {"darr", 0x2193},   {"harr", 0x2194},   {"le", 0x2264},
    {"ge", 0x2265},     {"ne", 0x2260},     {"infin", 0x221E},  {"prime", 0x2032},
    {"Prime", 0x2033},  {"sigmaf", 0x03C2}, {"loz", 0x25CA},    {"asymp", 0x2248},
};

bool NameIs(std::u16string_view name, const char* ascii) {
  std::size_t i = 0;
  for (; ascii[i] != 0; ++i) {
    if (i == name.size() || name[i] != static_cast<char16_t>(ascii[i])) return false;
  }
  return i == name.size();
}

// The unit a named entity stands for, or 0 when the name is unknown.
char16_t NamedUnit(std::u16string_view name) {
  for (std::size_t i = 0; i < kLatin1Names.size(); ++i) {
    if (NameIs(name, kLatin1Names[i])) return static_cast<char16_t>(0xA0 + i);
  }
  for (std::size_t i = 0; i < kGreekNames.size(); ++i) {
    if (kGreekNames[i][0] == 0) continue;
    if (NameIs(name, kGreekNames[i])) return static_cast<char16_t>(0x391 + i);
    // The small letters' names are the capitals' with a small first letter.
    if (name.size() > 1 && name[0] == LowerAscii(static_cast<char16_t>(kGreekNames[i][0])) &&
        NameIs(name.substr(1), kGreekNames[i] + 1)) {
      return static_cast<char16_t>(0x3B1 + i);
    }
  }
  for (const NamedEntity& e : kOtherEntities) {
    if (NameIs(name, e.name)) return e.unit;
  }
  return 0;
}

// The code point of "#123" or "#x1F", or -1 when the digits are not whole.
std::int64_t NumericEntity(std::u16string_view name) {
  const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
  const std::size_t first = hex ? 2 : 1;
  if (first == name.size() || name.size() - first > 8) return -1;
  std::int64_t value = 0;
  for (std::size_t i = first; i < name.size(); ++i) {
    const char16_t c = name[i];
    int digit = -1;
    if (IsDigit(c)) digit = c - u'0';
    if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit < 0) return -1;
    value = value * (hex ? 16 : 10) + digit;
  }
  return value;
}

// ------------------------------------------------------------ tags

struct Tag {
  std::u16string name;  // lower-case
  bool closing = false;
  bool selfClosing = false;
};

// Reads the tag that starts at text[p] ("<"): returns the index past its
// ">", or 0 when no tag starts there (a "<" of the text itself).
std::size_t ReadTag(std::u16string_view text, std::size_t p, Tag* tag) {
  std::size_t i = p + 1;
  if (i < text.size() && text[i] == u'/') {
    tag->closing = true;
    ++i;
  }
  if (i == text.size() || !IsAsciiLetter(text[i])) return 0;
  while (i < text.size() && (IsAsciiLetter(text[i]) || IsDigit(text[i]) || text[i] == u'-' ||
                             text[i] == u':' || text[i] == u'_')) {
    tag->name += LowerAscii(text[i++]);
  }
  char16_t quote = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'<') {
      return 0;
    } else if (c == u'>') {
      tag->selfClosing = text[i - 1] == u'/';
      return i + 1;
    }
  }
  return 0;
}

// The index past the first `close` (lower-case) from p on, or the end.
std::size_t SkipPast(std::u16string_view text, std::size_t p, std::u16string_view close) {
  for (; p < text.size(); ++p) {
    if (StartsWithFolded(text, p, close)) return p + close.size();
  }
  return text.size();
}

// Comments, declarations and CDATA sections at text[p] ("<"): the index
// past them (CDATA's text goes to the writer), or 0.
std::size_t SkipSpecial(std::u16string_view text, std::size_t p, TextWriter& w) {
  if (StartsWithFolded(text, p, u"<!--")) return SkipPast(text, p + 4, u"-->");
  if (StartsWithFolded(text, p, u"<![cdata[")) {
    const std::size_t end = SkipPast(text, p + 9, u"]]>");
    const std::size_t textEnd = end >= p + 12 && text.substr(end - 3, 3) == u"]]>" ? end - 3 : end;
    w.Put(text.substr(p + 9, textEnd - (p + 9)));
    return end;
  }
  if (p + 1 < text.size() && (text[p + 1] == u'!' || text[p + 1] == u'?')) {
    return SkipPast(text, p + 2, u">");
  }
  return 0;
}

// Runs through XML-like markup: text and entities go to the writer, each
// tag to onTag(tag, index past it), which returns where to go on (past a
// part it drops whole, say).
template <typename OnTag>
void WalkXml(std::u16string_view text, TextWriter& w, OnTag onTag) {
  std::size_t p = 0;
  std::u16string decoded;
  while (p < text.size()) {
    const char16_t c = text[p];
    if (c == u'&') {
      decoded.clear();
      if (DecodeEntity(text, &p, &decoded)) {
        w.Put(decoded);
        continue;
      }
    } else if (c == u'<') {
      const std::size_t special = SkipSpecial(text, p, w);
      if (special != 0) {
        p = special;
        continue;
      }
      Tag tag;
      const std::size_t after = ReadTag(text, p, &tag);
      if (after != 0) {
        p = onTag(tag, after);
        continue;
      }
    }
    w.Put(c);
    ++p;
  }
}

bool IsOneOf(const std::u16string& name, std::initializer_list<std::u16string_view> names) {
  for (const std::u16string_view n : names) {
    if (name == n) return true;
  }
  return false;
}

// ------------------------------------------------------------ HTML

class HtmlText {
 public:
  explicit HtmlText(std::u16string_view text) : text_(text) {}

  std::u16string Convert() {
    WalkXml(text_, w_, [this](const Tag& tag, std::size_t after) { return OnTag(tag, after); });
    return w_.Finish();
  }

 private:
  std::size_t OnTag(const Tag& tag, std::size_t after) {
    const std::u16string& name = tag.name;
    if (IsOneOf(name, {u"script", u"style", u"head"})) {
      if (tag.closing || tag.selfClosing) return after;
      return SkipPast(text_, after, u"</" + name + u">");
    }
    if (name == u"br") {
      w_.Break();
    } else if (name == u"p") {
      w_.Paragraph();
    } else if (name == u"li") {
      if (tag.closing) {
        w_.NewLine();
      } else {
        OpenItem();
      }
    } else if (name == u"ul" || name == u"ol") {
      if (tag.closing && !lists_.empty()) lists_.pop_back();
      if (!tag.closing && !tag.selfClosing) lists_.push_back(name == u"ol" ? 1 : 0);
      Margin();
      w_.NewLine();
    } else if (name == u"blockquote" || name == u"dd") {
      if (tag.closing && quotes_ > 0) --quotes_;
      if (!tag.closing && !tag.selfClosing) ++quotes_;
      Margin();
      w_.NewLine();
    } else if (name == u"pre") {
      w_.NewLine();
      w_.SetCollapse(tag.closing);
    } else if (name == u"td" || name == u"th") {
      w_.Put(u' ');
    } else if (IsOneOf(name, {u"div", u"tr", u"table", u"h1", u"h2", u"h3", u"h4", u"h5",
                              u"h6", u"dl", u"dt", u"hr", u"center", u"section", u"article",
                              u"header", u"footer", u"address", u"figure", u"figcaption",
                              u"details", u"summary", u"form", u"fieldset", u"nav"})) {
      w_.NewLine();
    }
    return after;
  }

  // A list item's line: its list's margin, then its number or a dash;
  // its further lines line up with its text.
  void OpenItem() {
    w_.NewLine();
    const std::size_t depth = lists_.empty() ? 1 : lists_.size();
    w_.SetIndent(kIndentStep * (quotes_ + depth - 1));
    if (!lists_.empty() && lists_.back() > 0) {
      w_.Put(Decimal(lists_.back()++) + u". ");
    } else {
      w_.Put(u"- ");
    }
    Margin();
  }

  void Margin() { w_.SetIndent(kIndentStep * (quotes_ + lists_.size())); }

  std::u16string_view text_;
  TextWriter w_{true};
  std::vector<std::size_t> lists_;  // per open list: 0, or its next number
  std::size_t quotes_ = 0;          // open quotations and definitions
};

// ------------------------------------------------------------ Pango, XDXF

std::u16string PangoToText(std::u16string_view text) {
  TextWriter w(false);
  WalkXml(text, w, [&w](const Tag& tag, std::size_t after) {
    if (tag.name == u"br") w.Break();
    return after;
  });
  return w.Finish();
}

std::u16string XdxfToText(std::u16string_view text) {
  TextWriter w(false);
  std::size_t depth = 0;  // open <def> and <blockquote>
  WalkXml(text, w, [&](const Tag& tag, std::size_t after) {
    const std::u16string& name = tag.name;
    if (name == u"br") {
      w.Break();
    } else if (name == u"tr") {
      w.Put(tag.closing ? u']' : u'[');
    } else if (name == u"rref") {
      // A resource (a sound, a picture) the book cannot carry.
      if (!tag.closing && !tag.selfClosing) return SkipPast(text, after, u"</rref>");
    } else if (name == u"def" || name == u"blockquote") {
      if (tag.closing && depth > 0) --depth;
      if (!tag.closing && !tag.selfClosing) ++depth;
      w.NewLine();
      w.SetIndent(kIndentStep * (depth > 0 ? depth - 1 : 0));
    }
    return after;
  });
  return w.Finish();
}

// ------------------------------------------------------------ MediaWiki

// The text without its {{templates}}, which hold no reading text of their
// own.
std::u16string WithoutTemplates(std::u16string_view text) {
  std::u16string out;
  std::size_t depth = 0;
  for (std::size_t p = 0; p < text.size(); ++p) {
    if (text.substr(p, 2) == u"{{") {
      ++depth;
      ++p;
    } else if (depth > 0 && text.substr(p, 2) == u"}}") {
      --depth;
      ++p;
    } else if (depth == 0) {
      out += text[p];
    }
  }
  return out;
}

// [[target|label]] shows the label, [[target]] the target; files and
// categories show nothing.
std::size_t WikiLink(std::u16string_view line, std::size_t p, TextWriter& w) {
  const std::size_t close = line.find(u"]]", p + 2);
  if (close == std::u16string_view::npos) return 0;
  const std::u16string_view inner = line.substr(p + 2, close - p - 2);
  for (const std::u16string_view prefix : {u"file:", u"image:", u"category:", u"media:"}) {
    if (StartsWithFolded(inner, 0, prefix)) return close + 2;
  }
  const std::size_t bar = inner.rfind(u'|');
  w.Put(bar == std::u16string_view::npos ? inner : inner.substr(bar + 1));
  return close + 2;
}

// [http://... label] shows the label, or the address when there is none.
std::size_t WikiExternalLink(std::u16string_view line, std::size_t p, TextWriter& w) {
  bool address = false;
  for (const std::u16string_view scheme : {u"http://", u"https://", u"ftp://", u"mailto:"}) {
    address = address || StartsWithFolded(line, p + 1, scheme);
  }
  const std::size_t close = line.find(u']', p);
  if (!address || close == std::u16string_view::npos) return 0;
  const std::u16string_view inner = line.substr(p + 1, close - p - 1);
  const std::size_t space = inner.find(u' ');
  w.Put(space == std::u16string_view::npos ? inner : inner.substr(space + 1));
  return close + 1;
}

// "== Heading ==" shows its words alone; any other line stays as it is.
std::u16string_view WikiHeading(std::u16string_view line) {
  std::size_t level = 0;
  while (level < 6 && 2 * (level + 1) < line.size() && line[level] == u'=' &&
         line[line.size() - 1 - level] == u'=') {
    ++level;
  }
  if (level == 0) return line;
  line = line.substr(level, line.size() - 2 * level);
  while (!line.empty() && line.front() == u' ') line.remove_prefix(1);
  while (!line.empty() && line.back() == u' ') line.remove_suffix(1);
  return line;
}

void WikiInline(std::u16string_view line, TextWriter& w) {
  std::size_t p = 0;
  std::u16string decoded;
  while (p < line.size()) {
    const char16_t c = line[p];
    std::size_t next = 0;
    if (c == u'\'' && p + 1 < line.size() && line[p + 1] == u'\'') {
      while (p < line.size() && line[p] == u'\'') ++p;  // bold and italic quotes
      continue;
    }
    if (line.substr(p, 2) == u"[[") next = WikiLink(line, p, w);
    if (next == 0 && c == u'[') next = WikiExternalLink(line, p, w);
    if (next == 0 && c == u'&') {
      decoded.clear();
      std::size_t q = p;
      if (DecodeEntity(line, &q, &decoded)) {
        w.Put(decoded);
        next = q;
      }
    }
    if (next == 0 && c == u'<') {
      next = SkipSpecial(line, p, w);
      Tag tag;
      if (next == 0) next = ReadTag(line, p, &tag);
      if (tag.name == u"br") w.Break();
    }
    if (next != 0) {
      p = next;
      continue;
    }
    w.Put(c);
    ++p;
  }
}

// The start of a list line: its level's margin, and a dash or its number
// for "*" and "#"; ":" indents only.
void WikiListMark(char16_t kind, std::size_t depth, std::vector<std::size_t>& numbers,
                  TextWriter& w) {
  w.SetIndent(kIndentStep * (kind == u':' ? depth : depth - 1));
  if (kind == u'*') w.Put(u"- ");
  if (kind == u'#') w.Put(Decimal(numbers.back()++) + u". ");
}

std::u16string WikiToText(std::u16string_view wiki) {
  const std::u16string text = WithoutTemplates(wiki);
  TextWriter w(false);
  std::vector<std::size_t> numbers;  // the next number of each "#" level
  std::size_t p = 0;
  while (p <= text.size()) {
    std::size_t end = text.find(u'\n', p);
    if (end == std::u16string::npos) end = text.size();
    std::u16string_view line = std::u16string_view(text).substr(p, end - p);
    const std::size_t depth = line.find_first_not_of(u"*#:;");
    const char16_t kind = depth > 0 && depth != line.npos ? line[depth - 1] : 0;
    if (kind != 0) {
      numbers.resize(kind == u'#' ? depth : 0, 1);
      WikiListMark(kind, depth, numbers, w);
      line = line.substr(depth);
    } else {
      numbers.clear();
      w.SetIndent(0);
      line = WikiHeading(line);
    }
    while (!line.empty() && line.front() == u' ') line.remove_prefix(1);
    const bool rule = kind == 0 && line.size() >= 4 && line.find_first_not_of(u'-') == line.npos;
    if (!rule) WikiInline(line, w);
    w.Break();
    p = end + 1;
  }
  return w.Finish();
}

// ------------------------------------------------------------ DSL

std::u16string MediaKind(std::u16string_view file) {
  const std::size_t dot = file.rfind(u'.');
  std::u16string extension;
  if (dot != std::u16string_view::npos) {
    for (const char16_t c : file.substr(dot + 1)) extension += LowerAscii(c);
  }
  if (IsOneOf(extension, {u"wav", u"mp3", u"ogg", u"oga", u"opus", u"spx", u"flac", u"m4a",
                          u"aac", u"wma"})) {
    return u"sound";
  }
  if (IsOneOf(extension, {u"jpg", u"jpeg", u"png", u"gif", u"bmp", u"tif", u"tiff", u"svg",
                          u"webp", u"ico"})) {
    return u"picture";
  }
  if (IsOneOf(extension, {u"mp4", u"avi", u"webm", u"mkv", u"wmv", u"mov", u"mpg", u"mpeg"})) {
    return u"video";
  }
  return u"media";
}

// The tag at body[p] ("["): acts on it and returns the index past it, or 0
// when no tag closes on this line (a "[" of the text then).
std::size_t DslTag(std::u16string_view body, std::size_t p, TextWriter& w) {
  std::size_t close = p + 1;
  while (close < body.size() && body[close] != u']' && body[close] != u'\n') ++close;
  if (close >= body.size() || body[close] != u']') return 0;
  std::u16string_view inside = body.substr(p + 1, close - p - 1);
  const bool closing = !inside.empty() && inside.front() == u'/';
  if (closing) inside.remove_prefix(1);
  const std::u16string_view name = inside.substr(0, inside.find(u' '));
  if (closing) return close + 1;
  if (name.size() == 2 && name[0] == u'm' && IsDigit(name[1])) {
    const std::size_t level = static_cast<std::size_t>(name[1] - u'0');
    if (w.AtLineStart()) w.SetIndent(kIndentStep * (level > 0 ? level - 1 : 0));
  } else if (name == u"br") {
    w.Break();
  } else if (name == u"s") {
    const std::size_t end = body.find(u"[/s]", close);
    const std::size_t lineEnd = body.find(u'\n', close);
    if (end != std::u16string_view::npos && end < lineEnd) {
      const std::u16string_view file = body.substr(close + 1, end - close - 1);
      w.Put(u"[" + MediaKind(file) + u": ");
      w.Put(file);
      w.Put(u']');
      return end + 4;
    }
  }
  return close + 1;
}

}  // namespace

bool DecodeEntity(std::u16string_view text, std::size_t* p, std::u16string* out) {
  const std::size_t start = *p;
  std::size_t end = start + 1;
  while (end < text.size() && end - start <= 32 &&
         (IsAsciiLetter(text[end]) || IsDigit(text[end]) || text[end] == u'#')) {
    ++end;
  }
  if (end == text.size() || text[end] != u';' || end == start + 1) return false;
  const std::u16string_view name = text.substr(start + 1, end - start - 1);
  if (name[0] == u'#') {
    const std::int64_t value = NumericEntity(name);
    if (value < 0) return false;
    PutCodePoint(static_cast<char32_t>(value), out);
  } else {
    const char16_t unit = NamedUnit(name);
    if (unit == 0) return false;
    out->push_back(unit);
  }
  *p = end + 1;
  return true;
}

std::u16string TidyText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size());
  bool blank = false;  // a blank line waits for the next line of text
  std::size_t p = 0;
  for (;;) {
    std::size_t e = p;
    while (e < text.size() && text[e] != u'\n' && text[e] != u'\r') ++e;
    std::size_t end = e;
    while (end > p && IsSpace(text[end - 1])) --end;
    if (end == p) {
      blank = !out.empty();
    } else {
      if (!out.empty()) out += blank ? u"\n\n" : u"\n";
      out.append(text.substr(p, end - p));
      blank = false;
    }
    if (e == text.size()) break;
    p = e + 1;
    if (text[e] == u'\r' && p < text.size() && text[p] == u'\n') ++p;
  }
  return out;
}

std::u16string MarkupToText(Markup kind, std::u16string_view text) {
  switch (kind) {
    case Markup::kPango:
      return PangoToText(text);
    case Markup::kHtml:
      return HtmlText(text).Convert();
    case Markup::kXdxf:
      return XdxfToText(text);
    case Markup::kWiki:
      return WikiToText(text);
    case Markup::kPlain:
      break;
  }
  return TidyText(text);
}

std::u16string DslToText(std::u16string_view body, std::u16string_view headword) {
  TextWriter w(false);
  bool reference = false;  // inside <<...>>
  std::size_t p = 0;
  while (p < body.size()) {
    const char16_t c = body[p];
    const char16_t next = p + 1 < body.size() ? body[p + 1] : u'\0';
    std::size_t after = 0;
    if (c == u'\\' && next != u'\0' && next != u'\n') {
      w.Put(next);
      after = p + 2;
    } else if (c == u'\n') {
      w.Break();
      w.SetIndent(0);
    } else if ((c == u' ' || c == u'\t') && w.AtLineStart()) {
      // A paragraph's margin comes from its [m] tag alone.
    } else if (c == u'[') {
      after = DslTag(body, p, w);
      if (after == 0) w.Put(c);
    } else if (c == u'<' && next == u'<' && !reference) {
      reference = true;
      after = p + 2;
    } else if (c == u'>' && next == u'>' && reference) {
      reference = false;
      after = p + 2;
    } else if (c == u'~') {
      w.Put(headword);
    } else {
      w.Put(c);
    }
    p = after != 0 ? after : p + 1;
  }
  return w.Finish();
}

std::u16string DslContent(std::u16string_view body, std::u16string_view headword,
                          TranscriptionCounts* counts) {
  std::size_t open = body.find(u"[t]");
  while (open != std::u16string_view::npos && open > 0 && body[open - 1] == u'\\') {
    open = body.find(u"[t]", open + 1);
  }
  const std::size_t close = open == std::u16string_view::npos ? open : body.find(u"[/t]", open + 3);
  std::u16string content;
  if (close != std::u16string_view::npos) {
    std::u16string ipa;
    for (const char16_t c : DslToText(body.substr(open + 3, close - open - 3), headword)) {
      ipa += c == u'\n' ? u' ' : c;
    }
    std::u16string strip;
    if (IpaToStrip(ipa, &strip)) {
      if (counts != nullptr) ++counts->mapped;
      std::u16string rest(body.substr(0, open));
      rest += body.substr(close + 4);
      std::u16string text = DslToText(rest, headword);
      // What stood on the transcription's line alone goes with it.
      const std::size_t first = text.find_first_not_of(u" \n");
      text.erase(0, first == std::u16string::npos ? text.size() : first);
      content = text.empty() ? strip : strip + u"\n" + text;
      return content;
    }
    if (counts != nullptr) ++counts->text;
  }
  content = DslToText(body, headword);
  KeepFirstLinePlain(&content);
  return content;
}

std::u16string WithTranscription(std::u16string_view transcription, std::u16string text,
                                 TranscriptionCounts* counts) {
  std::u16string line;
  for (const char16_t c : TidyText(transcription)) line += c == u'\n' ? u' ' : c;
  if (line.empty()) {
    KeepFirstLinePlain(&text);
    return text;
  }
  std::u16string strip;
  if (IpaToStrip(line, &strip)) {
    if (counts != nullptr) ++counts->mapped;
    return text.empty() ? strip : strip + u"\n" + text;
  }
  // Shown in a font, as written: a first line the reader must not take
  // for one the strip draws.
  if (counts != nullptr) ++counts->text;
  std::u16string content = text.empty() ? line : line + u"\n" + text;
  KeepFirstLinePlain(&content);
  return content;
}

void KeepFirstLinePlain(std::u16string* content) {
  const std::size_t bracket = content->find(u'[');
  if (bracket == std::u16string::npos || bracket > kLastPhoneticBracket) return;
  content->insert(0, kLastPhoneticBracket + 1 - bracket, u' ');
}

}  // namespace quill::import
