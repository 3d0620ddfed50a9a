#include "panels/history_list.h"

#include <cstring>

namespace quill {

void HistoryList::Add(const char16_t* text) {
  if (text == nullptr || text[0] == 0) return;
  if (!items_.empty() && items_.back() == text) return;
  if (!items_.empty() &&
      static_cast<std::uint32_t>(items_.size()) >= static_cast<std::uint32_t>(capacity)) {
    items_.erase(items_.begin());
  }
  items_.emplace_back(text);
}

bool HistoryList::ItemAt(int index, char16_t* destination, std::size_t units) const {
  if (index < 0 || index >= Count()) return false;
  const std::u16string& word = items_[static_cast<std::size_t>(index)];
  if (word.size() + 1 > units) return false;
  std::memcpy(destination, word.c_str(), (word.size() + 1) * sizeof(char16_t));
  return true;
}

}  // namespace quill
