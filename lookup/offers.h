// What a book offers for a word it has no entry for: the word's English
// base forms among its keys, then keys close in spelling, and the note a
// miss shows with them. xqb and the program offer the same words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lookup/book_keys.h"

namespace quill::lookup {

struct Offer {
  std::u16string word;  // the key as the book holds it
  std::size_t entry;    // the first entry of that key
  int distance;         // edits from the word as typed, folded
  bool baseForm;        // one of the word's base forms, not a spelling
};

inline constexpr std::size_t kMostOffers = 5;

// The offers for word, best first, at most kMostOffers, each key once:
// the base forms that are keys, in BaseForms' order; then, unless some key
// begins with the word (it is being typed, not misspelt), the keys
// CloseKeys finds in RankCloseKeys' order. None for a word the book holds
// (after folding) or for an empty one.
std::vector<Offer> OfferWords(const BookKeys& keys, std::u16string_view word);

// "acurate: not in this book. Did you mean accurate, curate, acute?"; empty
// when there is nothing to offer.
std::u16string MissNote(std::u16string_view word, const std::vector<Offer>& offers);

}  // namespace quill::lookup
