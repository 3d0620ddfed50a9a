// xqb, the book tool: makes books from word lists and dictd databases,
// shows what a book holds, and looks words up the way the reader does.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace quill::xqb {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNothing = 1;  // find matched nothing, lookup had no entry
inline constexpr int kExitFailure = 2;

class Output {
 public:
  virtual ~Output() = default;
  virtual void Write(const char* bytes, std::size_t n) = 0;
  void Write(const std::string& text) { Write(text.data(), text.size()); }
};

struct Console {
  Output* out;  // results, UTF-8
  Output* err;  // messages and progress, UTF-8
  // Seconds since some fixed moment; paces the progress of long builds.
  std::function<double()> clock;
};

// Runs one command line (the arguments after the program name, UTF-8) and
// returns its exit code.
int RunXqb(const std::vector<std::string>& args, const Console& console);

}  // namespace quill::xqb
