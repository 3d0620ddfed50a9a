#include "import/ipa.h"

namespace quill::import {

namespace {

struct StripSymbol {
  char16_t ipa;
  const char* cells;
  bool long_;  // its cell stands for the long vowel too: a length mark after it goes
};

// One IPA symbol a row; the same cells the shelf's ARPAbet table writes.
// clang-format off
constexpr StripSymbol kStripSymbols[] = {
    {u'i', "i", true},     {u'\u026A', "I", false},  // ɪ
    {u'\u028A', "U", false},                        // ʊ
    {u'u', "2", true},     {u'o', "O", false},
    {u'\u0254', "3", true},                         // ɔ
    {u'\u0251', "1", true},                         // ɑ
    {u'a', "0", false},    {u'\u00E6', "a", false},  // æ
    {u'\u028C', "7", false},                        // ʌ
    {u'\u0259', "5", false},                        // ə
    {u'\u025A', "6", false},                        // ɚ
    {u'\u025D', "4", true},                         // ɝ
    {u'\u025C', "4", true},                         // ɜ
    {u'e', "8", false},    {u'\u025B', "9", false},  // ɛ
    {u'p', "p", false},    {u'b', "b", false},    {u't', "t", false},   {u'd', "d", false},
    {u'k', "k", false},    {u'g', "g", false},    {u'\u0261', "g", false},  // ɡ
    {u'f', "f", false},    {u'v', "v", false},    {u's', "s", false},   {u'z', "z", false},
    {u'm', "m", false},    {u'n', "n", false},    {u'h', "h", false},   {u'l', "l", false},
    {u'r', "r", false},    {u'w', "w", false},    {u'j', "j", false},
    {u'\u014B', "A", false},                        // ŋ
    {u'\u0283', "B", false},                        // ʃ
    {u'\u0292', "C", false},                        // ʒ
    {u'\u03B8', "D", false},                        // θ
    {u'\u00F0', "E", false},                        // ð
    {u'\u02A7', "tB", false},                       // ʧ
    {u'\u02A4', "dC", false},                       // ʤ
    {u'\u02C8', "'", false},                        // ˈ primary stress
    {u'\'', "'", false},
    {u'\u02CC', ".", false},                        // ˌ secondary stress
};
// clang-format on

const StripSymbol* SymbolFor(char16_t c) {
  for (const StripSymbol& s : kStripSymbols) {
    if (s.ipa == c) return &s;
  }
  return nullptr;
}

bool IsTieBar(char16_t c) { return c == 0x0361 || c == 0x035C; }
bool IsLengthMark(char16_t c) { return c == 0x02D0 || c == u':'; }

}  // namespace

bool IpaToStrip(std::u16string_view ipa, std::u16string* line) {
  while (!ipa.empty() && (ipa.front() == u' ' || ipa.front() == u'\t')) ipa.remove_prefix(1);
  while (!ipa.empty() && (ipa.back() == u' ' || ipa.back() == u'\t')) ipa.remove_suffix(1);
  if (ipa.size() >= 2 && ((ipa.front() == u'/' && ipa.back() == u'/') ||
                          (ipa.front() == u'[' && ipa.back() == u']'))) {
    ipa = ipa.substr(1, ipa.size() - 2);
  }
  std::u16string mapped = u"[";
  const StripSymbol* previous = nullptr;
  for (const char16_t c : ipa) {
    if (IsTieBar(c)) continue;
    if (IsLengthMark(c)) {
      if (previous == nullptr || !previous->long_) return false;
      previous = nullptr;  // one length mark a vowel
      continue;
    }
    const StripSymbol* symbol = SymbolFor(c);
    if (symbol == nullptr) return false;
    for (const char* cell = symbol->cells; *cell != 0; ++cell) mapped += static_cast<char16_t>(*cell);
    previous = symbol;
  }
  mapped += u']';
  if (mapped.size() == 2 || mapped.size() > kMostStripUnits) return false;
  *line = std::move(mapped);
  return true;
}

bool IsStripLine(std::u16string_view line) {
  if (line.size() < 3 || line.size() > kMostStripUnits || line.front() != u'[' || line.back() != u']') {
    return false;
  }
  for (const char16_t c : line.substr(1, line.size() - 2)) {
    if (c == u'[' || c == u']' || kStripAlphabet.find(c) == std::u16string_view::npos) return false;
  }
  return true;
}

std::string TranscriptionNote(const std::string& path, const TranscriptionCounts& counts) {
  if (counts.mapped == 0 && counts.text == 0) return {};
  return path + ": " + std::to_string(counts.mapped) +
         (counts.mapped == 1 ? " transcription" : " transcriptions") +
         " drawn on the phonetic strip, " + std::to_string(counts.text) +
         " kept as text";
}

}  // namespace quill::import
