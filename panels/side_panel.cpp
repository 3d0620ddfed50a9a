#include "panels/side_panel.h"

namespace quill {

HWND SidePanel::CreatePanel(HWND mainWindow, const char* className, int y) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
  RegisterWindowClass(instance, className);
  const int baseHeight = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - 30;
  hwnd = CreateWindowExA(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, className, className,
                         WS_CHILD | WS_VISIBLE, 0, y, 150, baseHeight - 110, mainWindow, nullptr,
                         instance, this);
  return hwnd;
}

void SidePanel::Move(int /*clientWidth*/, int clientHeight) {
  if (hwnd != nullptr) MoveWindow(hwnd, 3, 35, 200, clientHeight - 55, TRUE);
}

void SidePanel::Show() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_SHOW);
}

void SidePanel::Hide() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_HIDE);
}

LRESULT SidePanel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace quill
