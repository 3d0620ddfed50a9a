// English base forms of an inflected word ("geese" -> "goose", "walked" ->
// "walk"), for a look-up that finds no entry for the word as typed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill::lookup {

// The forms a UTF-8 word may come from, most likely first, A to Z in lower
// case: the irregular forms of WordNet's exception lists (noun, verb,
// adjective, adverb), then the regular endings taken off as WordNet's
// morphology does. Only a dictionary can tell which is a word: a caller
// tries them in order. Never the word itself, never an empty form.
std::vector<std::string> BaseForms(std::string_view word);

}  // namespace quill::lookup
