#include <windows.h>
#include <io.h>

#include "book/files.h"
#include "book/utf.h"

namespace quill {

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

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// Names tried for a file moved aside to make way for its replacement: an
// earlier one may still be held open by a reader.
constexpr int kAsideNames = 16;

std::u16string Utf16Number(int n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

// Paths stay UTF-8 and reach the wide file functions, so that a file in a
// folder of any script opens whatever the ANSI code page.
int NativePath(const std::string& utf8, std::string* native) {
  std::u16string wide;
  if (!Utf8ToUtf16(utf8, &wide)) return 0;
  *native = utf8;
  return 1;
}

std::FILE* OpenFile(const std::string& native, const char* mode) {
  std::u16string path;
  std::u16string wideMode;
  if (!Utf8ToUtf16(native, &path) || !Utf8ToUtf16(mode, &wideMode)) return nullptr;
  return _wfopen(Wide(path), Wide(wideMode));
}

std::uint64_t OpenFileSize(std::FILE* file) {
  const long long size = _filelengthi64(_fileno(file));
  return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

int RemoveFile(const std::string& native) {
  std::u16string path;
  return Utf8ToUtf16(native, &path) && DeleteFileW(Wide(path)) ? 1 : 0;
}

int MoveReplacing(const std::string& from, const std::string& to, std::string* why) {
  std::u16string wideFrom;
  std::u16string wideTo;
  if (!Utf8ToUtf16(from, &wideFrom) || !Utf8ToUtf16(to, &wideTo)) {
    *why = "not a UTF-8 path";
    return 0;
  }
  if (MoveFileExW(Wide(wideFrom), Wide(wideTo), MOVEFILE_REPLACE_EXISTING) != 0) return 1;
  const DWORD error = GetLastError();
  // A file open elsewhere (a book the program is showing) cannot be
  // replaced, but when it was opened to allow deleting it can be moved
  // aside under a free name; it goes for good when its last reader closes it.
  if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
    for (int n = 1; n <= kAsideNames; ++n) {
      const std::u16string aside = wideTo + u".old-" + Utf16Number(n);
      if (!MoveFileExW(Wide(wideTo), Wide(aside), 0)) {
        // Taken, or still there until its reader closes it: the next name.
        const DWORD asideError = GetLastError();
        if (asideError == ERROR_ALREADY_EXISTS || asideError == ERROR_FILE_EXISTS ||
            asideError == ERROR_ACCESS_DENIED) {
          continue;
        }
        break;
      }
      if (MoveFileExW(Wide(wideFrom), Wide(wideTo), 0)) {
        DeleteFileW(Wide(aside));
        return 1;
      }
      const DWORD moveError = GetLastError();
      MoveFileExW(Wide(aside), Wide(wideTo), 0);
      *why = SystemMessage(moveError);
      return 0;
    }
  }
  *why = SystemMessage(error);
  return 0;
}

bool IsFolder(const std::string& native) {
  std::u16string path;
  if (!Utf8ToUtf16(native, &path)) return false;
  const DWORD attributes = GetFileAttributesW(Wide(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IdentifyFile(const std::string& native, FileIdentity* identity) {
  std::u16string path;
  if (!Utf8ToUtf16(native, &path)) return false;
  const HANDLE file = CreateFileW(Wide(path), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  if (!known) return false;
  identity->volume = info.dwVolumeSerialNumber;
  identity->index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  identity->size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  return true;
}

// Names come as UTF-16 whatever the ANSI code page, so a book called in any
// script is listed.
int ListFolder(const std::string& native, std::vector<std::string>* names, std::string* why) {
  names->clear();
  std::u16string pattern;
  if (!Utf8ToUtf16(JoinPath(native, "*"), &pattern)) {
    *why = "not a UTF-8 path";
    return 0;
  }
  WIN32_FIND_DATAW item;
  HANDLE find = FindFirstFileW(Wide(pattern), &item);
  if (find == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND) return 1;  // an empty folder (a drive's root)
    *why = SystemMessage(code);
    return 0;
  }
  do {
    if ((item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    const auto* name = reinterpret_cast<const char16_t*>(item.cFileName);
    std::size_t n = 0;
    while (name[n] != 0) ++n;
    std::string utf8;
    AppendUtf8(name, n, &utf8);
    names->push_back(utf8);
  } while (FindNextFileW(find, &item));
  const DWORD code = GetLastError();
  FindClose(find);
  if (code != ERROR_NO_MORE_FILES) {
    *why = SystemMessage(code);
    return 0;
  }
  return 1;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  if (last == '\\' || last == '/' || last == ':') return folder + name;
  return folder + "\\" + name;
}

}  // namespace quill
