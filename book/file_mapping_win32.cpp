#include <windows.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "book/file_mapping.h"
#include "book/utf.h"

namespace quill {

namespace {

HANDLE AsHandle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

// Opens a UTF-8 path for shared reading through the wide file functions, so
// that a book opens from a folder of any script whatever the code page.
// A path that is not UTF-8 names no file. Others may read it, and move or
// delete it: a book being shown can make way for a new one of its name,
// while the open copy stays readable until it is closed.
HANDLE OpenForReading(const char* path) {
  std::u16string wide;
  if (!Utf8ToUtf16(path, &wide)) return INVALID_HANDLE_VALUE;
  return CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}
std::intptr_t FromHandle(HANDLE handle) {
  return reinterpret_cast<std::intptr_t>(handle);
}

}  // namespace

int FileMapping::Open(const char* path) {
  Close();
  HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) return 0;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 ||
      static_cast<std::uint64_t>(size.QuadPart) >
          std::numeric_limits<SIZE_T>::max()) {
    CloseHandle(file);
    return 0;
  }
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (mapping == nullptr) {
    CloseHandle(file);
    return 0;
  }
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) {
    CloseHandle(mapping);
    CloseHandle(file);
    return 0;
  }
  fileHandle_ = FromHandle(file);
  mappingHandle_ = FromHandle(mapping);
  view_ = static_cast<const std::uint8_t*>(view);
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  return 1;
}

void FileMapping::Close() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
  if (mappingHandle_ != 0) CloseHandle(AsHandle(mappingHandle_));
  if (fileHandle_ != -1) CloseHandle(AsHandle(fileHandle_));
  Forget();
}

int FileMapping::ReadAt(std::uint64_t offset, std::size_t n, std::uint8_t* dest) const {
  if (view_ == nullptr || offset > size_ || n > size_ - offset) return 0;
  if (n != 0) std::memcpy(dest, view_ + offset, n);
  return 1;
}

int FileView::Map(const FileMapping& file, std::uint64_t offset, std::size_t size) {
  Reset();
  if (!file.IsOpen() || offset > file.size_ || size > file.size_ - offset || size == 0) return 0;
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  const std::uint64_t start = offset - offset % system.dwAllocationGranularity;
  const auto bytes = static_cast<SIZE_T>(offset - start) + size;
  void* base = MapViewOfFile(AsHandle(file.mappingHandle_), FILE_MAP_READ,
                             static_cast<DWORD>(start >> 32), static_cast<DWORD>(start), bytes);
  if (base == nullptr) return 0;
  return Hold(base, bytes, static_cast<std::size_t>(offset - start));
}

void FileView::Reset() {
  if (base_ != nullptr) UnmapViewOfFile(base_);
  Hold(nullptr, 0, 0);
}

std::ptrdiff_t ReadFileStart(const char* path, std::uint8_t* dest,
                             std::size_t capacity) {
  HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) return -1;
  std::size_t got = 0;
  while (got < capacity) {
    const std::size_t want = capacity - got;
    DWORD chunk = want > 0x10000000 ? 0x10000000 : static_cast<DWORD>(want);
    DWORD read = 0;
    if (!ReadFile(file, dest + got, chunk, &read, nullptr) || read == 0) break;
    got += read;
  }
  CloseHandle(file);
  return static_cast<std::ptrdiff_t>(got);
}

}  // namespace quill
