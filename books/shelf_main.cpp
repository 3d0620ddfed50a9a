// The shelf program: runs on the machine that makes the books.
#include <cstdio>
#include <string>
#include <vector>

#include "books/shelf_tool.h"
#include "import/file_output.h"

int main(int argc, char** argv) {
  quill::xqb::FileOutput out(stdout);
  quill::xqb::FileOutput err(stderr);
  const quill::xqb::Console console{&out, &err, nullptr};
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quill::xqb::FinishStandardOutput(quill::books::RunShelf(args, console), out,
                                          "shelf: cannot write to standard output\n");
}
