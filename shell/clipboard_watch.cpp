#include "shell/clipboard_watch.h"

#include "win/scoped_win.h"

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
  if (!OpenClipboardFor(window)) return {};
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

bool ClipboardWatch::Start(HWND window, UINT message, std::size_t maxUnits) {
  Stop();
  ScopedKernelHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ready) return false;
  thread_ = std::thread(&ClipboardWatch::Listen, this, window, message, maxUnits, ready.get());
  WaitForSingleObject(ready.get(), INFINITE);
  if (threadId_ == 0) {
    thread_.join();
    return false;
  }
  return true;
}

void ClipboardWatch::Stop() {
  if (!thread_.joinable()) return;
  if (threadId_ != 0) PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
  thread_.join();
  threadId_ = 0;
}

std::optional<std::u16string> ClipboardWatch::Take() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::optional<std::u16string> word = std::move(word_);
  word_.reset();
  return word;
}

// The listening thread: a message-only window of its own gets the notices.
// A notice's time is when the change was made, whenever it is read; a
// notice that finds the sequence number it found before is a change
// already read.
void ClipboardWatch::Listen(HWND window, UINT message, std::size_t maxUnits, HANDLE ready) {
  HWND listener = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr);
  const bool listening = listener != nullptr && AddClipboardFormatListener(listener);
  // The queue exists once the window does: a WM_QUIT posted from now on
  // is not lost.
  threadId_ = listening ? GetCurrentThreadId() : 0;
  SetEvent(ready);
  if (!listening) {
    if (listener != nullptr) DestroyWindow(listener);
    return;
  }
  DoubleCopy copies;
  DWORD lastSequence = 0;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.message != WM_CLIPBOARDUPDATE) {
      DispatchMessageW(&msg);
      continue;
    }
    const DWORD sequence = GetClipboardSequenceNumber();
    if (sequence == lastSequence) continue;
    lastSequence = sequence;
    const std::optional<std::u16string> copied =
        copies.Changed(static_cast<std::uint32_t>(msg.time), ClipboardText(listener));
    if (!copied) continue;
    std::u16string word = WordFromCopiedText(*copied, maxUnits);
    if (word.empty()) continue;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      word_ = std::move(word);
    }
    PostMessageW(window, message, 0, 0);
  }
  RemoveClipboardFormatListener(listener);
  DestroyWindow(listener);
}

}  // namespace quill
