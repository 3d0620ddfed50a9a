#include "shell/app.h"

#include <shellapi.h>

#include <string>

#include "panels/history_list.h"
#include "panels/history_store.h"
#include "resources/ids.h"
#include "shell/main_window.h"

namespace quill {

namespace {

// The command line's word: everything after the program's name, as one
// text (a word may hold spaces, quoted or not); empty without one.
std::u16string CommandLineWord() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::u16string word;
  for (int i = 1; args != nullptr && i < count; ++i) {
    if (i > 1) word += u' ';
    word += reinterpret_cast<const char16_t*>(args[i]);
  }
  if (args != nullptr) LocalFree(args);
  return word;
}

}  // namespace

int RunApplication(HINSTANCE instance, const char* /*commandLine*/, int showCommand) {
  // The run's history of looked-up words, for as long as the program runs.
  HistoryList history(LoadCapacity());
  MainWindowOptions options;
  options.history = &history;
  options.startWord = CommandLineWord();
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
