// How common an English word is: the number of times WordNet's senses of
// it were tagged in its sample texts (Debian's wordnet-base cntlist.rev),
// made into a table at build time. Breaks ties between spellings.
#pragma once

#include <cstdint>
#include <string_view>

namespace quill::lookup {

// The tagged count of key (A-Z folded first), 0 for a word WordNet never
// tagged or that is not English.
std::uint32_t SenseCount(std::u16string_view key);

}  // namespace quill::lookup
