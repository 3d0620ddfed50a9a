// The input of a fuzz target that reads books, written where a book is
// opened from: a file of this process's own, removed when it is done.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace quill::fuzz {

class ScratchBook {
 public:
  // Writes data to a file named after tag and this process.
  ScratchBook(const char* tag, const std::uint8_t* data, std::size_t size) {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir != nullptr ? dir : "/tmp") + "/quill-fuzz-" + tag + "-" +
            std::to_string(getpid()) + ".xqb";
    FILE* file = std::fopen(path_.c_str(), "wb");
    if (file == nullptr) {
      path_.clear();
      return;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  ScratchBook(const ScratchBook&) = delete;
  ScratchBook& operator=(const ScratchBook&) = delete;
  ~ScratchBook() {
    if (!path_.empty()) std::remove(path_.c_str());
  }

  // Empty when the file could not be written.
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace quill::fuzz
