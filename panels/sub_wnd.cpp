#include "panels/sub_wnd.h"

namespace quill {

HWND SubWnd::Create(HWND mainWindow) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
  RegisterWindowClass(instance, "SubWnd");
  const int baseHeight = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 30;
  hwnd = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, "SubWnd", "SubWnd",
                         WS_CHILD | WS_VISIBLE, 0, 30, 150, baseHeight - 110, mainWindow, nullptr,
                         instance, this);
  return hwnd;
}

void SubWnd::Move(int /*clientWidth*/, int clientHeight) {
  if (hwnd != nullptr) MoveWindow(hwnd, 3, 35, 200, clientHeight - 55, TRUE);
}

void SubWnd::Show() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_SHOW);
}

void SubWnd::Hide() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_HIDE);
}

LRESULT SubWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quill
