// The real main window under a high-contrast black theme, for the README's
// screenshot: Wine has no such theme and always says high contrast is off,
// so this program sets the colours of one and answers "on" itself. It puts
// the system colours back when the window closes.
#include <windows.h>

#include <iterator>

#include "panels/history_list.h"
#include "resources/ids.h"
#include "shell/main_window.h"
#include "win/high_contrast.h"

namespace {

constexpr int kElements[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_MENU,     COLOR_MENUTEXT,
                             COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_BTNFACE,
                             COLOR_BTNTEXT,   COLOR_3DSHADOW,      COLOR_3DHIGHLIGHT, COLOR_MENUBAR,
                             COLOR_MENUHILIGHT};
constexpr COLORREF kHighContrastBlack[] = {
    RGB(0, 0, 0),       RGB(255, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(26, 235, 255),  RGB(0, 0, 0),       RGB(63, 242, 63),   RGB(0, 0, 0),
    RGB(255, 255, 255), RGB(128, 128, 128), RGB(255, 255, 255), RGB(0, 0, 0),
    RGB(26, 235, 255)};
static_assert(std::size(kElements) == std::size(kHighContrastBlack));

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  COLORREF saved[std::size(kElements)];
  for (std::size_t i = 0; i < std::size(kElements); ++i) saved[i] = GetSysColor(kElements[i]);
  SetSysColors(static_cast<int>(std::size(kElements)), kElements, kHighContrastBlack);
  quill::SetHighContrastQuery([] { return true; });

  quill::HistoryList history(10);
  quill::MainWindowOptions options;
  options.history = &history;
  int code = 0;
  {
    quill::MainWindow window(options);
    if (window.StartInstance(instance, showCommand)) {
      // As when the theme is switched on: the window hears of the colours.
      const HWND shown = FindWindowW(L"Quillpad", nullptr);
      if (shown != nullptr) SendMessageW(shown, WM_SYSCOLORCHANGE, 0, 0);
      MSG message{};
      while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      code = static_cast<int>(message.wParam);
    }
  }
  SetSysColors(static_cast<int>(std::size(kElements)), kElements, saved);
  return code;
}
