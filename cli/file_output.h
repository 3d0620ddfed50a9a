// The command-line programs' standard output and error: a C stream behind
// the Output they write to, which remembers a failed write so that a full
// disk or a closed pipe ends the run as a failure.
#pragma once

#include <cstdio>

#include "cli/console.h"

namespace quill {

class FileOutput : public Output {
 public:
  explicit FileOutput(FILE* file) : file_(file) {}
  void Write(const char* bytes, std::size_t n) override {
    if (n != 0 && std::fwrite(bytes, 1, n, file_) != n) failed_ = true;
  }
  bool Failed() const { return failed_; }

 private:
  FILE* file_;
  bool failed_ = false;
};

// Flushes standard output: code, or kExitFailure after saying message on
// standard error when that or an earlier write to out failed.
inline int FinishStandardOutput(int code, const FileOutput& out, const char* message) {
  if (std::fflush(stdout) != 0 || out.Failed()) {
    std::fputs(message, stderr);
    return kExitFailure;
  }
  return code;
}

}  // namespace quill
