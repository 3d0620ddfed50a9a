// The find panel's question to a book: up to five terms that must all occur
// in an entry's key or content, and where each was found.
#pragma once

#include <cstdint>

namespace quill {

inline constexpr int kMaxTerms = 5;
// The find panel accepts 80 bytes of typed text, so a term slot holds 80
// units and a terminator: a long term is searched whole, never cut.
inline constexpr int kTermSlotUnits = 81;

enum MatchKind : std::int32_t {
  kNotFound = 0,
  kFoundInKey = 1,
  kFoundInContent = 2,
};

struct MatchQuery {
  std::int32_t termCount;   // 0 to kMaxTerms
  std::int32_t startEntry;  // first entry to examine
  char16_t terms[kMaxTerms][kTermSlotUnits];  // zero-terminated terms
  std::int32_t matchKind[kMaxTerms];          // a MatchKind per term
  std::int32_t matchPosition[kMaxTerms];      // unit index of the match
};

}  // namespace quill
