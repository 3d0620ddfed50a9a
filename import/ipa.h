// Transcriptions written in IPA, as dictionaries from elsewhere give them,
// mapped onto the phonetic strip's alphabet: one ASCII character a cell
// ("I" for ɪ, "5" for ə, "A" for ŋ, "'" for primary stress, ...), the
// alphabet the shelf's own books are written in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill::import {

// The characters the strip has a cell for, brackets and ticks included: a
// bracketed first line of these alone is drawn whole.
inline constexpr std::u16string_view kStripAlphabet = u"[]iIUOpbtdkfvszmnhlrwj'.gLMNa0123456789ABCDE";

// Whether a content's first line is one the strip draws whole: "[", the
// strip's characters, "]".
bool IsStripLine(std::u16string_view line);

// The longest bracketed first line the reader draws, brackets included.
inline constexpr std::size_t kMostStripUnits = 49;

// The bracketed line ("[h0Us]") that draws ipa on the strip: every symbol
// to the cell that draws it, a diphthong or affricate as its two cells
// (a tie bar between them dropped), stress marks to the raised and lowered
// ticks, the length mark dropped after a vowel whose cell already stands
// for the long vowel (iː, uː, ɑː, ɔː, ɜː). One pair of slashes or brackets
// around ipa is taken off first. False, with *line untouched, when a
// symbol has no cell (ɒ, ɹ, ʔ, a tone, a space, a letter of another
// alphabet), ipa is blank, or the line would be longer than
// kMostStripUnits.
bool IpaToStrip(std::u16string_view ipa, std::u16string* line);

// How many transcriptions an import drew on the strip and kept as text.
struct TranscriptionCounts {
  std::size_t mapped = 0;
  std::size_t text = 0;
};

// The note a build prints of them; empty when there were none.
std::string TranscriptionNote(const std::string& path, const TranscriptionCounts& counts);

}  // namespace quill::import
