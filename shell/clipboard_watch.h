// ClipboardWatch: listens to the clipboard for the main window and tells it
// when the user has copied the same text twice in quick succession. It only
// ever reads the clipboard.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "shell/word_from_clipboard.h"

namespace quill {

class ClipboardWatch {
 public:
  ClipboardWatch() = default;
  ClipboardWatch(const ClipboardWatch&) = delete;
  ClipboardWatch& operator=(const ClipboardWatch&) = delete;
  ~ClipboardWatch() { Stop(); }

  // Starts listening for window's WM_CLIPBOARDUPDATE.
  void Start(HWND window);
  void Stop();

  // WM_CLIPBOARDUPDATE: the word to look up when this change completes a
  // double copy, at most maxUnits units; none otherwise, and none when the
  // clipboard holds no text or cannot be opened.
  std::optional<std::u16string> OnUpdate(HWND window, std::size_t maxUnits);

 private:
  HWND window_ = nullptr;
  DoubleCopy copies_;
  // The clipboard's sequence number at the last change looked at. Notices
  // answered late may find the same contents; each counts once.
  DWORD lastSequence_ = 0;
};

}  // namespace quill
