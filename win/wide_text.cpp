#include "win/wide_text.h"

#include "book/utf.h"

namespace quill {

std::wstring Widen(const char* ascii) {
  std::wstring wide;
  if (ascii == nullptr) return wide;
  for (; *ascii != 0; ++ascii) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*ascii)));
  return wide;
}

std::u16string WindowText(HWND window) {
  const auto length = static_cast<int>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  if (length <= 0) return {};
  std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
  const auto got = static_cast<int>(SendMessageW(window, WM_GETTEXT, text.size(),
                                                 reinterpret_cast<LPARAM>(text.data())));
  text.resize(static_cast<std::size_t>(got < 0 ? 0 : got));
  return text;
}

std::string PathToUtf8(const wchar_t* path) {
  std::string utf8;
  if (path == nullptr) return utf8;
  const std::size_t units = std::char_traits<wchar_t>::length(path);
  // A lone surrogate names no file the core could open.
  if (AppendUtf8(AsUnits(path), units, &utf8) != 0) return {};
  return utf8;
}

}  // namespace quill
