// The word-list input of xqb build: UTF-8 text, one entry a line, the key,
// a tab, the content. In the content "\n" stands for a line break, "\t"
// for a tab, "\r" for a carriage return and "\\" for a backslash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "book/book_builder.h"

namespace quill::import {

// Reads entries from text[0, n) in the order of their lines, with line
// breaks in contents as U+000A, and the number of the line each came from
// (from 1). A byte-order mark at the start is skipped, a CR before a line's
// LF dropped, empty lines skipped. Returns 1, or 0 with a message naming the
// line in *problem: a line without a tab, an unknown or unfinished escape,
// text that is not valid UTF-8, a NUL character.
int ReadTsv(const std::uint8_t* text, std::size_t n, std::vector<BookEntry>* entries,
            std::vector<std::size_t>* lines, std::string* problem);

// The content as ReadTsv reads it back: line breaks as "\n", tabs, carriage
// returns and backslashes escaped, appended as UTF-8 to *out. A U+000A in
// the content is a line break. Returns 0 when the text holds what a line
// cannot give back (a NUL, a surrogate without its partner, which becomes
// U+FFFD), else 1.
int AppendEscapedContent(const char16_t* text, std::size_t units, std::string* out);

}  // namespace quill::import
