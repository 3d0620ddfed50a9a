#include "panels/tree_sub_wnd.h"

namespace quill {

HWND TreeSubWnd::Create(HWND mainWindow) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
  RegisterWindowClass(instance, "TreeSubWnd");
  const int baseHeight = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 30;
  hwnd = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, "TreeSubWnd", "TreeSubWnd",
                         WS_CHILD | WS_VISIBLE, 0, 0, 150, baseHeight - 110, mainWindow, nullptr,
                         instance, this);
  return hwnd;
}

void TreeSubWnd::Move(int /*clientWidth*/, int clientHeight) {
  if (hwnd != nullptr) MoveWindow(hwnd, 3, 35, 200, clientHeight - 55, TRUE);
}

void TreeSubWnd::Show() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_SHOW);
}

void TreeSubWnd::Hide() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_HIDE);
}

LRESULT TreeSubWnd::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quill
