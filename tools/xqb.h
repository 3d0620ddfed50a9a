// xqb, the book tool: makes books from word lists and dictd, StarDict and
// DSL dictionaries, shows what a book holds, and looks words up the way the
// reader does.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

namespace quill::xqb {

// Runs one command line (the arguments after the program name, UTF-8) and
// returns its exit code.
int RunXqb(const std::vector<std::string>& args, const Console& console);

}  // namespace quill::xqb
