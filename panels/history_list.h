// HistoryList: the words looked up during this run, oldest first, for the
// history popup. It holds UTF-16 text exactly as the main window had it and
// knows nothing of books.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quill {

class HistoryList {
 public:
  explicit HistoryList(std::int32_t initialCapacity) : capacity(initialCapacity) {}
  virtual ~HistoryList() = default;

  // Records a looked-up word: an empty text and a repeat of the newest
  // word are ignored; when full, the oldest word makes room. The capacity
  // is compared as an unsigned number, so 0 and 1 keep just the newest
  // word and a negative one never drops a word.
  void Add(const char16_t* text);
  // Copies word index (0 the oldest) with its terminator into destination
  // (units long): true, or false with destination untouched when there
  // is no such word or it does not fit whole.
  [[nodiscard]] bool ItemAt(int index, char16_t* destination, std::size_t units) const;
  int Count() const { return static_cast<int>(items_.size()); }

  std::int32_t capacity;

 private:
  std::vector<std::u16string> items_;
};

}  // namespace quill
