// The About box: the product's name, version and maker, drawn by hand.
#pragma once

#include <windows.h>

namespace quill {

void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace quill
