// MainWindow: the find panel's search in every book. The books are the
// open one, the shelf's books present in the installation folder, then the
// books converted from the user's dictionaries, by name: each file once.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "book/files.h"
#include "books/shelf_table.h"
#include "lookup/find_all.h"
#include "lookup/many_books.h"
#include "shell/dictionary_import.h"
#include "shell/main_window.h"
#include "win/wide_text.h"

namespace quill {

namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::string nativeA;
  std::string nativeB;
  FileIdentity x;
  FileIdentity y;
  return NativePath(a, &nativeA) && NativePath(b, &nativeB) && IdentifyFile(nativeA, &x) &&
         IdentifyFile(nativeB, &y) && x == y;
}

}  // namespace

std::vector<std::string> MainWindow::AllBooks() const {
  std::vector<std::string> books;
  if (!session_.OpenPath().empty()) {
    books.push_back(PathToUtf8(session_.OpenPath().c_str()));
  }
  for (const ShelfRow& row : ShelfTable) {
    wchar_t path[kPathUnits];
    const std::wstring file(row.file, row.file + std::char_traits<char>::length(row.file));
    if (installFolder_[0] != 0 && JoinPath(path, installFolder_, file.c_str()) && IsFile(path)) {
      books.push_back(PathToUtf8(path));
    }
  }
  const std::wstring folder = options_.convertedBooksFolder.empty() ? DefaultConvertedBooksFolder()
                                                                    : options_.convertedBooksFolder;
  std::string native;
  std::vector<std::string> names;
  std::string why;
  const std::string utf8 = folder.empty() ? std::string() : PathToUtf8(folder.c_str());
  if (!utf8.empty() && NativePath(utf8, &native) && ListFolder(native, &names, &why)) {
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return !lookup::IsBookName(name); }),
                names.end());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) books.push_back(quill::JoinPath(utf8, name));
  }
  books.erase(std::remove(books.begin(), books.end(), std::string()), books.end());
  return lookup::EachFileOnce(books);
}

LRESULT MainWindow::OnFindPick(const FoundRow* row) {
  if (row == nullptr || row->book.empty()) return 0;
  const std::string book = PathToUtf8(row->book.c_str());
  const bool open = session_.Book().IsOpen() && !session_.OpenPath().empty() &&
                    SameFile(book, PathToUtf8(session_.OpenPath().c_str()));
  if (!open) {
    // Opened as a click on the shelf opens a book, failure message and all.
    const std::size_t slash = row->book.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring(L".") : row->book.substr(0, slash);
    const std::wstring file = slash == std::wstring::npos ? row->book : row->book.substr(slash + 1);
    const BookSwitch outcome = session_.OpenShelfBook(hwnd, folder.c_str(), file.c_str());
    ShowSwitchedBook(outcome);
    if (outcome != BookSwitch::kOpened) return 0;
  }
  const std::wstring key(row->key.begin(), row->key.end());
  if (key.size() >= kInputTextUnits) return 0;
  entry_.SetInput(row->key.c_str());
  entry_.ReadInput();
  ShowTypedEntry();
  SyncWordList();
  RecordInHistory(entry_.Text());
  entry_.ReadyForTyping();
  return 0;
}

}  // namespace quill
