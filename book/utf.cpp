#include "book/utf.h"

#include <cstring>

namespace quill {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

void PutUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

void AppendUtf8(char32_t c, std::string* out) { PutUtf8(out, c); }

std::size_t Utf8SequenceLength(const char* text, std::size_t n) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char b = p[0];
  if (b < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3;
    if (b == 0xE0) low = 0xA0;   // no overlong forms
    if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (n < length || p[1] < low || p[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!IsContinuation(p[i])) return 0;
  }
  return length;
}

std::size_t WholeUtf8Length(const char* text, std::size_t n) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
    const unsigned char c = p[n - back];
    if (IsContinuation(c)) continue;
    const std::size_t extra = c >= 0xF0 && c <= 0xF4   ? 3
                              : c >= 0xE0 && c <= 0xEF ? 2
                              : c >= 0xC2 && c <= 0xDF ? 1
                                                       : 0;
    return extra >= back ? n - back : n;
  }
  return n;
}

void AppendUtf16(char32_t c, std::u16string* out) {
  if (c < 0x10000) {
    out->push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

int AppendUtf16(const char* text, std::size_t n, std::u16string* out,
                std::size_t* badOffset) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  std::size_t i = 0;
  while (i < n) {
    const unsigned char c = s[i];
    if (c < 0x80) {
      out->push_back(c);
      ++i;
      continue;
    }
    std::size_t extra = 0;
    char32_t value = 0;
    char32_t least = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      value = c & 0x1Fu;
      least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      value = c & 0x0Fu;
      least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      value = c & 0x07u;
      least = 0x10000;
    } else {
      *badOffset = i;
      return 0;
    }
    if (n - i <= extra) {
      *badOffset = i;
      return 0;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
      if (!IsContinuation(s[i + k])) {
        *badOffset = i;
        return 0;
      }
      value = (value << 6) | (s[i + k] & 0x3Fu);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
      *badOffset = i;
      return 0;
    }
    AppendUtf16(value, out);
    i += extra + 1;
  }
  return 1;
}

int Utf8ToUtf16(const std::string& text, std::u16string* out) {
  std::size_t bad = 0;
  out->clear();
  return AppendUtf16(text.data(), text.size(), out, &bad);
}

std::size_t AppendUtf8(const char16_t* text, std::size_t n, std::string* out) {
  std::size_t broken = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const char16_t u = text[i];
    if (u < 0xD800 || u > 0xDFFF) {
      PutUtf8(out, u);
    } else if (u <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      PutUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                       (static_cast<char32_t>(text[i + 1]) - 0xDC00));
      ++i;
    } else {
      PutUtf8(out, 0xFFFD);
      ++broken;
    }
  }
  return broken;
}

std::string ToUtf8(const std::u16string& text) {
  std::string out;
  AppendUtf8(text.data(), text.size(), &out);
  return out;
}

TextLine NextLine(const char* text, std::size_t n, std::size_t* p) {
  const std::size_t start = *p;
  const void* lf = std::memchr(text + start, '\n', n - start);
  const std::size_t next =
      lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) : n;
  std::size_t end = next;
  if (end > start && text[end - 1] == '\r') --end;
  *p = next + 1;
  return {start, end};
}

}  // namespace quill
