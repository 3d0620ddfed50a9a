#include "import/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quill::xqb {

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

int WriteFileReplacing(const std::string& native, const std::vector<std::uint8_t>& bytes,
                       std::string* why) {
  const std::string scratch = native + ".xqb-part";
  FILE* file = OpenFile(scratch, "wb");
  if (file == nullptr) {
    *why = std::strerror(errno);
    return 0;
  }
  const bool wrote = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!wrote || !closed) {
    *why = std::strerror(wrote ? errno : writeErrno);
    RemoveFile(scratch);
    return 0;
  }
  if (!MoveReplacing(scratch, native, why)) {
    RemoveFile(scratch);
    return 0;
  }
  return 1;
}

}  // namespace quill::xqb
