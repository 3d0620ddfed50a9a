// Reads the running program's content pane from outside, as any other
// program could: finds the main window by its class and title, the pane by
// its control id, and asks for its text. With --close it closes the window.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "resources/ids.h"

namespace {

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  if (GetDlgCtrlID(child) != search->id) return TRUE;
  search->found = child;
  return FALSE;
}

// The control with this id among the window's descendants. (Wine's
// GetDlgItem does not find the controls of another process's window.)
HWND FindControl(HWND window, int id) {
  ChildSearch search{id, nullptr};
  EnumChildWindows(window, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int main(int argc, char** argv) {
  HWND window = FindWindowA("Quillpad", "Orvelle Quillpad");
  if (window == nullptr) {
    std::fprintf(stderr, "pane_probe: no Quillpad window\n");
    return 2;
  }
  if (argc > 1 && std::strcmp(argv[1], "--close") == 0) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  const char* which = argc > 1 && std::strcmp(argv[1], "--input") == 0 ? "input" : "pane";
  HWND control = FindControl(window, which[0] == 'i' ? IDC_INPUT_BOX : IDC_CONTENT_PANE);
  if (control == nullptr) {
    std::fprintf(stderr, "pane_probe: no %s\n", which);
    return 2;
  }
  const auto length = static_cast<int>(SendMessageA(control, WM_GETTEXTLENGTH, 0, 0));
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
