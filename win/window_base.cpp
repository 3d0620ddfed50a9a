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
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    object = static_cast<WindowBase*>(create->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    if (object != nullptr) object->hwnd = window;
  } else {
    object = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (message == WM_NCDESTROY && object != nullptr) {
    // The object may outlive its window; later messages must not reach it.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    const LRESULT result = object->WindowProc(window, message, wParam, lParam);
    object->hwnd = nullptr;
    return result;
  }
  if (object != nullptr) return object->WindowProc(window, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterWindowClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = BaseWindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);  // IDC_ARROW is spelt for LoadCursor's character set
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  RegisterClassExW(&wc);
}

ScopedFont FontFromPoints(int dpi, int points, PointRounding rounding, BYTE charSet,
                          const wchar_t* face) {
  LOGFONTW font{};
  font.lfHeight = rounding == PointRounding::kNearest ? -MulDiv(points, dpi, kPointsPerInch)
                                                      : -(points * dpi / kPointsPerInch);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = charSet;
  if (face != nullptr) lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return ScopedFont(CreateFontIndirectW(&font));
}

}  // namespace quill
