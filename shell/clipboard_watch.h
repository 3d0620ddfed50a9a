// ClipboardWatch: listens to the clipboard for the main window and tells it
// when the user has copied the same text twice in quick succession. It only
// ever reads the clipboard.
//
// The clipboard is read on a thread of its own the moment it changes, not
// when the window gets round to a notice: the window's thread may be busy
// (Wine takes two seconds to hide a window into the tray), and by then a
// second copy has replaced the first, so that two copies would read as one
// change and the double copy would be lost.
#pragma once

#include <windows.h>

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "shell/word_from_clipboard.h"

namespace quill {

class ClipboardWatch {
 public:
  ClipboardWatch() = default;
  ClipboardWatch(const ClipboardWatch&) = delete;
  ClipboardWatch& operator=(const ClipboardWatch&) = delete;
  ~ClipboardWatch() { Stop(); }

  // Starts listening; when a change completes a double copy, its word (at
  // most maxUnits units) is kept for Take and message is posted to window.
  // Returns once the clipboard is being listened to; false when it cannot be.
  bool Start(HWND window, UINT message, std::size_t maxUnits);
  // Stops listening and waits for the listening thread to end.
  void Stop();

  // The word of the last double copy, once; none when there is none.
  std::optional<std::u16string> Take();

 private:
  void Listen(HWND window, UINT message, std::size_t maxUnits, HANDLE ready);

  std::thread thread_;
  DWORD threadId_ = 0;  // the listening thread, while it runs
  std::mutex mutex_;
  std::optional<std::u16string> word_;  // set by the listening thread, taken by the window
};

}  // namespace quill
