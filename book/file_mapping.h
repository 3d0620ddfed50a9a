// The core's one platform seam: a read-only view of a whole file, and the
// read of a file's first bytes. Win32 and POSIX each implement it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill {

class FileMapping {
 public:
  FileMapping() = default;
  FileMapping(const FileMapping&) = delete;
  FileMapping& operator=(const FileMapping&) = delete;
  ~FileMapping() { Close(); }

  // Opens the file at path (UTF-8) for reading (sharing reads with others)
  // and maps all of it read-only. Returns 1, or 0 with nothing held; an empty file or one
  // too large for the address space cannot be mapped.
  int Open(const char* path);
  // Unmaps the view and closes the handles; harmless when nothing is open.
  void Close();

  // Copies n bytes at offset of the file into dest: 1, or 0 when they do
  // not lie inside the file or cannot be read. The POSIX build reads them
  // from the file: touching the view would make the whole page-cache folio
  // around them (up to megabytes on Linux) resident in this process.
  int ReadAt(std::uint64_t offset, std::size_t n, std::uint8_t* dest) const;

  const std::uint8_t* Data() const { return view_; }
  std::uint64_t Size() const { return size_; }
  bool IsOpen() const { return view_ != nullptr; }

 private:
  friend class FileView;
  // Holds nothing again, once Close has given the handles back.
  void Forget() {
    fileHandle_ = -1;
    mappingHandle_ = 0;
    view_ = nullptr;
    size_ = 0;
  }

  // Win32: file and mapping HANDLEs. POSIX: the descriptor in fileHandle_.
  std::intptr_t fileHandle_ = -1;
  std::intptr_t mappingHandle_ = 0;
  const std::uint8_t* view_ = nullptr;
  std::uint64_t size_ = 0;
};

// A read-only view of part of a mapped file: only that part's pages can
// become resident through it. Unmapped by Reset and on destruction.
class FileView {
 public:
  FileView() = default;
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;
  ~FileView() { Reset(); }

  // Maps size bytes at offset of the open file: 1, or 0 with nothing held
  // when they do not lie inside it or cannot be mapped.
  int Map(const FileMapping& file, std::uint64_t offset, std::size_t size);
  void Reset();
  const std::uint8_t* Data() const { return data_; }

 private:
  // Takes a mapping of bytes bytes at base whose wanted part starts
  // `lead` bytes in (or nothing: nullptr, 0, 0).
  int Hold(void* base, std::size_t bytes, std::size_t lead) {
    base_ = base;
    mappedBytes_ = bytes;
    data_ = base == nullptr ? nullptr : static_cast<const std::uint8_t*>(base) + lead;
    return base == nullptr ? 0 : 1;
  }

  void* base_ = nullptr;  // where the mapping starts, before data_
  std::size_t mappedBytes_ = 0;
  const std::uint8_t* data_ = nullptr;
};

// Reads up to `capacity` bytes from the start of the file at path (UTF-8) into dest and
// closes it again. Returns the number of bytes read, or -1 when the file
// cannot be opened.
std::ptrdiff_t ReadFileStart(const char* path, std::uint8_t* dest,
                             std::size_t capacity);

}  // namespace quill
