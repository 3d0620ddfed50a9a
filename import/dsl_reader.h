// The DSL input of xqb build: a card dictionary's text, UTF-16LE or UTF-8,
// with or without a byte-order mark (a .dsl.dz is inflated first). A header
// of "#NAME", "#INDEX_LANGUAGE" and "#CONTENTS_LANGUAGE" lines, then cards:
// one or more headword lines, not indented, then the card's body, lines
// indented by spaces or tabs (white space alone: a blank line of the body).
// An empty line ends a card. {{Comments}} may stand anywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "book/book_builder.h"
#include "import/ipa.h"

namespace quill::import {

struct DslBook {
  std::u16string name;  // #NAME, the default title
  std::u16string indexLanguage;
  std::u16string contentsLanguage;
  // One entry per key of every headword, in file order; a card's entries
  // share its body as readable text.
  std::vector<BookEntry> entries;
  std::vector<std::size_t> lines;  // per entry: its headword's line, from 1
  TranscriptionCounts transcriptions;
};

// Reads a DSL text handed over a piece at a time, in pieces of any size:
// only the entries and bounded buffers are held, never the whole text.
class DslReader {
 public:
  explicit DslReader(DslBook* book);
  ~DslReader();
  DslReader(const DslReader&) = delete;
  DslReader& operator=(const DslReader&) = delete;

  // The text's next bytes.
  void Feed(const std::uint8_t* bytes, std::size_t n);
  // After the last piece. Returns 1, or 0 with a message naming the line
  // in *problem: text that is not UTF-8 or UTF-16, a NUL character, a
  // comment not closed, a body line before the first headword, a headword
  // that leaves no key. Damage to the encoding, then a NUL, is reported
  // before any other, wherever it stands.
  int Finish(std::string* problem);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Reads text[0, n) as one DslReader would.
int ReadDsl(const std::uint8_t* text, std::size_t n, DslBook* book, std::string* problem);

// The keys a headword line stands for, escapes resolved and spaces
// collapsed: its {unsorted parts} left out, and each (optional part) both
// kept and left out (with more than kMaxOptionalParts, all kept or all
// left out). The longest first, no key twice, none empty.
inline constexpr std::size_t kMaxOptionalParts = 3;
std::vector<std::u16string> DslHeadwordKeys(std::u16string_view headword);

}  // namespace quill::import
