// The pronouncing lexicon (festival's cmudict-0.4.out): one word a line,
//   ("record" n (((r eh) 1) ((k er d) 0)))
// the word in quotes, a part of speech ("nil" for none), then the
// syllables, each its phones and its stress (1 stressed, 0 not). A word
// said in more than one way has a line for each. The first line may be the
// lexicon's name ("MNCL"); lines starting with ";" are comments.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "books/arpabet.h"

namespace quill::books {

struct CmuWord {
  std::string word;
  std::string partOfSpeech;
  std::vector<Syllable> syllables;
  std::size_t line = 0;  // from 1
};

// Reads the lexicon text[0, n) in the order of its lines. Returns 1, or 0
// with a message naming the first line that is not of the form above in
// *problem.
int ReadCmuLexicon(const std::uint8_t* text, std::size_t n, std::vector<CmuWord>* words,
                   std::string* problem);

}  // namespace quill::books
