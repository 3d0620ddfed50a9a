// Transcriptions for the phonetic line: the pronouncing lexicon writes a
// word as syllables of ARPAbet phones (lower case, stress 1 or 0 per
// syllable); the glyph strip draws one ASCII character per phonetic symbol.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quill::books {

struct ArpabetGlyphs {
  const char* phone;     // as the lexicon writes it
  const char* glyphs;    // one character per symbol: a diphthong or affricate takes two
  const char* stressed;  // in a stressed syllable, where that differs (er: ɝ, else ɚ)
};

// The one table from phones to glyph characters.
// clang-format off
inline constexpr std::array<ArpabetGlyphs, 40> kArpabetGlyphs = {{
    {"aa", "1", nullptr},   // ɑ
    {"ae", "a", nullptr},   // æ
    {"ah", "7", nullptr},   // ʌ
    {"ao", "3", nullptr},   // ɔ
    {"aw", "0U", nullptr},  // aʊ
    {"ax", "5", nullptr},   // ə
    {"ay", "0I", nullptr},  // aɪ
    {"b", "b", nullptr},
    {"ch", "tB", nullptr},  // tʃ
    {"d", "d", nullptr},
    {"dh", "E", nullptr},   // ð
    {"eh", "9", nullptr},   // ɛ
    {"er", "6", "4"},       // ɚ, stressed ɝ
    {"ey", "8I", nullptr},  // eɪ
    {"f", "f", nullptr},
    {"g", "g", nullptr},
    {"hh", "h", nullptr},
    {"ih", "I", nullptr},   // ɪ
    {"iy", "i", nullptr},   // i
    {"jh", "dC", nullptr},  // dʒ
    {"k", "k", nullptr},
    {"l", "l", nullptr},
    {"m", "m", nullptr},
    {"n", "n", nullptr},
    {"ng", "A", nullptr},   // ŋ
    {"ow", "OU", nullptr},  // oʊ
    {"oy", "3I", nullptr},  // ɔɪ
    {"p", "p", nullptr},
    {"r", "r", nullptr},
    {"s", "s", nullptr},
    {"sh", "B", nullptr},   // ʃ
    {"t", "t", nullptr},
    {"th", "D", nullptr},   // θ
    {"uh", "U", nullptr},   // ʊ
    {"uw", "2", nullptr},   // u
    {"v", "v", nullptr},
    {"w", "w", nullptr},
    {"y", "j", nullptr},
    {"z", "z", nullptr},
    {"zh", "C", nullptr},   // ʒ
}};
// clang-format on

// Written before each stressed syllable of a word of two or more syllables.
inline constexpr char kStressMark = '\'';

// The reader takes at most 49 units of a bracketed first line; a longer
// transcription would lose its end, so such a word gets none.
inline constexpr std::size_t kMaxTranscriptionChars = 47;

struct Syllable {
  std::vector<std::string> phones;
  bool stressed = false;
};

// The glyph characters for one phone, or nullptr for a phone the table
// does not know.
const char* GlyphsForPhone(std::string_view phone, bool stressed);

// The transcription of a word, without brackets. Returns 1, or 0 (and
// *out empty) when a phone is unknown, there are no phones, or the result
// is longer than kMaxTranscriptionChars.
int Transcribe(const std::vector<Syllable>& syllables, std::string* out);

}  // namespace quill::books
