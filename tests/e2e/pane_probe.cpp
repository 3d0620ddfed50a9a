// Reads the running program from outside, as any other program could: finds
// the main window by its class and title, a control by its id, and asks it.
// Texts are printed as UTF-8.
//   pane_probe              the content pane's text
//   pane_probe --input      the input box's text
//   pane_probe --status     the status bar's text
//   pane_probe --rows       the find panel's result rows, one a line
//   pane_probe --control ID the screen point (x y) at the centre of control ID
//   pane_probe --button ID  the same for the toolbar button of command ID
//   pane_probe --row N      the same for row N of the find panel's results
//   pane_probe --tree-row N the same for the label of the shelf tree's
//                           visible row N (0 is "BookShelf")
//   pane_probe --close      closes the window
//   pane_probe --code-page  the ANSI code page Wine gives this process
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "resources/ids.h"
#include "win/scoped_win.h"

namespace {

struct ChildSearch {
  int id;
  const char* className;  // when set, the class is looked for, not the id
  HWND found;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  if (search->className != nullptr) {
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    if (std::strcmp(name, search->className) != 0) return TRUE;
  } else if (GetDlgCtrlID(child) != search->id) {
    return TRUE;
  }
  search->found = child;
  return FALSE;
}

// The control with this id among the window's descendants. (Wine's
// GetDlgItem does not find the controls of another process's window.)
HWND FindControl(HWND window, int id) {
  ChildSearch search{id, nullptr, nullptr};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The first control of this class, for those without an id of their own.
HWND FindClass(HWND window, const char* className) {
  ChildSearch search{0, className, nullptr};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// UTF-16 as the UTF-8 that the scripts compare.
std::string Utf8(const wchar_t* text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), bytes, nullptr, nullptr);
  utf8.resize(static_cast<std::size_t>(bytes - 1));
  return utf8;
}

// A control's text, asked for in UTF-16 so that every script comes across.
std::string WindowText(HWND control) {
  const auto length = static_cast<int>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0));
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  return Utf8(text.c_str());
}

struct ProcessCloser {
  void operator()(HANDLE process) const { CloseHandle(process); }
};
using ScopedProcess = quill::ScopedHandle<HANDLE, ProcessCloser>;

// A RECT in the memory of the control's process, for the messages whose
// rectangle the system does not carry across processes (TB_GETITEMRECT,
// TVM_GETITEMRECT, which also reads its item from it).
class RemoteRect {
 public:
  explicit RemoteRect(HWND control) {
    DWORD id = 0;
    GetWindowThreadProcessId(control, &id);
    process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id));
    if (process_) {
      at_ = VirtualAllocEx(process_, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    }
  }
  ~RemoteRect() {
    if (at_ != nullptr) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
  }
  RemoteRect(const RemoteRect&) = delete;
  RemoteRect& operator=(const RemoteRect&) = delete;

  // Copies *rect into the remote RECT, sends message with it as lParam and
  // reads it back.
  bool Ask(HWND control, UINT message, WPARAM wParam, RECT* rect) {
    SIZE_T written = 0;
    if (at_ == nullptr || !WriteProcessMemory(process_, at_, rect, sizeof *rect, &written)) {
      return false;
    }
    SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(at_));
    SIZE_T read = 0;
    return ReadProcessMemory(process_, at_, rect, sizeof *rect, &read) && read == sizeof *rect;
  }

 private:
  ScopedProcess process_;
  void* at_ = nullptr;
};

// Prints the screen point at the centre of rect, given in control's client
// coordinates.
int PrintCentre(HWND control, RECT rect) {
  POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  ClientToScreen(control, &centre);
  std::printf("%ld %ld\n", static_cast<long>(centre.x), static_cast<long>(centre.y));
  return 0;
}

int Fail(const char* what) {
  std::fprintf(stderr, "pane_probe: %s\n", what);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  const int number = argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == "--code-page") {
    std::printf("%u\n", GetACP());
    return 0;
  }
  HWND window = FindWindowA("Quillpad", "Orvelle Quillpad");
  if (window == nullptr) return Fail("no Quillpad window");

  if (mode == "--close") {
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (mode == "--rows") {
    HWND list = FindControl(window, IDC_RESULT_LIST);
    if (list == nullptr) return Fail("no result list");
    const auto count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    // Asked for in UTF-16 and printed as UTF-8.
    for (int i = 0; i < count; ++i) {
      wchar_t row[512] = {};
      if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) >= 512) continue;
      SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
      std::printf("%s\n", Utf8(row).c_str());
    }
    return 0;
  }
  if (mode == "--control") {
    HWND control = FindControl(window, number);
    if (control == nullptr) return Fail("no such control");
    RECT rect;
    GetClientRect(control, &rect);
    return PrintCentre(control, rect);
  }
  if (mode == "--row") {
    HWND list = FindControl(window, IDC_RESULT_LIST);
    RECT rect;
    if (list == nullptr ||
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(number),
                     reinterpret_cast<LPARAM>(&rect)) == LB_ERR) {
      return Fail("no such row");
    }
    return PrintCentre(list, rect);
  }
  if (mode == "--button") {
    HWND toolbar = FindControl(window, IDC_TOOLBAR);
    if (toolbar == nullptr) return Fail("no toolbar");
    const auto index = SendMessageA(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(number), 0);
    RECT rect;
    if (index < 0 || !RemoteRect(toolbar).Ask(toolbar, TB_GETITEMRECT,
                                              static_cast<WPARAM>(index), &rect)) {
      return Fail("no such button");
    }
    return PrintCentre(toolbar, rect);
  }
  if (mode == "--tree-row") {
    HWND tree = FindClass(window, WC_TREEVIEWA);
    if (tree == nullptr) return Fail("no tree");
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    for (int i = 0; i < number && item != nullptr; ++i) {
      item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                      reinterpret_cast<LPARAM>(item)));
    }
    RECT rect = {};
    std::memcpy(&rect, &item, sizeof item);
    if (item == nullptr || !RemoteRect(tree).Ask(tree, TVM_GETITEMRECT, TRUE, &rect)) {
      return Fail("no such tree row");
    }
    return PrintCentre(tree, rect);
  }

  HWND control = mode == "--status" ? FindClass(window, STATUSCLASSNAMEA)
                 : FindControl(window, mode == "--input" ? IDC_INPUT_BOX : IDC_CONTENT_PANE);
  if (control == nullptr) return Fail("no such control");
  const std::string text = WindowText(control);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
