#include "support/dialog_answerer.h"

#include <algorithm>

namespace quill::testing {

namespace {

struct Search {
  DWORD process;
  std::vector<HWND> dialogs;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<Search*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  // Message boxes and the open-file dialog have captions; the splash
  // screen, also a dialog, has none and is not for answering.
  const bool captioned = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  if (process == search->process && IsWindowVisible(window) && captioned &&
      std::string(className) == "#32770") {
    search->dialogs.push_back(window);
  }
  return TRUE;
}

}  // namespace

DialogAnswerer::DialogAnswerer() : thread_([this] { Run(); }) {}

DialogAnswerer::~DialogAnswerer() {
  stop_ = true;
  thread_.join();
}

void DialogAnswerer::Queue(Answer answer) {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.push_back(std::move(answer));
}

std::vector<SeenDialog> DialogAnswerer::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

void DialogAnswerer::PressOk(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }

void DialogAnswerer::PressCancel(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

DialogAnswerer::Answer DialogAnswerer::ChooseFile(const std::string& path) {
  return [path](HWND dialog) {
    // The file name box of the open-file dialog: an edit, or a combo box
    // holding one.
    HWND name = GetDlgItem(dialog, 0x480);
    if (name == nullptr) name = GetDlgItem(dialog, 0x47C);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  };
}

void DialogAnswerer::Run() {
  while (!stop_) {
    Search search{GetCurrentProcessId(), {}};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      answered_.erase(std::remove_if(answered_.begin(), answered_.end(),
                                     [](HWND w) { return !IsWindow(w); }),
                      answered_.end());
    }
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    for (HWND dialog : search.dialogs) {
      Answer answer = PressOk;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::find(answered_.begin(), answered_.end(), dialog) != answered_.end()) continue;
        SeenDialog seen;
        char text[512] = {};
        GetWindowTextA(dialog, text, sizeof text);
        seen.caption = text;
        text[0] = 0;
        GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);  // a message box's message
        seen.text = text;
        seen_.push_back(seen);
        answered_.push_back(dialog);
        if (!queue_.empty()) {
          answer = queue_.front();
          queue_.erase(queue_.begin());
        }
      }
      // Let the dialog finish appearing before it is answered.
      Sleep(50);
      answer(dialog);
    }
    Sleep(20);
  }
}

}  // namespace quill::testing
