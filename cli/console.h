// What the command-line programs (xqb, the shelf pipeline) write to and the
// exit codes they end with: results and messages go to Outputs, UTF-8.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quill {

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

}  // namespace quill
