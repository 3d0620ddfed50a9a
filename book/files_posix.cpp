#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "book/files.h"

namespace quill {

int NativePath(const std::string& utf8, std::string* native) {
  *native = utf8;
  return 1;
}

std::FILE* OpenFile(const std::string& native, const char* mode) {
  return std::fopen(native.c_str(), mode);
}

std::uint64_t OpenFileSize(std::FILE* file) {
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || info.st_size < 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

int RemoveFile(const std::string& native) { return std::remove(native.c_str()) == 0 ? 1 : 0; }

int MoveReplacing(const std::string& from, const std::string& to, std::string* why) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return 1;
  *why = std::strerror(errno);
  return 0;
}

bool IsFolder(const std::string& native) {
  struct stat info {};
  return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IdentifyFile(const std::string& native, FileIdentity* identity) {
  struct stat info {};
  if (stat(native.c_str(), &info) != 0) return false;
  identity->volume = static_cast<std::uint64_t>(info.st_dev);
  identity->index = static_cast<std::uint64_t>(info.st_ino);
  identity->size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

int ListFolder(const std::string& native, std::vector<std::string>* names, std::string* why) {
  names->clear();
  DIR* folder = opendir(native.c_str());
  if (folder == nullptr) {
    *why = std::strerror(errno);
    return 0;
  }
  while (const dirent* item = readdir(folder)) {
    const std::string name = item->d_name;
    // The file a link leads to counts, as a program opening it would see.
    struct stat info {};
    if (stat(JoinPath(native, name).c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      names->push_back(name);
    }
  }
  closedir(folder);
  return 1;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace quill
