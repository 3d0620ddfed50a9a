// The xqb program: the command line in, UTF-8 bytes out.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>
#endif

#include "cli/file_output.h"
#include "book/utf.h"
#include "tools/xqb.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  // The ANSI argv cannot hold every word; the wide command line can.
  (void)argc;
  (void)argv;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    for (int i = 1; i < count; ++i) {
      std::string arg;
      const auto* text = reinterpret_cast<const char16_t*>(wide[i]);
      std::size_t n = 0;
      while (text[n] != 0) ++n;
      quill::AppendUtf8(text, n, &arg);
      args.push_back(std::move(arg));
    }
    LocalFree(wide);
  }
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return args;
}

#ifdef _WIN32
// Standard output or error when it is a console: the UTF-8 text goes to it
// as UTF-16, so that every script shows whatever the console's code page.
// A character split between two writes waits for its last bytes.
class ConsoleOutput : public quill::Output {
 public:
  explicit ConsoleOutput(HANDLE console) : console_(console) {}
  ~ConsoleOutput() override { Flush(); }

  void Write(const char* bytes, std::size_t n) override {
    pending_.append(bytes, n);
    const std::size_t whole = quill::WholeUtf8Length(pending_.data(), pending_.size());
    Show(pending_.substr(0, whole));
    pending_.erase(0, whole);
  }
  void Flush() {
    Show(pending_);
    pending_.clear();
  }
  bool Failed() const { return failed_; }

 private:
  void Show(const std::string& utf8) {
    if (utf8.empty()) return;
    std::u16string wide;
    quill::Utf8ToUtf16(utf8, &wide);
    DWORD written = 0;
    if (!WriteConsoleW(console_, wide.data(), static_cast<DWORD>(wide.size()), &written,
                       nullptr)) {
      failed_ = true;
    }
  }

  HANDLE console_;
  std::string pending_;
  bool failed_ = false;
};

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Results are UTF-8 bytes with LF line ends, written as they are to files
  // and pipes; a console gets them as UTF-16.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const HANDLE outHandle = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE errHandle = GetStdHandle(STD_ERROR_HANDLE);
  ConsoleOutput outConsole(outHandle);
  ConsoleOutput errConsole(errHandle);
  const bool outIsConsole = IsConsole(outHandle);
  const bool errIsConsole = IsConsole(errHandle);
#endif
  quill::FileOutput out(stdout);
  quill::FileOutput err(stderr);
  quill::Output* results = &out;
  quill::Output* messages = &err;
#ifdef _WIN32
  if (outIsConsole) results = &outConsole;
  if (errIsConsole) messages = &errConsole;
#endif
  const auto start = std::chrono::steady_clock::now();
  quill::Console console{results, messages, [start] {
                                return std::chrono::duration<double>(
                                           std::chrono::steady_clock::now() - start)
                                    .count();
                              }};
  int code = quill::xqb::RunXqb(Arguments(argc, argv), console);
#ifdef _WIN32
  outConsole.Flush();
  errConsole.Flush();
  if (outConsole.Failed()) code = quill::kExitFailure;
#endif
  return quill::FinishStandardOutput(code, out,
                                          "xqb: cannot write the results to standard output\n");
}
