#include "win/wide_text.h"

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
  const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, -1, nullptr, 0,
                                        nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, path, -1, utf8.data(), bytes, nullptr,
                      nullptr);
  utf8.resize(static_cast<std::size_t>(bytes - 1));
  return utf8;
}

}  // namespace quill
