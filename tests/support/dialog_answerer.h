// Answers the message boxes and modal dialogs that the window under test
// opens, from a thread of its own, and records what they said.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quill::testing {

struct SeenDialog {
  std::string caption;
  std::string text;  // a message box's message; empty for other dialogs
};

class DialogAnswerer {
 public:
  // How a dialog is answered: given its window, do what a user would (the
  // default presses OK).
  using Answer = std::function<void(HWND dialog)>;

  DialogAnswerer();
  ~DialogAnswerer();
  DialogAnswerer(const DialogAnswerer&) = delete;
  DialogAnswerer& operator=(const DialogAnswerer&) = delete;

  // Answers the next dialogs in this order, then presses OK on any others.
  void Queue(Answer answer);
  std::vector<SeenDialog> Seen() const;

  static void PressOk(HWND dialog);
  static void PressCancel(HWND dialog);
  // Types a file name into an open-file dialog and presses Open.
  static Answer ChooseFile(const std::string& path);

 private:
  void Run();

  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<Answer> queue_;
  std::vector<SeenDialog> seen_;
  std::vector<HWND> answered_;
  std::thread thread_;
};

}  // namespace quill::testing
