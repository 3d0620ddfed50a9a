#include "win/window_base.h"

#include "resources/ids.h"

namespace quill {

namespace {

// Font sizes are in points, 72 to the inch.
constexpr int kPointsPerInch = 72;

}  // namespace

LRESULT CALLBACK BaseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowBase* object = nullptr;
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    object = static_cast<WindowBase*>(create->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    if (object != nullptr) object->hwnd = window;
  } else {
    object = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (message == WM_NCDESTROY && object != nullptr) {
    // The object may outlive its window; later messages must not reach it.
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    const LRESULT result = object->WindowProc(window, message, wParam, lParam);
    object->hwnd = nullptr;
    return result;
  }
  if (object != nullptr) return object->WindowProc(window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterWindowClass(HINSTANCE instance, const char* className) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = BaseWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
  wc.hIconSm = wc.hIcon;
  // IDC_ARROW is spelt for the character set LoadCursor stands for.
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassExA(&wc);
}

ScopedFont FontFromPoints(HDC dc, int points, PointRounding rounding, BYTE charSet) {
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  LOGFONTA font{};
  font.lfHeight = rounding == PointRounding::kNearest ? -MulDiv(points, dpi, kPointsPerInch)
                                                      : -(points * dpi / kPointsPerInch);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = charSet;
  return ScopedFont(CreateFontIndirectA(&font));
}

}  // namespace quill
