#include "books/cmu_lexicon.h"

#include <string_view>

namespace quill::books {

namespace {

// Reads one line of the lexicon, an s-expression of fixed shape.
class LineParser {
 public:
  explicit LineParser(std::string_view text) : text_(text) {}

  int Parse(CmuWord* word) {
    if (!Take('(') || !Quoted(&word->word) || !Atom(&word->partOfSpeech) || !Take('(')) return 0;
    while (!Peek(')')) {
      Syllable syllable;
      if (!Take('(') || !Take('(')) return 0;
      while (!Peek(')')) {
        std::string phone;
        if (!Atom(&phone)) return 0;
        syllable.phones.push_back(std::move(phone));
      }
      std::string stress;
      if (!Take(')') || !Atom(&stress) || !Take(')')) return 0;
      if (syllable.phones.empty() || stress.size() != 1 || stress[0] < '0' || stress[0] > '2') {
        return 0;
      }
      syllable.stressed = stress[0] != '0';
      word->syllables.push_back(std::move(syllable));
    }
    if (!Take(')') || !Take(')')) return 0;
    SkipSpace();
    return at_ == text_.size() && !word->syllables.empty() ? 1 : 0;
  }

 private:
  void SkipSpace() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
  }
  bool Peek(char c) {
    SkipSpace();
    return at_ < text_.size() && text_[at_] == c;
  }
  bool Take(char c) {
    if (!Peek(c)) return false;
    ++at_;
    return true;
  }
  bool Quoted(std::string* out) {
    if (!Take('"')) return false;
    const std::size_t end = text_.find('"', at_);
    if (end == std::string_view::npos || end == at_) return false;
    out->assign(text_.substr(at_, end - at_));
    for (const char c : *out) {
      if (static_cast<unsigned char>(c) < 0x20) return false;
    }
    at_ = end + 1;
    return true;
  }
  // A run of lower-case letters, digits and underscores.
  bool Atom(std::string* out) {
    SkipSpace();
    const std::size_t start = at_;
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) break;
      ++at_;
    }
    if (at_ == start) return false;
    out->assign(text_.substr(start, at_ - start));
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

int ReadCmuLexicon(const std::uint8_t* text, std::size_t n, std::vector<CmuWord>* words,
                   std::string* problem) {
  const std::string_view all(reinterpret_cast<const char*>(text), n);
  std::size_t start = 0;
  for (std::size_t line = 1; start < n; ++line) {
    std::size_t end = all.find('\n', start);
    if (end == std::string_view::npos) end = n;
    std::string_view body = all.substr(start, end - start);
    start = end + 1;
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    if (body.empty() || body[0] == ';' || (line == 1 && body == "MNCL")) continue;
    CmuWord word;
    word.line = line;
    if (!LineParser(body).Parse(&word)) {
      *problem = "line " + std::to_string(line) +
                 ": not a lexicon entry of the form (\"word\" pos (((phones) stress) ...))";
      return 0;
    }
    words->push_back(std::move(word));
  }
  return 1;
}

}  // namespace quill::books
