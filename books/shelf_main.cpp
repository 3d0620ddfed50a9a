// The shelf program: runs on the machine that makes the books.
#include <cstdio>
#include <string>
#include <vector>

#include "books/shelf_tool.h"

namespace {

class FileOutput : public quill::xqb::Output {
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

}  // namespace

int main(int argc, char** argv) {
  FileOutput out(stdout);
  FileOutput err(stderr);
  const quill::xqb::Console console{&out, &err, nullptr};
  const std::vector<std::string> args(argv + 1, argv + argc);
  int code = quill::books::RunShelf(args, console);
  if (std::fflush(stdout) != 0 || out.Failed()) {
    std::fputs("shelf: cannot write to standard output\n", stderr);
    code = quill::xqb::kExitFailure;
  }
  return code;
}
