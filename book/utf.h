// UTF-8, the tool's text in and out, and UTF-16, the book's text.
#pragma once

#include <cstddef>
#include <string>

namespace quill {

// Decodes strict UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF) from text[0, n) onto the end of *out. Returns 1, or 0 with the
// offset of the first bad byte in *badOffset and *out holding what came
// before it.
int AppendUtf16(const char* text, std::size_t n, std::u16string* out,
                std::size_t* badOffset);

// The same for a whole string: 1, or 0 when it is not valid UTF-8.
int Utf8ToUtf16(const std::string& text, std::u16string* out);

// Appends code point c (at most U+10FFFF, no surrogate) to out as UTF-16.
void AppendUtf16(char32_t c, std::u16string* out);

// The length of the well-formed UTF-8 sequence that text[0, n) starts with
// (strict, as AppendUtf16 reads it; a NUL is one), or 0 when it starts with
// none. n must be at least 1.
std::size_t Utf8SequenceLength(const char* text, std::size_t n);

// How much of text[0, n), a piece of a longer text, can be decoded now: all
// of it, less a last sequence whose lead byte asks for more bytes than the
// piece still holds, which waits for the next piece.
std::size_t WholeUtf8Length(const char* text, std::size_t n);

// Appends code point c (at most U+10FFFF, no surrogate) to out as UTF-8.
void AppendUtf8(char32_t c, std::string* out);

// Encodes UTF-16 as UTF-8 onto the end of *out. A surrogate without its
// partner becomes U+FFFD; the result says how many did (0 when the text was
// whole).
std::size_t AppendUtf8(const char16_t* text, std::size_t n, std::string* out);

std::string ToUtf8(const std::u16string& text);

// One line of a text file: [start, end) of the text, without its "\n" or
// "\r\n".
struct TextLine {
  std::size_t start;
  std::size_t end;
};

// The line of text[0, n) that starts at *p (which must be below n); moves
// *p past the line's end, to n + 1 after a last line without one.
TextLine NextLine(const char* text, std::size_t n, std::size_t* p);

}  // namespace quill
