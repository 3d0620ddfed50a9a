#include <string>

#include "fuzz/fuzz_entries.h"
#include "import/markup.h"

namespace quill::fuzz {

namespace {

// What every readable text holds to: no white space at a line's end, no
// blank line at either end or two in a row, no carriage return.
bool IsTidy(const std::u16string& text) {
  if (text.find(u'\r') != std::u16string::npos || text.find(u"\n\n\n") != std::u16string::npos) {
    return false;
  }
  if (!text.empty() && (text.front() == u'\n' || text.back() == u'\n')) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool lineEnd = i + 1 == text.size() || text[i + 1] == u'\n';
    if (lineEnd && (text[i] == u' ' || text[i] == u'\t')) return false;
  }
  return true;
}

}  // namespace

int ConvertMarkupOne(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the markup; the rest is UTF-16LE text.
  if (size < 1) return 0;
  std::u16string text;
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const int kind = data[0] % 6;
  const std::u16string readable =
      kind == 5 ? import::DslToText(text, u"~head~")
                : import::MarkupToText(static_cast<import::Markup>(kind), text);
  if (!IsTidy(readable)) __builtin_trap();
  std::u16string content = readable;
  import::KeepFirstLinePlain(&content);
  if (content.find(u'[') <= 5) __builtin_trap();
  return 0;
}

}  // namespace quill::fuzz

#ifdef QUILL_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return quill::fuzz::ConvertMarkupOne(data, size);
}
#endif
