#include "book/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quill {

bool FileExists(const std::string& native) {
  FILE* file = OpenFile(native, "rb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

int ReadWholeFile(const std::string& native, std::vector<std::uint8_t>* bytes, std::string* why) {
  bytes->clear();
  FILE* file = OpenFile(native, "rb");
  if (file == nullptr) {
    *why = std::strerror(errno);
    return 0;
  }
  // Read in pieces: the size that ftell reports is a long, 32 bits on
  // Windows.
  constexpr std::size_t kPiece = std::size_t{1} << 20;
  std::size_t have = 0;
  for (;;) {
    bytes->resize(have + kPiece);
    const std::size_t got = std::fread(bytes->data() + have, 1, kPiece, file);
    have += got;
    if (got < kPiece) break;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  bytes->resize(have);
  if (failed) {
    *why = "read error";
    return 0;
  }
  return 1;
}

BookFileSink::BookFileSink(const std::string& native)
    : native_(native), scratch_(native + ".xqb-part") {}

BookFileSink::~BookFileSink() {
  if (file_ == nullptr) return;
  std::fclose(file_);
  RemoveFile(scratch_);
}

int BookFileSink::Fail() {
  if (!failed_) why_ = std::strerror(errno);
  failed_ = true;
  return 0;
}

int BookFileSink::Open() {
  file_ = OpenFile(scratch_, "wb");
  return file_ != nullptr ? 1 : Fail();
}

int BookFileSink::Append(const std::uint8_t* bytes, std::size_t n) {
  if (failed_ || file_ == nullptr) return 0;
  return n == 0 || std::fwrite(bytes, 1, n, file_) == n ? 1 : Fail();
}

int BookFileSink::WriteHeader(const std::uint8_t* bytes, std::size_t n) {
  if (failed_ || file_ == nullptr) return 0;
  if (std::fseek(file_, 0, SEEK_SET) != 0) return Fail();
  return Append(bytes, n);
}

int BookFileSink::Commit() {
  if (failed_ || file_ == nullptr) return 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!closed) {
    Fail();
  } else if (MoveReplacing(scratch_, native_, &why_)) {
    return 1;
  }
  failed_ = true;
  RemoveFile(scratch_);
  return 0;
}

int WriteFileReplacing(const std::string& native, const std::vector<std::uint8_t>& bytes,
                       std::string* why) {
  BookFileSink file(native);
  if (!file.Open() || !file.Append(bytes.data(), bytes.size()) || !file.Commit()) {
    *why = file.Why();
    return 0;
  }
  return 1;
}

}  // namespace quill
