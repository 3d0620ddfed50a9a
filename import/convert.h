// Turning a dictionary source (a word list, a dictd .index, a StarDict .ifo,
// a DSL .dsl or .dsl.dz) into a book file: what `xqb build` does and what
// the program does when a user opens a dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "import/console.h"

namespace quill::xqb {

struct ConvertRequest {
  std::string input;   // UTF-8 path of the source
  std::string output;  // UTF-8 path of the book to write
  // The book's title; the source's own name, else its file stem, when empty.
  std::u16string title;
  bool haveTitle = false;
  std::int32_t lineSeparator = 0x0A;
  // Continue a content too long for one entry in entries of the same key.
  bool split = true;
  // Cut what is still too long for a book (a key, a title; a content when
  // not split) instead of refusing the source.
  bool cut = false;
  // How far reading the source has come, now and then, in the source's own
  // units (see ReadProgress); the reading comes before the book is made.
  std::function<void(std::uint64_t done, std::uint64_t total)> reading;
  // Entries laid out so far and in all, now and then while the book is made.
  std::function<void(std::size_t done, std::size_t total)> progress;
  // Asked between the steps and while the book is made: true stops the
  // conversion, which then writes nothing.
  std::function<bool()> cancelled;
};

// A key as messages show it: UTF-8 on one line, control characters
// escaped, long keys shortened visibly.
std::string ShownKey(const std::u16string& key);

// What a conversion that stopped on request reports on console.err.
inline constexpr const char* kConversionCancelled = "the conversion was cancelled";

// Reads the source and writes the book, through a scratch file beside the
// output, so that a failed or cancelled conversion leaves no book behind.
// Returns kExitOk, or kExitFailure after one line on console.err naming the
// file and the entry; notes of what was left out or cut go to console.err
// with an "xqb: " prefix. console.clock, when set, paces progress notes.
int ConvertToBook(const ConvertRequest& request, const Console& console);

}  // namespace quill::xqb
