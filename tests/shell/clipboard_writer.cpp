// Another program that copies text, as a user's editor would: it writes
// TEXT to the clipboard TIMES times, PAUSE milliseconds apart, each
// time opening, emptying, filling and closing it with a window of its own.
//   clipboard_writer TEXT TIMES PAUSE
// Exit code 0, or 1 when the clipboard could not be written.
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool Copy(HWND owner, const std::wstring& text) {
  bool open = false;
  for (int i = 0; i < 100 && !open; ++i) {
    open = OpenClipboard(owner) != 0;
    if (!open) Sleep(10);
  }
  if (!open) return false;
  EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool put = false;
  if (memory != nullptr) {
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!put) GlobalFree(memory);
  }
  CloseClipboard();
  return put;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc != 4) return 1;
  const std::wstring text = argv[1];
  const int times = _wtoi(argv[2]);
  const DWORD pause = static_cast<DWORD>(_wtoi(argv[3]));
  HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  int code = 0;
  for (int i = 0; i < times; ++i) {
    if (i != 0) Sleep(pause);
    if (!Copy(owner, text)) code = 1;
  }
  DestroyWindow(owner);
  LocalFree(argv);
  return code;
}
