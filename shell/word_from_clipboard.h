// Copy twice to look up: the rules that turn clipboard changes into a word.
// Free of the platform so that the timing and the text rules are plain to
// test; ClipboardWatch feeds it what the clipboard holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace quill {

// Two copies of the same text at most this far apart are a request.
inline constexpr std::uint32_t kDoubleCopyMilliseconds = 500;

// The word a copied text asks for: without the white space around it, its
// first line only, and at most maxUnits units (cut at a character, never
// inside a surrogate pair). Empty when nothing is left.
std::u16string WordFromCopiedText(const std::u16string& text, std::size_t maxUnits);

class DoubleCopy {
 public:
  // One change of the clipboard at time now (milliseconds, wrapping like
  // GetTickCount): text is what it holds, none when it holds no text. The
  // second of two changes with the same text at most 500 ms apart gives
  // that text; a third starts over.
  std::optional<std::u16string> Changed(std::uint32_t now, const std::optional<std::u16string>& text);

 private:
  std::optional<std::u16string> last_;
  std::uint32_t lastTime_ = 0;
};

}  // namespace quill
