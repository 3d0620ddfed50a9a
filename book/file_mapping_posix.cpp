#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <limits>

#include "book/file_mapping.h"

namespace quill {

int FileMapping::Open(const char* path) {
  Close();
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0 ||
      static_cast<std::uint64_t>(info.st_size) >
          std::numeric_limits<std::size_t>::max()) {
    ::close(fd);
    return 0;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (view == MAP_FAILED) {
    ::close(fd);
    return 0;
  }
  fileHandle_ = fd;
  view_ = static_cast<const std::uint8_t*>(view);
  size_ = size;
  return 1;
}

void FileMapping::Close() {
  if (view_ != nullptr) {
    ::munmap(const_cast<std::uint8_t*>(view_), static_cast<std::size_t>(size_));
  }
  if (fileHandle_ >= 0) ::close(static_cast<int>(fileHandle_));
  Forget();
}

int FileMapping::ReadAt(std::uint64_t offset, std::size_t n, std::uint8_t* dest) const {
  if (view_ == nullptr || offset > size_ || n > size_ - offset) return 0;
  std::size_t got = 0;
  while (got < n) {
    const ssize_t r = ::pread(static_cast<int>(fileHandle_), dest + got, n - got,
                              static_cast<off_t>(offset + got));
    if (r <= 0) return 0;
    got += static_cast<std::size_t>(r);
  }
  return 1;
}

int FileView::Map(const FileMapping& file, std::uint64_t offset, std::size_t size) {
  Reset();
  if (!file.IsOpen() || offset > file.size_ || size > file.size_ - offset || size == 0) return 0;
  const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
  const std::uint64_t start = offset - offset % page;
  const auto bytes = static_cast<std::size_t>(offset - start) + size;
  void* base = ::mmap(nullptr, bytes, PROT_READ, MAP_PRIVATE, static_cast<int>(file.fileHandle_),
                      static_cast<off_t>(start));
  if (base == MAP_FAILED) return 0;
  return Hold(base, bytes, static_cast<std::size_t>(offset - start));
}

void FileView::Reset() {
  if (base_ != nullptr) ::munmap(base_, mappedBytes_);
  Hold(nullptr, 0, 0);
}

std::ptrdiff_t ReadFileStart(const char* path, std::uint8_t* dest,
                             std::size_t capacity) {
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  std::size_t got = 0;
  while (got < capacity) {
    const ssize_t n = ::read(fd, dest + got, capacity - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return static_cast<std::ptrdiff_t>(got);
}

}  // namespace quill
