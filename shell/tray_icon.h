// TrayIcon: the notification-area icon the main window hides into.
#pragma once

#include <windows.h>

namespace quill {

class TrayIcon {
 public:
  TrayIcon() = default;
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;
  // Leaves a shown icon alone: the owner removes it.
  virtual ~TrayIcon() = default;

  void Add(HWND owner, HICON icon, UINT iconId, UINT callbackMessage, const wchar_t* tip);
  void Modify();
  void Remove();

  HWND owner = nullptr;
  UINT iconId = 0;
  UINT callbackMessage = 0;
  // What NOTIFYICONDATA's first version holds of a tip, its terminator included.
  static constexpr int kTipUnits = 64;
  wchar_t tipText[kTipUnits] = {};
  HICON icon = nullptr;

 private:
  void Send(DWORD action);
};

}  // namespace quill
