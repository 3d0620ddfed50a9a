#include "shell/tray_icon.h"

#include <shellapi.h>

#include <cstring>

#include "resources/ids.h"

namespace quill {

void TrayIcon::Add(HWND ownerWindow, HICON iconHandle, UINT id, UINT message, const wchar_t* tip) {
  owner = ownerWindow;
  icon = iconHandle;
  iconId = id;
  callbackMessage = message;
  lstrcpynW(tipText, tip, kTipUnits);
  Send(NIM_ADD);
}

void TrayIcon::Modify() { Send(NIM_MODIFY); }

void TrayIcon::Remove() { Send(NIM_DELETE); }

void TrayIcon::Send(DWORD action) {
  NOTIFYICONDATAW data{};
  data.cbSize = NOTIFYICONDATAW_V1_SIZE;
  data.hWnd = owner;
  data.uID = iconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  data.hIcon = icon;
  std::memcpy(data.szTip, tipText, sizeof tipText);
  Shell_NotifyIconW(action, &data);
}

}  // namespace quill
