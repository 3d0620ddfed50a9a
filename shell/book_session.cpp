#include "shell/book_session.h"

#include <commctrl.h>

#include <cwchar>
#include <string>

#include "books/shelf_table.h"
#include "display/show_entry.h"
#include "win/message_box.h"
#include "win/wide_text.h"

namespace quill {

namespace {

// The two default books are rows of the shelf.
const std::wstring kDefaultBookA = Widen(ShelfTable[kFirstDefaultBookRow].file);
const std::wstring kDefaultBookB = Widen(ShelfTable[kSecondDefaultBookRow].file);

// The list view behind OpenBook's word list.
class ListViewSink : public WordListSink {
 public:
  explicit ListViewSink(HWND list) : list_(list) {}
  void DeleteAllItems() override { SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0); }
  void SetItemCount(int count) override {
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0);
  }

 private:
  HWND list_;
};

}  // namespace

bool JoinPath(wchar_t* destination, const wchar_t* folder, const wchar_t* fileName) {
  const std::size_t folderUnits = std::wcslen(folder);
  const std::size_t fileUnits = std::wcslen(fileName);
  if (folderUnits + 1 + fileUnits >= kPathUnits) {
    destination[0] = 0;
    return false;
  }
  std::wmemcpy(destination, folder, folderUnits);
  destination[folderUnits] = L'\\';
  std::wmemcpy(destination + folderUnits + 1, fileName, fileUnits + 1);
  return true;
}

void ShowBookOpenError(HWND owner) { ShowError(owner, "Xqb File open error."); }

bool BookSession::OpenAt(const wchar_t* path) {
  keys_.Stop();
  openPath_.clear();
  const std::string utf8 = PathToUtf8(path);
  if (utf8.empty()) return false;
  ListViewSink sink(wordList_);
  if (OpenBook(book_, utf8.c_str(), &sink) != 1) return false;
  keys_.Start(utf8);
  openPath_ = path;
  return true;
}

bool BookSession::OpenFirst(HWND owner, const wchar_t* folder, const BookChooser& choose) {
  bool opened = path_[0] != 0 && OpenAt(path_);
  if (!opened && JoinPath(path_, folder, kDefaultBookA.c_str())) opened = OpenAt(path_);
  if (!opened && Choose(choose)) opened = OpenAt(path_);
  if (!opened && JoinPath(path_, folder, kDefaultBookB.c_str())) opened = OpenAt(path_);
  if (!opened) ShowBookOpenError(owner);
  return opened;
}

BookSwitch BookSession::OpenShelfBook(HWND owner, const wchar_t* folder, const wchar_t* fileName) {
  book_.Close();
  wchar_t path[kPathUnits];
  const bool joined = folder != nullptr && fileName != nullptr && JoinPath(path, folder, fileName);
  if (joined && OpenAt(path)) return BookSwitch::kOpened;
  return Recover(owner);
}

BookSwitch BookSession::Reopen(HWND owner) {
  book_.Close();
  if (OpenAt(path_)) return BookSwitch::kOpened;
  ShowBookOpenError(owner);
  EmptyWordList();
  return BookSwitch::kNoBook;
}

// The dialog starts at the remembered path; only a choice replaces it, so
// that a dictionary that failed to convert leaves the remembered book be.
bool BookSession::Choose(const BookChooser& choose) {
  wchar_t path[kPathUnits];
  wchar_t title[kPathUnits];
  std::wmemcpy(path, path_, kPathUnits);
  std::wmemcpy(title, chosenTitle_, kPathUnits);
  if (!choose(path, title)) return false;
  std::wmemcpy(path_, path, kPathUnits);
  std::wmemcpy(chosenTitle_, title, kPathUnits);
  return true;
}

bool BookSession::OpenChosen(HWND owner, const BookChooser& choose, BookSwitch* outcome) {
  if (!Choose(choose)) return false;
  book_.Close();
  *outcome = BookSwitch::kOpened;
  if (!OpenAt(path_)) {
    ShowBookOpenError(owner);
    EmptyWordList();
    *outcome = BookSwitch::kNoBook;
  }
  return true;
}

BookSwitch BookSession::Recover(HWND owner) {
  ShowBookOpenError(owner);
  if (OpenAt(path_)) return BookSwitch::kReopened;
  EmptyWordList();
  return BookSwitch::kNoBook;
}

// After a failed reopen no book is open: nothing may read it, and the list
// shows that there is nothing to pick.
void BookSession::EmptyWordList() {
  ListViewSink sink(wordList_);
  sink.DeleteAllItems();
  sink.SetItemCount(0);
}

void BookSession::Remember(const std::wstring& path) {
  lstrcpynW(path_, path.c_str(), kPathUnits);
}

void BookSession::ShowTitle(HWND statusBar) const { ShowBookTitle(book_, statusBar); }

}  // namespace quill
