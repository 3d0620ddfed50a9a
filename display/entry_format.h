// The text an entry shows in the content pane: its bracketed phonetic first
// line taken out, line separators turned into CR LF, a closing CR LF. UTF-16
// in, UTF-16 out; no platform calls.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill {

// The phonetic text holds at most this many units and a zero unit.
inline constexpr std::size_t kPhoneticUnits = 50;
inline constexpr std::size_t kMaxPhoneticChars = kPhoneticUnits - 1;
// A transcription counts only when its "[" stands at one of these indexes.
inline constexpr std::size_t kLastPhoneticStart = 5;
// Room the display text has above the book's text buffer, for the units
// that CR LF pairs add.
inline constexpr std::size_t kDisplayExtraUnits = 1024;

// What the pane shows for a missing entry.
inline constexpr char16_t kMissingEntryText[] = u"\r\n <Not Found!>";

// The unit that splits a content into lines for a book's lineSeparator, or
// -1 when none can: only a low byte from 0x01 to 0x7F names a separator.
int SeparatorUnit(std::int32_t lineSeparator);

// Copies content (zero-terminated) to destination, which holds limit units,
// turning each separator into CR LF and ending with CR LF and a zero unit.
// Copying stops before the unit whose output would not leave room for that
// ending. Returns the number of units written before the zero unit; a limit
// under 3 leaves room for nothing but the zero unit (0 writes nothing).
std::size_t FormatPlain(const char16_t* content, char16_t* destination, std::size_t limit,
                        std::int32_t separator);

// Copies the bracketed transcription that opens content (its first "[" at
// index 0 to 5, through the next "]", at most 49 units) into phonetic, which
// holds kPhoneticUnits units. Returns the units copied plus one for the
// zero unit, or 0 (phonetic untouched) when there is no such transcription.
std::size_t ExtractPhonetic(const char16_t* content, char16_t* phonetic);

// Like FormatPlain, but a content with a transcription loses its whole first
// line to phonetic instead. Returns the units written before the zero unit.
std::size_t FormatAfterPhonetic(const char16_t* content, char16_t* destination,
                                char16_t* phonetic, std::size_t limit, std::int32_t separator);

// The display text of an entry: the formatted content, or CR LF and
// " <Not Found!>" when content is null. phonetic (kPhoneticUnits units) is
// zeroed first. Returns the units written before the zero unit.
std::size_t BuildDisplayText(const char16_t* content, char16_t* destination,
                             char16_t* phonetic, std::size_t limit, std::int32_t separator);

// The display text's size for a book's textBufferUnits: textBufferUnits +
// 1024, kept within what the largest stored content can fill so that a
// damaged header cannot ask for an absurd buffer.
std::size_t DisplayLimit(std::int32_t textBufferUnits);

// The content buffer's size for a book's textBufferUnits, likewise bounded,
// and never 0.
std::size_t ContentCapacity(std::int32_t textBufferUnits);

}  // namespace quill
