// The pronouncing lexicon as the shelf uses it: phonetic first lines for a
// dictionary's entries, and a book of its own.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "book/book_builder.h"
#include "books/cmu_lexicon.h"

namespace quill::books {

// Finds a word's transcription the way the reader finds a key: with "A" to
// "Z" folded. A word said in several ways gets its first transcription the
// glyph alphabet can write.
class PronouncingIndex {
 public:
  explicit PronouncingIndex(const std::vector<CmuWord>& words);
  // nullptr when the lexicon does not know the word.
  const std::string* Find(const std::u16string& key) const;
  std::size_t Size() const { return transcriptions_.size(); }

 private:
  std::unordered_map<std::u16string, std::string> transcriptions_;
};

// Puts a phonetic first line before the content of every entry whose key
// the lexicon knows, and marks it in *phonetic (one flag per entry).
// Returns how many entries got one.
std::size_t AddPhoneticLines(const PronouncingIndex& index, std::vector<BookEntry>* entries,
                             std::vector<bool>* phonetic);

// One entry per word of the lexicon: the phonetic line of its first
// pronunciation, the word, and every pronunciation in ARPAbet with its
// part of speech, e.g. "noun: R EH1 - K ER0 D".
void MakePronouncingEntries(const std::vector<CmuWord>& words, std::vector<BookEntry>* entries,
                            std::vector<bool>* phonetic);

// One pronunciation as the pronouncing book shows it.
std::string ArpabetText(const CmuWord& word);

}  // namespace quill::books
