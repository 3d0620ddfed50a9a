// shelf, the tool behind books/build.sh: prints the shelf's catalogue and
// turns open dictionary data into word lists that `xqb build` makes books
// of.
#pragma once

#include <string>
#include <vector>

#include "cli/console.h"

namespace quill::books {

// Runs one command line (the arguments after the program name) and
// returns xqb's exit codes: 0, or kExitFailure with a message on err.
int RunShelf(const std::vector<std::string>& args, const Console& console);

}  // namespace quill::books
