#include "panels/history_list.h"

#include <cstring>

namespace quill {

void HistoryList::Add(const char* text) {
  if (text == nullptr || text[0] == 0) return;
  if (!items_.empty() && items_.back() == text) return;
  if (!items_.empty() &&
      static_cast<std::uint32_t>(items_.size()) >= static_cast<std::uint32_t>(capacity)) {
    items_.erase(items_.begin());
  }
  items_.emplace_back(text);
}

int HistoryList::ItemAt(int index, char* destination, std::size_t size) const {
  if (index < 0 || index >= Count()) return 0;
  const std::string& word = items_[static_cast<std::size_t>(index)];
  if (word.size() + 1 > size) return 0;
  std::memcpy(destination, word.c_str(), word.size() + 1);
  return 1;
}

}  // namespace quill
