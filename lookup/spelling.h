// Keys close in spelling to a word that a book lacks: the optimal string
// alignment distance (insertions, deletions, substitutions and swaps of
// neighbours, each one edit) on code points after the books' A-Z folding.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/book_keys.h"

namespace quill::lookup {

// The most edits a word of this many code points may be from a key that is
// offered for it: none below 3, 1 up to 4, 2 beyond.
int MaxEdits(std::size_t codePoints);

// Code points of text with A-Z folded; a lone surrogate stands as itself.
std::u32string FoldedCodePoints(std::u16string_view text);

// The distance between two texts of code points.
int Distance(std::u32string_view a, std::u32string_view b);

struct CloseKey {
  std::size_t entry;  // the first entry of the key's run of folded equals
  int distance;
};

// Every key within MaxEdits of word, once per folded key, in entry order.
// One walk over the sorted keys: neighbours share the rows of their common
// prefix, and a prefix already too far ends the walk through every key
// that begins with it.
std::vector<CloseKey> CloseKeys(const BookKeys& keys, std::u16string_view word);

// The same by measuring every key on its own; the walk's yardstick.
std::vector<CloseKey> CloseKeysByScan(const BookKeys& keys, std::u16string_view word);

// Orders close keys best first: fewer edits, then more common (WordNet's
// sense counts), then entry order.
void RankCloseKeys(const BookKeys& keys, std::vector<CloseKey>* close);

}  // namespace quill::lookup
