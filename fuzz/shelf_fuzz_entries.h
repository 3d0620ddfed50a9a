// Entry point shared by the shelf converters' libFuzzer target and the
// corpus replay in the shelf tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::fuzz {

// The first byte picks a converter (pronouncing lexicon, thesaurus,
// countries, cities, airports, dialing codes, dictd, the UTF-8 repair);
// for those of two inputs, the next two bytes give the first one's length.
// Checks that a refusal says why, and that what a converter gives writes
// as a word list that reads back with the same entries and no false
// transcription.
int ShelfSourcesOne(const std::uint8_t* data, std::size_t size);

}  // namespace quill::fuzz
