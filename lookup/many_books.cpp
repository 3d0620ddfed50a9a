#include "lookup/many_books.h"

#include <algorithm>

#include "book/files.h"

namespace quill::lookup {

bool IsBookName(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ending == ".xqb";
}

bool IsFolderPath(const std::string& path) {
  std::string native;
  return NativePath(path, &native) && IsFolder(native);
}

int BooksNamed(const std::string& path, std::vector<std::string>* books, std::string* why) {
  books->clear();
  if (!IsFolderPath(path)) {
    books->push_back(path);
    return 1;
  }
  std::string native;
  NativePath(path, &native);
  std::vector<std::string> names;
  std::string reason;
  if (!ListFolder(native, &names, &reason)) {
    *why = path + ": cannot list the folder (" + reason + ")";
    return 0;
  }
  names.erase(std::remove_if(names.begin(), names.end(),
                             [](const std::string& name) { return !IsBookName(name); }),
              names.end());
  if (names.empty()) {
    *why = path + ": no books (*.xqb) in the folder";
    return 0;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) books->push_back(JoinPath(path, name));
  return 1;
}

Answer LookUpWord(BookFile& book, const std::u16string& word,
                  const std::vector<std::u16string>& bases, std::size_t* base) {
  if (book.EntryCount() == 0) return Answer::kNoEntries;
  auto find = [&book](const std::u16string& w) {
    std::vector<char16_t> scratch(w.begin(), w.end());
    scratch.push_back(0);
    return book.FindWord(scratch.data());
  };
  if (find(word)) return Answer::kFound;
  const int nearest = book.CurrentEntry();
  for (std::size_t b = 0; b < bases.size(); ++b) {
    if (find(bases[b])) {
      *base = b;
      return Answer::kFoundBase;
    }
    book.SetCurrentEntry(nearest);
  }
  return Answer::kNearest;
}

std::vector<int> FindEntries(BookFile& book, MatchQuery query, std::size_t limit) {
  const int count = book.EntryCount();
  std::vector<int> matches;
  int previous = query.startEntry - 1;
  while (matches.size() < limit && previous + 1 < count) {
    query.startEntry = previous + 1;
    if (book.FindNextMatch(query) != 1) break;
    previous = book.CurrentEntry();
    matches.push_back(previous);
  }
  return matches;
}

}  // namespace quill::lookup
