#include "win/high_contrast.h"

#include <windows.h>

#include <atomic>

namespace quill {

namespace {

bool SystemHighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::atomic<HighContrastQuery> query{nullptr};

}  // namespace

bool HighContrastOn() {
  const HighContrastQuery replaced = query.load();
  return replaced != nullptr ? replaced() : SystemHighContrast();
}

void SetHighContrastQuery(HighContrastQuery replacement) { query.store(replacement); }

}  // namespace quill
