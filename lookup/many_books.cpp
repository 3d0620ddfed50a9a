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

Answer LookUpWord(BookFile& book, const std::u16string& word, std::vector<Offer>* offers) {
  offers->clear();
  if (book.EntryCount() == 0) return Answer::kNoEntries;
  std::vector<char16_t> scratch(word.begin(), word.end());
  scratch.push_back(0);
  if (book.FindWord(scratch.data())) return Answer::kFound;
  const int nearest = book.CurrentEntry();
  BookKeys keys;
  if (keys.Collect(book)) *offers = OfferWords(keys, word);
  if (offers->empty()) {
    book.SetCurrentEntry(nearest);
    return Answer::kNearest;
  }
  book.SetCurrentEntry(static_cast<int>(offers->front().entry));
  return Answer::kOffered;
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
