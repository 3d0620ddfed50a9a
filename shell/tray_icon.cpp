#include "shell/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "resources/ids.h"
#include "shell/main_window.h"

namespace quill {

void TrayIcon::Add(HWND ownerWindow, HICON iconHandle, UINT id, UINT message, const char* tip) {
  owner = ownerWindow;
  icon = iconHandle;
  iconId = id;
  callbackMessage = message;
  std::strncpy(tipText, tip, sizeof tipText - 1);
  tipText[sizeof tipText - 1] = 0;
  Send(NIM_ADD);
}

void TrayIcon::Modify() { Send(NIM_MODIFY); }

void TrayIcon::Remove() { Send(NIM_DELETE); }

void TrayIcon::Send(DWORD action) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = iconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  std::memcpy(data.szTip, tipText, sizeof tipText);
  Shell_NotifyIconA(action, &data);
}

LRESULT MainWindow::OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  if ((wParam & 0xFFF0) != SC_MINIMIZE) return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
  skipSizeSave = true;
  skipMoveSave = true;
  GetWindowRect(window, &currentRect);
  SaveCurrentRect(options_.settings, currentRect);
  trayIcon.Add(window, appIcon, MSG_TRAY_NOTIFY, MSG_TRAY_NOTIFY, "Orvelle Quillpad");
  trayIcon.Modify();
  GetWindowRect(window, &restoreRect);
  SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_HIDEWINDOW);
  return 0;
}

LRESULT MainWindow::OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam) {
  if (lParam == WM_LBUTTONDOWN && wParam == MSG_TRAY_NOTIFY) {
    trayIcon.Remove();
    SetWindowPos(window, HWND_TOPMOST, restoreRect.left, restoreRect.top,
                 restoreRect.right - restoreRect.left, restoreRect.bottom - restoreRect.top,
                 SWP_SHOWWINDOW);
    SetFocus(window);
  }
  return DefWindowProcA(window, MSG_TRAY_NOTIFY, wParam, lParam);
}

}  // namespace quill
