#include "books/arpabet.h"

namespace quill::books {

const char* GlyphsForPhone(std::string_view phone, bool stressed) {
  for (const ArpabetGlyphs& row : kArpabetGlyphs) {
    if (phone != row.phone) continue;
    return stressed && row.stressed != nullptr ? row.stressed : row.glyphs;
  }
  return nullptr;
}

int Transcribe(const std::vector<Syllable>& syllables, std::string* out) {
  out->clear();
  const bool markStress = syllables.size() > 1;
  for (const Syllable& syllable : syllables) {
    if (markStress && syllable.stressed) *out += kStressMark;
    for (const std::string& phone : syllable.phones) {
      const char* glyphs = GlyphsForPhone(phone, syllable.stressed);
      if (glyphs == nullptr) {
        out->clear();
        return 0;
      }
      *out += glyphs;
    }
  }
  const bool ok = !out->empty() && out->size() <= kMaxTranscriptionChars &&
                  out->find_first_not_of(kStressMark) != std::string::npos;
  if (!ok) out->clear();
  return ok ? 1 : 0;
}

}  // namespace quill::books
