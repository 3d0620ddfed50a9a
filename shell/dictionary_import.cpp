#include "shell/dictionary_import.h"

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <thread>

#include "book/book_file.h"
#include "book/buffer_sizes.h"
#include "book/files.h"
#include "import/sources.h"
#include "book/utf.h"
#include "resources/ids.h"
#include "win/message_box.h"
#include "win/wide_text.h"

namespace quill {

namespace {

constexpr UINT kProgressMessage = WM_APP + 1;  // wParam: percent done; lParam: 1 once building
constexpr UINT kFinishedMessage = WM_APP + 2;  // the worker has ended
// The reading's share of the bar, in percent; the rest is the making of the
// book. Reading takes a third (a large StarDict) to a half (a DSL) of a
// conversion.
constexpr std::size_t kReadingShare = 40;

std::u16string FromUtf8(const std::string& text) {
  std::u16string wide;
  std::size_t bad = 0;
  AppendUtf16(text.data(), text.size(), &wide, &bad);
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
  if (utf8.empty() || !NativePath(utf8, &native) || !ReadWholeFile(native, &bytes, &why)) {
    return "";
  }
  return std::string(bytes.begin(), bytes.end());
}

bool WriteStamp(const std::wstring& stampPath, const std::string& stamp) {
  std::string native;
  std::string why;
  const std::string utf8 = PathToUtf8(stampPath.c_str());
  return !utf8.empty() && NativePath(utf8, &native) &&
         WriteFileReplacing(native, std::vector<std::uint8_t>(stamp.begin(), stamp.end()), &why);
}

// The progress dialog (resource IDD_CONVERSION) and the worker it waits for.
class ConversionDialog {
 public:
  ConversionDialog(const DictionaryImportSetup& setup, const std::wstring& name)
      : setup_(setup), name_(name) {}
  ConversionDialog(const ConversionDialog&) = delete;
  ConversionDialog& operator=(const ConversionDialog&) = delete;

  // Runs request on a worker while the dialog is up: the worker's result.
  import::ConvertResult Run(import::ConvertRequest request) {
    if (!Create()) {
      import::ConvertResult failed;
      failed.reason = "The progress dialog cannot be shown.";
      return failed;
    }
    // One bar for both steps, posted only when it moves: a large dictionary
    // reads a hundred thousand words and lays out tens of thousands of blocks.
    request.reading = [this](std::uint64_t done, std::uint64_t total) {
      Tell(total == 0 ? 0 : static_cast<std::size_t>(done * kReadingShare / total), false);
    };
    request.progress = [this](std::size_t done, std::size_t total) {
      Tell(kReadingShare + (total == 0 ? 100 : done * (100 - kReadingShare) / total), true);
    };
    request.cancelled = [this] { return cancelled_.load(); };
    const DictionaryConverter convert =
        setup_.convert ? setup_.convert : DictionaryConverter(import::ConvertToBook);
    std::thread worker([&] {
      result_ = convert(request);
      PostMessageW(hwnd_, kFinishedMessage, 0, 0);
    });
    EnableWindow(setup_.owner, FALSE);
    const bool quit = WaitForWorker();
    if (quit) cancelled_ = true;
    worker.join();
    EnableWindow(setup_.owner, TRUE);
    DestroyWindow(hwnd_);
    if (setup_.owner != nullptr) SetActiveWindow(setup_.owner);
    if (quit) PostQuitMessage(quitCode_);
    return result_;
  }

  bool Cancelled() const { return cancelled_.load(); }

 private:
  static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      reinterpret_cast<ConversionDialog*>(lParam)->OnInitDialog(dialog);
      return FALSE;  // the focus is set
    }
    auto* self = reinterpret_cast<ConversionDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) return FALSE;
    switch (message) {
      case kProgressMessage:
        self->ShowProgress(static_cast<int>(wParam), lParam != 0);
        return TRUE;
      case kFinishedMessage:
        self->finished_ = true;
        return TRUE;
      case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) self->Cancel();
        return TRUE;
      case WM_CLOSE:
        self->Cancel();
        return TRUE;
      default:
        return FALSE;
    }
  }

  // The template names a class of its own, so that the dialog is told apart
  // from message boxes and the open-file dialog.
  bool Create() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = setup_.instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);  // spelt for LoadCursor's character set
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kConversionDialogClass;
    RegisterClassExW(&wc);
    CreateDialogParamW(setup_.instance, MAKEINTRESOURCEW(IDD_CONVERSION), setup_.owner, DialogProc,
                       reinterpret_cast<LPARAM>(this));
    if (hwnd_ == nullptr) return false;
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    return true;
  }

  // Over the middle of the owner while it is shown, else of the screen.
  void OnInitDialog(HWND dialog) {
    hwnd_ = dialog;
    RECT frame;
    GetWindowRect(dialog, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT owner{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (setup_.owner != nullptr && IsWindowVisible(setup_.owner)) GetWindowRect(setup_.owner, &owner);
    SetWindowPos(dialog, nullptr, owner.left + (owner.right - owner.left - width) / 2,
                 owner.top + (owner.bottom - owner.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const std::wstring text = L"Converting \u201C" + name_ + L"\u201D into a book...";
    SetDlgItemTextW(dialog, IDC_CONVERSION_TEXT, text.c_str());
    SendDlgItemMessageW(dialog, IDC_CONVERSION_PROGRESS, PBM_SETRANGE32, 0, 100);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
  }

  // On the worker: the bar's new place, when it has moved.
  void Tell(std::size_t percent, bool building) {
    const int step = building ? 2 : 1;
    if (static_cast<int>(percent) == told_ && step == toldStep_) return;
    told_ = static_cast<int>(percent);
    toldStep_ = step;
    PostMessageW(hwnd_, kProgressMessage, percent, building ? 1 : 0);
  }

  void ShowProgress(int percent, bool building) {
    if (cancelled_) return;
    SendDlgItemMessageW(hwnd_, IDC_CONVERSION_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    const int step = building ? 2 : 1;
    if (step == shownStep_) return;
    shownStep_ = step;
    const std::wstring text =
        (building ? L"Making the book of \u201C" : L"Reading \u201C") + name_ + L"\u201D...";
    SetDlgItemTextW(hwnd_, IDC_CONVERSION_TEXT, text.c_str());
  }

  void Cancel() {
    if (cancelled_.exchange(true)) return;
    SetDlgItemTextW(hwnd_, IDC_CONVERSION_TEXT, L"Cancelling...");
    EnableWindow(GetDlgItem(hwnd_, IDCANCEL), FALSE);
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
      if (IsDialogMessageW(hwnd_, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return false;
  }

  const DictionaryImportSetup& setup_;
  std::wstring name_;
  HWND hwnd_ = nullptr;
  std::atomic<bool> cancelled_{false};
  bool finished_ = false;
  int told_ = -1;      // the worker's last post
  int toldStep_ = 0;
  int shownStep_ = 0;  // 1 reading, 2 making the book
  import::ConvertResult result_;
  int quitCode_ = 0;
};

}  // namespace

bool IsDictionarySource(const wchar_t* path) {
  return path != nullptr && import::IsDictionaryPath(PathToUtf8(path));
}

bool NeedsConversion(const wchar_t* path) {
  if (!IsDictionarySource(path)) return false;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return false;
  }
  return BookFile::CheckSignature(PathToUtf8(path).c_str()) != kSignatureOk;
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
  const std::u16string stem = FromUtf8(import::Stem(input));
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
  import::ConvertRequest request;
  request.input = input;
  request.output = output;
  // Long articles go on in entries of the same key; what still does not
  // fit (a key over 511 units) is cut rather than refusing the dictionary.
  request.split = true;
  request.cut = true;
  ConversionDialog dialog(setup, name);
  const import::ConvertResult result = dialog.Run(request);
  if (dialog.Cancelled() || result.status == import::ConvertStatus::kCancelled) {
    // A conversion stopped in time wrote nothing; one that finished just as
    // the user cancelled made a book, which goes again.
    if (result.status == import::ConvertStatus::kDone) {
      DeleteFileW(book.c_str());
      DeleteFileW(stampPath.c_str());
    }
    return DictionaryImport::kCancelled;
  }
  if (result.status != import::ConvertStatus::kDone) {
    ShowError(setup.owner, FromUtf8(result.reason));
    return DictionaryImport::kFailed;
  }
  WriteStamp(stampPath, stamp);
  return DictionaryImport::kReady;
}

}  // namespace quill
