#include "import/dsl_reader.h"

#include <algorithm>

#include "import/markup.h"
#include "import/utf.h"

namespace quill::xqb {

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

std::size_t LineOf(const std::uint8_t* bytes, std::size_t end, std::size_t unitBytes) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < end; i += unitBytes) {
    if (bytes[i] == '\n' && (unitBytes == 1 || bytes[i + 1] == 0)) ++line;
  }
  return line;
}

int DecodeUtf16(const std::uint8_t* bytes, std::size_t n, std::u16string* text,
                std::string* problem) {
  if (n % 2 != 0) {
    *problem = LineProblem(LineOf(bytes, n - 1, 2), "the UTF-16 text ends in half a character");
    return 0;
  }
  text->resize(n / 2);
  for (std::size_t i = 0; i < text->size(); ++i) {
    (*text)[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  for (std::size_t i = 0; i < text->size(); ++i) {
    const char16_t u = (*text)[i];
    const bool high = u >= 0xD800 && u <= 0xDBFF;
    const bool lowNext = i + 1 < text->size() && (*text)[i + 1] >= 0xDC00 && (*text)[i + 1] <= 0xDFFF;
    if (high && lowNext) {
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      *problem = LineProblem(LineOf(bytes, 2 * i, 2), "the text is not valid UTF-16 (a lone surrogate)");
      return 0;
    }
  }
  return 1;
}

// The text as UTF-16: UTF-16LE after its byte-order mark or when its
// second byte is 0 (an ASCII first character), else UTF-8.
int Decode(const std::uint8_t* bytes, std::size_t n, std::u16string* text, std::string* problem) {
  if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    if (!DecodeUtf16(bytes + 2, n - 2, text, problem)) return 0;
  } else if (n >= 2 && bytes[0] != 0 && bytes[1] == 0) {
    if (!DecodeUtf16(bytes, n, text, problem)) return 0;
  } else {
    const std::size_t skip = n >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    std::size_t bad = 0;
    if (!AppendUtf16(reinterpret_cast<const char*>(bytes + skip), n - skip, text, &bad)) {
      std::size_t lineStart = skip + bad;
      while (lineStart > skip && bytes[lineStart - 1] != '\n') --lineStart;
      *problem = LineProblem(LineOf(bytes, skip + bad, 1),
                             "the text is not valid UTF-8 (byte " +
                                 std::to_string(skip + bad - lineStart + 1) + " of the line)");
      return 0;
    }
  }
  const std::size_t nul = text->find(u'\0');
  if (nul != std::u16string::npos) {
    const auto newlines = std::count(text->begin(), text->begin() + static_cast<std::ptrdiff_t>(nul), u'\n');
    *problem = LineProblem(static_cast<std::size_t>(newlines) + 1, "the text holds a NUL character");
    return 0;
  }
  return 1;
}

// The text's lines one at a time, its {{comments}} taken out: the whole
// text is not held twice.
class LineSplitter {
 public:
  explicit LineSplitter(const std::u16string& text) : text_(text) {}

  // The next line into *line: 1, 0 after the last, -1 with the reason in
  // *problem.
  int Next(DslLine* line, std::string* problem) {
    if (done_) return 0;
    line->text.clear();
    line->number = number_;
    for (; p_ < text_.size(); ++p_) {
      const char16_t c = text_[p_];
      if (c == u'\\' && p_ + 1 < text_.size() && text_[p_ + 1] != u'\n') {
        line->text += c;
        line->text += text_[++p_];
      } else if (c == u'{' && p_ + 1 < text_.size() && text_[p_ + 1] == u'{') {
        const std::size_t close = text_.find(u"}}", p_ + 2);
        if (close == std::u16string::npos) {
          *problem = LineProblem(number_, "a {{comment}} is not closed");
          return -1;
        }
        number_ += static_cast<std::size_t>(
            std::count(text_.begin() + static_cast<std::ptrdiff_t>(p_),
                       text_.begin() + static_cast<std::ptrdiff_t>(close), u'\n'));
        p_ = close + 1;
      } else if (c == u'\n') {
        ++p_;
        ++number_;
        if (!line->text.empty() && line->text.back() == u'\r') line->text.pop_back();
        return 1;
      } else {
        line->text += c;
      }
    }
    // The last line, also when empty.
    done_ = true;
    if (!line->text.empty() && line->text.back() == u'\r') line->text.pop_back();
    return 1;
  }

 private:
  const std::u16string& text_;
  std::size_t p_ = 0;
  std::size_t number_ = 1;
  bool done_ = false;
};

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
    std::u16string content = DslToText(body_, keys[0][0]);
    KeepFirstLinePlain(&content);
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

int ReadDsl(const std::uint8_t* bytes, std::size_t n, DslBook* book, std::string* problem) {
  *book = DslBook{};
  std::u16string text;
  if (!Decode(bytes, n, &text, problem)) return 0;
  LineSplitter lines(text);
  CardReader cards(book);
  bool header = true;
  DslLine line;
  for (;;) {
    const int got = lines.Next(&line, problem);
    if (got < 0) return 0;
    if (got == 0) break;
    const std::u16string& t = line.text;
    if (header && !t.empty() && t[0] == u'#') {
      ReadDirective(t, book);
      continue;
    }
    if (t.empty()) {
      if (!cards.Finish(problem)) return 0;
      continue;
    }
    if (t.find_first_not_of(u" \t") == std::u16string::npos) {
      cards.AddBlank();
      continue;
    }
    header = false;
    if (!IsBlank(t[0])) {
      if (!cards.AddHeadword(line, problem)) return 0;
    } else if (!cards.AddBody(t)) {
      *problem = LineProblem(line.number, "card text before the first headword");
      return 0;
    }
  }
  return cards.Finish(problem);
}

}  // namespace quill::xqb
