#include "import/dsl_reader.h"

#include <algorithm>

#include "import/markup.h"
#include "book/utf.h"

namespace quill::import {

namespace {

// A line of the text once comments are gone; a comment across lines
// joins them into the line it started on.
struct DslLine {
  std::u16string text;
  std::size_t number;  // from 1
};

std::string LineProblem(std::size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Applies a header line "#NAME "value"".
void ReadDirective(const std::u16string& line, DslBook* book) {
  const std::size_t space = line.find_first_of(u" \t");
  const std::u16string name = line.substr(0, space);
  std::u16string value = space == std::u16string::npos ? u"" : line.substr(space + 1);
  const std::size_t first = value.find_first_not_of(u" \t\"");
  const std::size_t last = value.find_last_not_of(u" \t\"");
  value = first == std::u16string::npos ? u"" : value.substr(first, last - first + 1);
  if (name == u"#NAME") book->name = value;
  if (name == u"#INDEX_LANGUAGE") book->indexLanguage = value;
  if (name == u"#CONTENTS_LANGUAGE") book->contentsLanguage = value;
}

std::u16string CollapseSpaces(const std::u16string& text) {
  std::u16string out;
  for (const char16_t c : text) {
    if (IsBlank(c)) {
      if (!out.empty() && out.back() != u' ') out += u' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == u' ') out.pop_back();
  return out;
}

class CardReader {
 public:
  explicit CardReader(DslBook* book) : book_(book) {}

  int AddHeadword(const DslLine& line, std::string* problem) {
    if (haveBody_ && !Finish(problem)) return 0;
    headwords_.push_back(line);
    return 1;
  }
  bool AddBody(const std::u16string& text) {
    if (headwords_.empty()) return false;
    if (haveBody_) body_ += u'\n';
    const std::size_t start = text.find_first_not_of(u" \t");
    if (start != std::u16string::npos) body_.append(text, start);
    haveBody_ = true;
    return true;
  }
  // A line of white space alone: a blank line of the body it stands in,
  // nothing elsewhere.
  void AddBlank() {
    if (haveBody_) body_ += u'\n';
  }

  // Makes the card's entries. 0 with the reason when a headword leaves no
  // key.
  int Finish(std::string* problem) {
    std::vector<std::vector<std::u16string>> keys;
    for (const DslLine& line : headwords_) {
      keys.push_back(DslHeadwordKeys(line.text));
      if (keys.back().empty()) {
        *problem = LineProblem(line.number, "the headword leaves no key");
        return 0;
      }
    }
    if (!headwords_.empty()) AddEntries(keys);
    headwords_.clear();
    body_.clear();
    haveBody_ = false;
    return 1;
  }

 private:
  void AddEntries(const std::vector<std::vector<std::u16string>>& keys) {
    const std::u16string content = DslContent(body_, keys[0][0], &book_->transcriptions);
    std::vector<std::u16string> seen;
    for (std::size_t h = 0; h < keys.size(); ++h) {
      for (const std::u16string& key : keys[h]) {
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        book_->entries.push_back(BookEntry{key, content});
        book_->lines.push_back(headwords_[h].number);
      }
    }
  }

  DslBook* book_;
  std::vector<DslLine> headwords_;  // the card's, copied: lines are read one by one
  std::u16string body_;
  bool haveBody_ = false;
};

}  // namespace

std::vector<std::u16string> DslHeadwordKeys(std::u16string_view headword) {
  // Fixed text at the even places, optional parts at the odd ones.
  std::vector<std::u16string> pieces(1);
  for (std::size_t p = 0; p < headword.size(); ++p) {
    const char16_t c = headword[p];
    const bool optional = pieces.size() % 2 == 0;
    if (c == u'\\' && p + 1 < headword.size()) {
      pieces.back() += headword[++p];
    } else if (c == u'{') {
      const std::size_t close = headword.find(u'}', p);
      p = close == std::u16string_view::npos ? headword.size() : close;
    } else if ((c == u'(' && !optional) || (c == u')' && optional)) {
      pieces.emplace_back();
    } else {
      pieces.back() += c;
    }
  }
  const std::size_t parts = pieces.size() / 2;
  const bool every = parts <= kMaxOptionalParts;
  const std::size_t all = every ? (std::size_t{1} << parts) - 1 : 1;
  std::vector<std::u16string> keys;
  for (std::size_t choice = all + 1; choice-- > 0;) {
    std::u16string key;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const bool kept = i % 2 == 0 || (every ? (choice >> (i / 2)) & 1 : choice);
      if (kept) key += pieces[i];
    }
    key = CollapseSpaces(key);
    if (!key.empty() && std::find(keys.begin(), keys.end(), key) == keys.end()) {
      keys.push_back(std::move(key));
    }
  }
  return keys;
}

// The reader's state: the encoding found in the first bytes, the bytes of
// a character split across pieces, the line being read and the card it
// belongs to. Damage to the encoding and NUL characters outrank every
// other fault, so the text is decoded to its end even once the cards have
// stopped.
struct DslReader::State {
  enum class Encoding { kUnknown, kUtf16, kUtf8 };
  enum class Lexer { kText, kBackslash, kBrace, kComment, kCommentBrace };

  explicit State(DslBook* b) : book(b), cards(b) { *book = DslBook{}; }

  // The next bytes, at most kPiece of them.
  void Take(const std::uint8_t* p, std::size_t n) {
    if (encoding == Encoding::kUnknown) {
      const std::size_t take = std::min(n, std::size_t{3} - head.size());
      head.insert(head.end(), p, p + take);
      p += take;
      n -= take;
      if (head.size() < 3) return;
      Decide();
    }
    Decode(p, n, false);
  }

  // UTF-16LE after its byte-order mark or when its second byte is 0 (an
  // ASCII first character), else UTF-8.
  void Decide() {
    const std::size_t n = head.size();
    std::size_t skip = 0;
    if (n >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
      encoding = Encoding::kUtf16;
      skip = 2;
    } else if (n >= 2 && head[0] != 0 && head[1] == 0) {
      encoding = Encoding::kUtf16;
    } else {
      encoding = Encoding::kUtf8;
      skip = n >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF ? 3 : 0;
    }
    offset = lineStart = skip;
    const std::vector<std::uint8_t> first = std::move(head);
    Decode(first.data() + skip, n - skip, false);
  }

  void Decode(const std::uint8_t* p, std::size_t n, bool last) {
    if (encoding == Encoding::kUtf16) {
      DecodeUtf16(p, n);
    } else {
      DecodeUtf8(p, n, last);
    }
  }

  void DecodeUtf16(const std::uint8_t* p, std::size_t n) {
    std::size_t i = 0;
    if (!carry.empty() && n > 0) {
      Unit(static_cast<char16_t>(carry[0] | (p[0] << 8)));
      carry.clear();
      i = 1;
    }
    for (; i + 1 < n; i += 2) Unit(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
    if (i < n) carry.push_back(p[i]);
  }

  void Unit(char16_t u) {
    if (!badEncoding.empty()) {
      // Still counted: a text of odd length names its last line.
      if (u == u'\n') ++newlines;
      return;
    }
    if (highPending) {
      highPending = false;
      if (u >= 0xDC00 && u <= 0xDFFF) {
        Emit(high);
        Emit(u);
        return;
      }
      badEncoding = LineProblem(highLine, kLoneSurrogate);
      if (u == u'\n') ++newlines;
      return;
    }
    if (u >= 0xD800 && u <= 0xDBFF) {
      highPending = true;
      high = u;
      highLine = newlines + 1;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      badEncoding = LineProblem(newlines + 1, kLoneSurrogate);
    } else {
      Emit(u);
    }
  }

  // A sequence cut by the piece's end waits in carry for the next piece.
  void DecodeUtf8(const std::uint8_t* p, std::size_t n, bool last) {
    if (!badEncoding.empty()) return;
    work.assign(carry.begin(), carry.end());
    work.insert(work.end(), p, p + n);
    carry.clear();
    const std::size_t cut =
        last ? work.size() : WholeUtf8Length(reinterpret_cast<const char*>(work.data()), work.size());
    units.clear();
    std::size_t bad = 0;
    const int ok = AppendUtf16(reinterpret_cast<const char*>(work.data()), cut, &units, &bad);
    std::size_t lines = newlines;
    const std::size_t seen = ok ? cut : bad;
    for (std::size_t k = 0; k < seen; ++k) {
      if (work[k] == '\n') {
        ++lines;
        lineStart = offset + k + 1;
      }
    }
    if (!ok) {
      badEncoding = LineProblem(lines + 1, "the text is not valid UTF-8 (byte " +
                                               std::to_string(offset + bad - lineStart + 1) +
                                               " of the line)");
      return;
    }
    offset += cut;
    for (const char16_t u : units) Emit(u);
    carry.assign(work.begin() + static_cast<std::ptrdiff_t>(cut), work.end());
  }

  // A decoded character, to the lines unless a NUL or a fault came first.
  void Emit(char16_t u) {
    if (u == u'\0') {
      if (!nul) nulProblem = LineProblem(newlines + 1, "the text holds a NUL character");
      nul = true;
    } else if (!nul && !failed) {
      Put(u);
    }
    if (u == u'\n') ++newlines;
  }

  // Takes {{comments}} out, a character at a time: a comment across lines
  // joins them into the line it started on.
  void Put(char16_t c) {
    switch (lexer) {
      case Lexer::kBackslash:
        lexer = Lexer::kText;
        line.text += u'\\';
        if (c != u'\n') {
          line.text += c;
          return;
        }
        break;
      case Lexer::kBrace:
        lexer = Lexer::kText;
        if (c == u'{') {
          lexer = Lexer::kComment;
          commentLine = number;
          return;
        }
        line.text += u'{';
        break;
      case Lexer::kComment:
      case Lexer::kCommentBrace:
        if (c == u'}' && lexer == Lexer::kCommentBrace) {
          lexer = Lexer::kText;
        } else {
          lexer = c == u'}' ? Lexer::kCommentBrace : Lexer::kComment;
          if (c == u'\n') ++number;
        }
        return;
      case Lexer::kText:
        break;
    }
    if (c == u'\\') {
      lexer = Lexer::kBackslash;
    } else if (c == u'{') {
      lexer = Lexer::kBrace;
    } else if (c == u'\n') {
      EndLine();
      ++number;
      line.text.clear();
      line.number = number;
    } else {
      line.text += c;
    }
  }

  void EndLine() {
    if (!line.text.empty() && line.text.back() == u'\r') line.text.pop_back();
    const std::u16string& t = line.text;
    if (header && !t.empty() && t[0] == u'#') {
      ReadDirective(t, book);
      return;
    }
    if (t.empty()) {
      if (!cards.Finish(&problem)) failed = true;
      return;
    }
    if (t.find_first_not_of(u" \t") == std::u16string::npos) {
      cards.AddBlank();
      return;
    }
    header = false;
    if (!IsBlank(t[0])) {
      if (!cards.AddHeadword(line, &problem)) failed = true;
    } else if (!cards.AddBody(t)) {
      problem = LineProblem(line.number, "card text before the first headword");
      failed = true;
    }
  }

  // The last line, also when empty, and the last card.
  void EndText() {
    if (lexer == Lexer::kComment || lexer == Lexer::kCommentBrace) {
      problem = LineProblem(commentLine, "a {{comment}} is not closed");
      failed = true;
      return;
    }
    if (lexer == Lexer::kBackslash) line.text += u'\\';
    if (lexer == Lexer::kBrace) line.text += u'{';
    EndLine();
    if (!failed && !cards.Finish(&problem)) failed = true;
  }

  static constexpr const char* kLoneSurrogate = "the text is not valid UTF-16 (a lone surrogate)";

  DslBook* book;
  Encoding encoding = Encoding::kUnknown;
  std::vector<std::uint8_t> head;   // the first bytes, until the encoding is known
  std::vector<std::uint8_t> carry;  // half a UTF-16 unit, or a UTF-8 sequence begun
  std::vector<std::uint8_t> work;   // UTF-8: carry and the piece
  std::u16string units;             // UTF-8: the piece decoded
  std::uint64_t offset = 0;         // UTF-8: of work[0] in the text
  std::uint64_t lineStart = 0;      // UTF-8: of the line's first byte
  std::size_t newlines = 0;         // decoded so far
  bool highPending = false;         // UTF-16: a high surrogate waits for its pair
  char16_t high = 0;
  std::size_t highLine = 0;
  std::string badEncoding;          // the first damage to the encoding
  bool nul = false;
  std::string nulProblem;

  Lexer lexer = Lexer::kText;
  DslLine line{u"", 1};
  std::size_t number = 1;           // of the next line break's line
  std::size_t commentLine = 0;
  bool header = true;
  CardReader cards;
  bool failed = false;              // a fault in the cards, in problem
  std::string problem;
};

DslReader::DslReader(DslBook* book) : state_(std::make_unique<State>(book)) {}

DslReader::~DslReader() = default;

void DslReader::Feed(const std::uint8_t* bytes, std::size_t n) {
  // Bounded pieces keep the UTF-8 work buffer small whatever the caller hands.
  constexpr std::size_t kPiece = std::size_t{1} << 16;
  while (n > 0) {
    const std::size_t take = std::min(n, kPiece);
    state_->Take(bytes, take);
    bytes += take;
    n -= take;
  }
}

int DslReader::Finish(std::string* problem) {
  State& s = *state_;
  if (s.encoding == State::Encoding::kUnknown) s.Decide();
  s.Decode(nullptr, 0, true);
  if (s.encoding == State::Encoding::kUtf16) {
    if (!s.carry.empty()) {
      s.badEncoding = LineProblem(s.newlines + 1, "the UTF-16 text ends in half a character");
    } else if (s.highPending && s.badEncoding.empty()) {
      s.badEncoding = LineProblem(s.highLine, State::kLoneSurrogate);
    }
  }
  if (!s.badEncoding.empty() || s.nul) {
    *s.book = DslBook{};
    *problem = !s.badEncoding.empty() ? s.badEncoding : s.nulProblem;
    return 0;
  }
  if (!s.failed) s.EndText();
  if (s.failed) {
    *problem = s.problem;
    return 0;
  }
  return 1;
}

int ReadDsl(const std::uint8_t* bytes, std::size_t n, DslBook* book, std::string* problem) {
  DslReader reader(book);
  reader.Feed(bytes, n);
  return reader.Finish(problem);
}


}  // namespace quill::import
