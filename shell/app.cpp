#include "shell/app.h"

#include "panels/history_list.h"
#include "panels/history_store.h"
#include "resources/ids.h"
#include "shell/main_window.h"

namespace quill {

int RunApplication(HINSTANCE instance, const char* /*commandLine*/, int showCommand) {
  // The run's history of looked-up words, for as long as the program runs.
  HistoryList history(LoadCapacity());
  MainWindowOptions options;
  options.history = &history;
  MainWindow window(options);
  if (!window.StartInstance(instance, showCommand)) return 0;
  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

}  // namespace quill

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  return quill::RunApplication(instance, commandLine, showCommand);
}
