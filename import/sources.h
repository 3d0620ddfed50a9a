// The inputs of xqb build, told apart by the file's name: a StarDict
// NAME.ifo, a DSL NAME.dsl or NAME.dsl.dz, a dictd NAME.index, or else a
// word list.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "book/book_builder.h"

namespace quill::import {

// Where an entry came from, for messages: one of the source's places (a
// file and what it counts, "words.tsv: line ") and the number there.
struct Origin {
  std::uint32_t place;
  std::size_t number;
};

struct Source {
  std::vector<std::string> places;
  std::vector<BookEntry> entries;  // in the input's order
  std::vector<Origin> origins;     // one per entry
  std::u16string title;            // the dictionary's own name, if it gives one
  std::vector<std::string> notes;  // what a finished build tells: parts left out
};

// How far reading has come, told now and then: done of total in the
// source's own units (a StarDict's words, a DSL file's bytes; a word list
// or dictd source, read in a moment, tells nothing). Returning false stops
// the reading.
using ReadProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// Reads the input and the files beside it that belong to it. Returns 1, or
// 0 with one line in *failure naming the file and the line, word or offset;
// or, when progress asked to stop, 0 with *failure left empty.
int ReadSource(const std::string& input, Source* source, std::string* failure,
               const ReadProgress& progress = nullptr);

// The endings of the dictionary files ReadSource reads as a whole
// dictionary, lower case: ".ifo", ".dsl", ".dsl.dz", ".index", ".txt".
// Any other file is read as a word list too.
const std::vector<std::string>& DictionaryEndings();

// True when path ends with one of DictionaryEndings, in any ASCII case.
bool IsDictionaryPath(const std::string& path);

// The input's name without its folder and extensions (".dsl.dz" whole).
std::string Stem(const std::string& path);

}  // namespace quill::import
