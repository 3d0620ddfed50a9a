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

#include "import/file_output.h"
#include "import/utf.h"
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
      quill::xqb::AppendUtf8(text, n, &arg);
      args.push_back(std::move(arg));
    }
    LocalFree(wide);
  }
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return args;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Results are UTF-8 bytes with LF line ends, written as they are; a
  // console shows them as UTF-8 while xqb runs, and as before afterwards.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  const UINT consoleCodePage = GetConsoleOutputCP();
  if (consoleCodePage != 0) SetConsoleOutputCP(CP_UTF8);
#endif
  quill::xqb::FileOutput out(stdout);
  quill::xqb::FileOutput err(stderr);
  const auto start = std::chrono::steady_clock::now();
  quill::xqb::Console console{&out, &err, [start] {
                                return std::chrono::duration<double>(
                                           std::chrono::steady_clock::now() - start)
                                    .count();
                              }};
  const int code = quill::xqb::FinishStandardOutput(
      quill::xqb::RunXqb(Arguments(argc, argv), console), out,
      "xqb: cannot write the results to standard output\n");
#ifdef _WIN32
  if (consoleCodePage != 0) SetConsoleOutputCP(consoleCodePage);
#endif
  return code;
}
