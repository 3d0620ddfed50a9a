#include <windows.h>

#include "import/files.h"
#include "import/utf.h"

namespace quill::xqb {

namespace {

std::string SystemMessage(DWORD code) {
  char buffer[256] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, code, 0, buffer, sizeof buffer, nullptr);
  std::string text(buffer, n);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace

// BookFile opens books with the ANSI file functions, as the reader does, so
// every path goes through the ANSI code page; one it cannot hold is refused
// rather than guessed at.
int NativePath(const std::string& utf8, std::string* native) {
  std::u16string wide;
  if (!Utf8ToUtf16(utf8, &wide)) return 0;
  native->clear();
  if (wide.empty()) return 1;
  const auto* text = reinterpret_cast<const wchar_t*>(wide.c_str());
  const int units = static_cast<int>(wide.size());
  BOOL lossy = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, units, nullptr, 0,
                                        nullptr, &lossy);
  if (bytes <= 0 || lossy) return 0;
  native->resize(static_cast<std::size_t>(bytes));
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, units, native->data(), bytes,
                      nullptr, &lossy);
  return lossy ? 0 : 1;
}

int MoveReplacing(const std::string& from, const std::string& to, std::string* why) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0) return 1;
  *why = SystemMessage(GetLastError());
  return 0;
}

}  // namespace quill::xqb
