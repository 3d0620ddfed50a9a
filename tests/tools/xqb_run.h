// xqb's commands run in this process, the way the program runs them, with
// what they write kept for the tests to read.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tools/xqb.h"

namespace quill::xqb::testing {

class StringOutput : public Output {
 public:
  void Write(const char* bytes, std::size_t n) override { text.append(bytes, n); }
  std::string text;
};

struct Result {
  int code;
  std::string out;
  std::string err;
};

inline Result Xqb(const std::vector<std::string>& args, std::function<double()> clock = {}) {
  StringOutput out;
  StringOutput err;
  const Console console{&out, &err, std::move(clock)};
  const int code = RunXqb(args, console);
  return {code, out.text, err.text};
}

}  // namespace quill::xqb::testing
