#include "shell/dictionary_import.h"

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <thread>

#include "book/buffer_sizes.h"
#include "import/files.h"
#include "import/sources.h"
#include "import/utf.h"
#include "resources/ids.h"
#include "win/message_box.h"
#include "win/wide_text.h"
#include "win/window_base.h"

namespace quill {

namespace {

constexpr UINT kProgressMessage = WM_APP + 1;  // wParam: percent done; lParam: 1 once building
constexpr UINT kFinishedMessage = WM_APP + 2;  // the worker has ended
// The reading's share of the bar, in percent; the rest is the making of the
// book. Reading takes a third (a large StarDict) to a half (a DSL) of a
// conversion.
constexpr std::size_t kReadingShare = 40;
constexpr int kDialogWidth = 380;
constexpr int kDialogHeight = 150;
constexpr int kMargin = 14;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;

bool EndsWithNoCase(const std::wstring& text, const wchar_t* tail) {
  const std::size_t n = std::wcslen(tail);
  if (text.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    wchar_t c = text[text.size() - n + i];
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c != tail[i]) return false;
  }
  return true;
}

std::u16string FromUtf8(const std::string& text) {
  std::u16string wide;
  std::size_t bad = 0;
  xqb::AppendUtf16(text.data(), text.size(), &wide, &bad);
  return wide;
}

// What a source was like when its book was made: its path, size and last
// write time, kept in a line beside the book.
std::string SourceStamp(const wchar_t* source) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(source, GetFileExInfoStandard, &data)) return "";
  const std::uint64_t size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  const std::uint64_t time =
      (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
  return std::to_string(size) + "\t" + std::to_string(time) + "\t" + PathToUtf8(source) + "\n";
}

std::string ReadStamp(const std::wstring& stampPath) {
  std::string native;
  std::vector<std::uint8_t> bytes;
  std::string why;
  const std::string utf8 = PathToUtf8(stampPath.c_str());
  if (utf8.empty() || !xqb::NativePath(utf8, &native) || !xqb::ReadWholeFile(native, &bytes, &why)) {
    return "";
  }
  return std::string(bytes.begin(), bytes.end());
}

bool WriteStamp(const std::wstring& stampPath, const std::string& stamp) {
  std::string native;
  std::string why;
  const std::string utf8 = PathToUtf8(stampPath.c_str());
  return !utf8.empty() && xqb::NativePath(utf8, &native) &&
         xqb::WriteFileReplacing(native, std::vector<std::uint8_t>(stamp.begin(), stamp.end()), &why);
}

// Messages of a conversion, kept for the one line a failure shows.
class MessageLines : public xqb::Output {
 public:
  void Write(const char* bytes, std::size_t n) override { text_.append(bytes, n); }
  // The last line that is not a note.
  std::string Reason() const {
    std::size_t end = text_.size();
    while (end > 0) {
      while (end > 0 && text_[end - 1] == '\n') --end;
      const std::size_t start = text_.rfind('\n', end == 0 ? 0 : end - 1);
      const std::size_t first = start == std::string::npos ? 0 : start + 1;
      std::string line = text_.substr(first, end - first);
      if (line.rfind("xqb: ", 0) != 0) return line;
      end = first;
    }
    return "the dictionary could not be converted";
  }

 private:
  std::string text_;
};

// The progress dialog and the worker it waits for.
class ConversionDialog : public WindowBase {
 public:
  ConversionDialog(const DictionaryImportSetup& setup, const std::wstring& name)
      : setup_(setup), name_(name) {}

  // Runs request on a worker while the dialog is up: the worker's result.
  int Run(xqb::ConvertRequest request, MessageLines* messages) {
    if (!Create()) return xqb::kExitFailure;
    // One bar for both steps, posted only when it moves: a large dictionary
    // reads a hundred thousand words and lays out tens of thousands of blocks.
    request.reading = [this](std::uint64_t done, std::uint64_t total) {
      Tell(total == 0 ? 0 : static_cast<std::size_t>(done * kReadingShare / total), false);
    };
    request.progress = [this](std::size_t done, std::size_t total) {
      Tell(kReadingShare + (total == 0 ? 100 : done * (100 - kReadingShare) / total), true);
    };
    request.cancelled = [this] { return cancelled_.load(); };
    xqb::Console console{messages, messages, nullptr};
    const DictionaryConverter convert =
        setup_.convert ? setup_.convert : DictionaryConverter(xqb::ConvertToBook);
    std::thread worker([&] {
      result_ = convert(request, console);
      PostMessageW(hwnd, kFinishedMessage, 0, 0);
    });
    EnableWindow(setup_.owner, FALSE);
    const bool quit = WaitForWorker();
    if (quit) cancelled_ = true;
    worker.join();
    EnableWindow(setup_.owner, TRUE);
    DestroyWindow(hwnd);
    if (setup_.owner != nullptr) SetActiveWindow(setup_.owner);
    if (quit) PostQuitMessage(quitCode_);
    return result_;
  }

  bool Cancelled() const { return cancelled_.load(); }

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_CREATE:
        MakeControls(window);
        return 0;
      case kProgressMessage:
        ShowProgress(static_cast<int>(wParam), lParam != 0);
        return 0;
      case kFinishedMessage:
        finished_ = true;
        return 0;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) Cancel();
        return 0;
      case WM_CLOSE:
        Cancel();
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  }

 private:
  bool Create() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = BaseWindowProc;
    wc.hInstance = setup_.instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);  // spelt for LoadCursor's character set
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kConversionDialogClass;
    RegisterClassExW(&wc);
    RECT frame{0, 0, kDialogWidth, kDialogHeight};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT owner{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (setup_.owner != nullptr && IsWindowVisible(setup_.owner)) GetWindowRect(setup_.owner, &owner);
    const int x = owner.left + (owner.right - owner.left - width) / 2;
    const int y = owner.top + (owner.bottom - owner.top - height) / 2;
    CreateWindowExW(exStyle, kConversionDialogClass, L"Opening a dictionary", style, x, y, width,
                    height, setup_.owner, nullptr, setup_.instance, this);
    if (hwnd == nullptr) return false;
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    return true;
  }

  void MakeControls(HWND window) {
    const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    const int inner = kDialogWidth - 2 * kMargin;
    const std::wstring text = L"Converting \u201C" + name_ + L"\u201D into a book...";
    HWND label = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP,
                                 kMargin, kMargin, inner, 20, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kConversionTextId)),
                                 setup_.instance, nullptr);
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, kMargin,
                               kMargin + 32, inner, 20, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kConversionProgressId)),
                               setup_.instance, nullptr);
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    HWND cancel = CreateWindowExW(0, L"BUTTON", L"Cancel",
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                  kDialogWidth - kMargin - kButtonWidth,
                                  kDialogHeight - kMargin - kButtonHeight, kButtonWidth,
                                  kButtonHeight, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)),
                                  setup_.instance, nullptr);
    for (HWND control : {label, bar, cancel}) SendMessageW(control, WM_SETFONT, font, FALSE);
    SetFocus(cancel);
  }

  // On the worker: the bar's new place, when it has moved.
  void Tell(std::size_t percent, bool building) {
    const int step = building ? 2 : 1;
    if (static_cast<int>(percent) == told_ && step == toldStep_) return;
    told_ = static_cast<int>(percent);
    toldStep_ = step;
    PostMessageW(hwnd, kProgressMessage, percent, building ? 1 : 0);
  }

  void ShowProgress(int percent, bool building) {
    if (cancelled_) return;
    SendDlgItemMessageW(hwnd, kConversionProgressId, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    const int step = building ? 2 : 1;
    if (step == shownStep_) return;
    shownStep_ = step;
    const std::wstring text =
        (building ? L"Making the book of \u201C" : L"Reading \u201C") + name_ + L"\u201D...";
    SetDlgItemTextW(hwnd, kConversionTextId, text.c_str());
  }

  void Cancel() {
    if (cancelled_.exchange(true)) return;
    SetDlgItemTextW(hwnd, kConversionTextId, L"Cancelling...");
    EnableWindow(GetDlgItem(hwnd, IDCANCEL), FALSE);
  }

  // Handles every window's messages until the worker ends; true when a
  // WM_QUIT came meanwhile (it is posted again once the worker is done).
  bool WaitForWorker() {
    MSG msg;
    while (!finished_) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        quitCode_ = static_cast<int>(msg.wParam);
        return true;
      }
      if (got == -1) return true;
      if (IsDialogMessageW(hwnd, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return false;
  }

  const DictionaryImportSetup& setup_;
  std::wstring name_;
  std::atomic<bool> cancelled_{false};
  bool finished_ = false;
  int told_ = -1;      // the worker's last post
  int toldStep_ = 0;
  int shownStep_ = 0;  // 1 reading, 2 making the book
  int result_ = xqb::kExitFailure;
  int quitCode_ = 0;
};

}  // namespace

bool IsDictionarySource(const wchar_t* path) {
  if (path == nullptr) return false;
  const std::wstring text(path);
  for (const wchar_t* ending : {L".ifo", L".dsl", L".dsl.dz", L".index", L".txt"}) {
    if (EndsWithNoCase(text, ending)) return true;
  }
  return false;
}

std::wstring DefaultConvertedBooksFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return L"";
  }
  return std::wstring(folder) + L"\\Quillpad\\Books";
}

DictionaryImport ImportDictionary(const DictionaryImportSetup& setup, const wchar_t* source,
                                  wchar_t* bookPath) {
  const std::string input = PathToUtf8(source);
  const std::u16string stem = FromUtf8(xqb::Stem(input));
  const std::wstring name(stem.begin(), stem.end());
  const std::wstring book = setup.booksFolder + L"\\" + name + L".xqb";
  const std::wstring stampPath = book + L".source";
  const std::string output = PathToUtf8(book.c_str());
  if (input.empty() || name.empty() || setup.booksFolder.empty() || book.size() >= kPathUnits ||
      output.empty()) {
    ShowError(setup.owner, "The dictionary cannot be converted: its name or the books folder is too long.");
    return DictionaryImport::kFailed;
  }
  const std::string stamp = SourceStamp(source);
  std::wmemcpy(bookPath, book.c_str(), book.size() + 1);
  if (!stamp.empty() && GetFileAttributesW(book.c_str()) != INVALID_FILE_ATTRIBUTES &&
      ReadStamp(stampPath) == stamp) {
    return DictionaryImport::kReady;
  }

  SHCreateDirectoryExW(nullptr, setup.booksFolder.c_str(), nullptr);
  xqb::ConvertRequest request;
  request.input = input;
  request.output = output;
  // Long articles go on in entries of the same key; what still does not
  // fit (a key over 511 units) is cut rather than refusing the dictionary.
  request.split = true;
  request.cut = true;
  MessageLines messages;
  ConversionDialog dialog(setup, name);
  const int result = dialog.Run(request, &messages);
  if (dialog.Cancelled()) {
    // A conversion stopped in time wrote nothing; one that finished just as
    // the user cancelled made a book, which goes again.
    if (result == xqb::kExitOk) {
      DeleteFileW(book.c_str());
      DeleteFileW(stampPath.c_str());
    }
    return DictionaryImport::kCancelled;
  }
  if (result != xqb::kExitOk) {
    const std::u16string reason = FromUtf8(messages.Reason());
    MessageBoxW(setup.owner, AsWide(reason.c_str()), Widen(kErrorCaption).c_str(), MB_OK);
    return DictionaryImport::kFailed;
  }
  WriteStamp(stampPath, stamp);
  return DictionaryImport::kReady;
}

}  // namespace quill
