// The cells of the phonetic glyph bitmap and the characters they stand for.
// Books write transcriptions with plain ASCII, one character per phonetic
// symbol; each is drawn with the first cell whose code matches it.
#pragma once

#include <array>
#include <cstdint>

namespace quill {

inline constexpr int kGlyphCellCount = 45;
inline constexpr int kGlyphWidth = 7;
inline constexpr int kGlyphHeight = 10;
// Cell k starts at column kGlyphPitch * k + 1; the columns in between are
// separator lines that are never drawn.
inline constexpr int kGlyphPitch = 9;
inline constexpr int kGlyphBitmapWidth = kGlyphPitch * kGlyphCellCount + 1;
// Glyphs stand this far apart on screen: the glyph and one blank column.
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;

// Cell 0 (the red cross) has code 0, which never occurs inside a
// transcription, so every unknown character falls back to it.
inline constexpr std::array<std::int32_t, kGlyphCellCount> PhoneticGlyphCodes = {
    0x00, 0x5B, 0x5D, 0x69, 0x49, 0x55, 0x4F, 0x70, 0x62, 0x74, 0x64, 0x6B,
    0x66, 0x76, 0x73, 0x7A, 0x6D, 0x6E, 0x68, 0x6C, 0x72, 0x77, 0x6A, 0x27,
    0x2E, 0x67, 0x4C, 0x4D, 0x4E, 0x61, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35,
    0x36, 0x37, 0x38, 0x39, 0x41, 0x42, 0x43, 0x44, 0x45};

// The cell that draws code: the first one whose code equals it, else 0.
constexpr int GlyphIndex(std::int32_t code) {
  for (int cell = 0; cell < kGlyphCellCount; ++cell) {
    if (PhoneticGlyphCodes[static_cast<std::size_t>(cell)] == code) return cell;
  }
  return 0;
}

// The bitmap column where a cell's pixels start.
constexpr int GlyphColumn(int cell) { return kGlyphPitch * cell + 1; }

}  // namespace quill
