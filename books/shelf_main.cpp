// The shelf program: runs on the machine that makes the books.
#include <cstdio>
#include <string>
#include <vector>

#include "books/shelf_tool.h"
#include "cli/file_output.h"

int main(int argc, char** argv) {
  quill::FileOutput out(stdout);
  quill::FileOutput err(stderr);
  const quill::Console console{&out, &err, nullptr};
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quill::FinishStandardOutput(quill::books::RunShelf(args, console), out,
                                          "shelf: cannot write to standard output\n");
}
