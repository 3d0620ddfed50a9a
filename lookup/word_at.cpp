#include "lookup/word_at.h"

#include "lookup/code_points.h"

namespace quill::lookup {

namespace {

// The longest key looked for in a script without spaces, in code points.
constexpr std::size_t kLongestUnspacedKey = 24;

enum class Kind { kOther, kLetter, kUnspaced, kJoiner };

Kind KindOf(char32_t c) {
  if ((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) {
    return Kind::kLetter;
  }
  if (c == u'\'' || c == u'-' || c == 0x2019 || c == 0x2010 || c == 0x2011) return Kind::kJoiner;
  if (c < 0xC0) return (c == 0xAA || c == 0xB5 || c == 0xBA) ? Kind::kLetter : Kind::kOther;
  if (c == 0xD7 || c == 0xF7) return Kind::kOther;
  // Scripts written without spaces between words.
  if ((c >= 0x0E00 && c <= 0x0EFF) ||  // Thai, Lao
      (c >= 0x1000 && c <= 0x109F) ||  // Myanmar
      (c >= 0x1780 && c <= 0x17FF) ||  // Khmer
      (c >= 0x3040 && c <= 0x30FF && c != 0x30FB) ||  // kana, not the middle dot
      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF)) {
    return Kind::kUnspaced;
  }
  // Punctuation, symbols and spaces of the other blocks.
  if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) || (c >= 0xE000 && c <= 0xF8FF) ||
      (c >= 0xFE10 && c <= 0xFE6F) || (c >= 0xFF00 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
      (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65) || c == 0xFEFF || c == 0x037E ||
      c == 0x0387 || c == 0x055C || c == 0x055D || c == 0x0589 || c == 0x060C || c == 0x061B ||
      c == 0x061F || c == 0x06D4 || (c >= 0xD800 && c <= 0xDFFF) || c == 0xFFFD) {
    return Kind::kOther;
  }
  return Kind::kLetter;
}

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The code point that starts at unit at, and how many units it takes.
char32_t PointAt(std::u16string_view text, std::size_t at, std::size_t* units) {
  std::size_t next = at;
  const char32_t c = NextCodePoint(text, &next);
  *units = next - at;
  return c;
}

// The start of the code point that ends just before unit at (at > 0).
std::size_t PointBefore(std::u16string_view text, std::size_t at) {
  if (at >= 2 && IsLow(text[at - 1]) && IsHigh(text[at - 2])) return at - 2;
  return at - 1;
}

Kind KindAt(std::u16string_view text, std::size_t at) {
  std::size_t units = 0;
  return KindOf(PointAt(text, at, &units));
}

}  // namespace

WordSpan WordAt(std::u16string_view text, std::size_t at, const KeyTest& isKey) {
  if (at > text.size()) at = text.size();
  // The low half of a pair belongs to the character its high half starts.
  if (at > 0 && at < text.size() && IsLow(text[at]) && IsHigh(text[at - 1])) --at;
  // A click just past a word's end (at the punctuation or space after it)
  // still means that word.
  if (at == text.size() || (KindAt(text, at) != Kind::kLetter && KindAt(text, at) != Kind::kUnspaced)) {
    if (at == 0) return {};
    const std::size_t before = PointBefore(text, at);
    const Kind kind = KindAt(text, before);
    if (kind != Kind::kLetter && kind != Kind::kUnspaced) return {};
    at = before;
  }

  if (KindAt(text, at) == Kind::kUnspaced) {
    std::size_t end = at;
    std::size_t points = 0;
    std::size_t best = 0;
    while (end < text.size() && points < kLongestUnspacedKey && KindAt(text, end) == Kind::kUnspaced) {
      std::size_t units = 0;
      PointAt(text, end, &units);
      end += units;
      ++points;
      if (points == 1) best = end;  // the character alone, failing a key
      if (isKey && isKey(text.substr(at, end - at))) best = end;
    }
    return {at, best};
  }

  // Letters and digits, with joiners that stand between two of them.
  std::size_t begin = at;
  while (begin > 0) {
    const std::size_t before = PointBefore(text, begin);
    const Kind kind = KindAt(text, before);
    if (kind == Kind::kLetter) {
      begin = before;
    } else if (kind == Kind::kJoiner && before > 0 && KindAt(text, PointBefore(text, before)) == Kind::kLetter) {
      begin = before;
    } else {
      break;
    }
  }
  std::size_t end = at;
  while (end < text.size()) {
    std::size_t units = 0;
    const Kind kind = KindOf(PointAt(text, end, &units));
    if (kind == Kind::kLetter) {
      end += units;
    } else if (kind == Kind::kJoiner && end + units < text.size() && KindAt(text, end + units) == Kind::kLetter) {
      end += units;
    } else {
      break;
    }
  }
  return {begin, end};
}

}  // namespace quill::lookup
