// The About box: the product's name, version and maker, drawn by hand.
#pragma once

#include <windows.h>

#include "shell/product.h"

namespace quill {

// One line the About box draws: its text, its rectangle at 96 DPI (scaled
// to the dialog's DPI when drawn) and whether it is the title (14 points;
// the others are 10).
struct AboutLine {
  const char* text;
  RECT rect;
  bool title;
};

inline constexpr AboutLine kAboutLines[] = {
    {kProductName, {80, 10, 280, 35}, true},
    {kProductVersionLine, {70, 35, 240, 60}, false},
    {kProductRights, {20, 65, 240, 85}, false},
    {kProductMaker, {20, 90, 240, 110}, false},
    {kProductWebAddress, {20, 115, 240, 135}, false},
    {kProductReserved, {20, 140, 240, 160}, false},
};
inline constexpr int kAboutTitlePoints = 14;
inline constexpr int kAboutBodyPoints = 10;

void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace quill
