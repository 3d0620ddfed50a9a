#include "shell/clipboard_watch.h"

namespace quill {

namespace {

// Another program may hold the clipboard open for a moment: try a few
// times before giving up on this change.
constexpr int kOpenTries = 5;
constexpr DWORD kOpenPauseMilliseconds = 10;

bool OpenClipboardFor(HWND window) {
  for (int i = 0; i < kOpenTries; ++i) {
    if (OpenClipboard(window)) return true;
    Sleep(kOpenPauseMilliseconds);
  }
  return false;
}

// The clipboard's text, or none when it holds none or cannot be read.
std::optional<std::u16string> ClipboardText(HWND window) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboardFor(window)) return {};
  std::optional<std::u16string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
    const SIZE_T bytes = GlobalSize(data);
    if (const auto* units = static_cast<const char16_t*>(GlobalLock(data)); units != nullptr) {
      // The text ends at its terminator or, should it have none, at the
      // end of its memory.
      const std::size_t most = bytes / sizeof(char16_t);
      std::size_t length = 0;
      while (length < most && units[length] != 0) ++length;
      text.emplace(units, length);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace

void ClipboardWatch::Start(HWND window) {
  Stop();
  if (AddClipboardFormatListener(window)) window_ = window;
}

void ClipboardWatch::Stop() {
  if (window_ != nullptr) RemoveClipboardFormatListener(window_);
  window_ = nullptr;
}

std::optional<std::u16string> ClipboardWatch::OnUpdate(HWND window, std::size_t maxUnits) {
  const DWORD sequence = GetClipboardSequenceNumber();
  if (sequence == lastSequence_) return {};
  lastSequence_ = sequence;
  const std::optional<std::u16string> copied =
      copies_.Changed(GetTickCount(), ClipboardText(window));
  if (!copied) return {};
  std::u16string word = WordFromCopiedText(*copied, maxUnits);
  if (word.empty()) return {};
  return word;
}

}  // namespace quill
