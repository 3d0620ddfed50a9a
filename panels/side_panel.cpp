#include "panels/side_panel.h"

namespace quill {

HWND SidePanel::CreatePanel(HWND mainWindow, const wchar_t* className, const ControlBox& box) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(mainWindow, GWLP_HINSTANCE));
  RegisterWindowClass(instance, className);
  hwnd = CreateWindowExW(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE, className, className,
                         WS_CHILD | WS_VISIBLE, box.x, box.y, box.width, box.height, mainWindow,
                         nullptr, instance, this);
  return hwnd;
}

void SidePanel::Move(const ControlBox& box) {
  if (hwnd != nullptr) PlaceControl(hwnd, box);
}

void SidePanel::Show() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_SHOW);
}

void SidePanel::Hide() {
  if (hwnd != nullptr) ShowWindow(hwnd, SW_HIDE);
}

LRESULT SidePanel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace quill
