#include <cerrno>
#include <cstdio>
#include <cstring>

#include "import/files.h"

namespace quill::xqb {

int NativePath(const std::string& utf8, std::string* native) {
  *native = utf8;
  return 1;
}

std::FILE* OpenFile(const std::string& native, const char* mode) {
  return std::fopen(native.c_str(), mode);
}

int RemoveFile(const std::string& native) { return std::remove(native.c_str()) == 0 ? 1 : 0; }

int MoveReplacing(const std::string& from, const std::string& to, std::string* why) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return 1;
  *why = std::strerror(errno);
  return 0;
}

}  // namespace quill::xqb
