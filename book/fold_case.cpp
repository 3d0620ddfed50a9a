#include "book/fold_case.h"

namespace quill {

void FoldCase(char16_t* text) {
  for (; *text != 0; ++text) *text = FoldUnit(*text);
}

int CompareFolded(const char16_t* a, std::size_t aLength, const char16_t* b,
                  std::size_t bLength) {
  const std::size_t common = aLength < bLength ? aLength : bLength;
  for (std::size_t i = 0; i < common; ++i) {
    const char16_t x = FoldUnit(a[i]);
    const char16_t y = FoldUnit(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (aLength == bLength) return 0;
  return aLength < bLength ? -1 : 1;
}

}  // namespace quill
