#include "shell/word_from_clipboard.h"

namespace quill {

namespace {

bool IsSpace(char16_t unit) {
  return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f' ||
         unit == u'\v' || unit == u'\u00a0' || unit == u'\u3000' || unit == u'\u2028' ||
         unit == u'\u2029';
}

bool IsLineEnd(char16_t unit) {
  return unit == u'\r' || unit == u'\n' || unit == u'\u2028' || unit == u'\u2029';
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

std::u16string WordFromCopiedText(const std::u16string& text, std::size_t maxUnits) {
  std::size_t begin = 0;
  while (begin < text.size() && IsSpace(text[begin])) ++begin;
  std::size_t end = begin;
  while (end < text.size() && !IsLineEnd(text[end]) && text[end] != 0) ++end;
  while (end > begin && IsSpace(text[end - 1])) --end;
  if (end - begin > maxUnits) {
    end = begin + maxUnits;
    if (end > begin && IsHighSurrogate(text[end - 1])) --end;
  }
  return text.substr(begin, end - begin);
}

std::optional<std::u16string> DoubleCopy::Changed(std::uint32_t now,
                                                 const std::optional<std::u16string>& text) {
  const bool second = text && last_ && *text == *last_ &&
                      static_cast<std::uint32_t>(now - lastTime_) <= kDoubleCopyMilliseconds;
  if (second) {
    last_.reset();
    return text;
  }
  last_ = text;
  lastTime_ = now;
  return std::nullopt;
}

}  // namespace quill
