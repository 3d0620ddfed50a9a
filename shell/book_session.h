// BookSession: the open book and where it came from. It opens the first
// book through its fallbacks, switches books for the shelf and the
// open-file command, reopens the remembered book after a failure (telling
// the user), and names the book in the status bar and the shelf. The views
// read the book through Book() and never own it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "book/book_file.h"
#include "book/buffer_sizes.h"
#include "lookup/book_keys.h"

namespace quill {

// How a switch to another book ended.
enum class BookSwitch {
  kOpened,    // the wanted book is open
  kReopened,  // it failed (the user was told); the remembered book is open again
  kNoBook,    // that failed too: no book is open and the word list is empty
};

// Asks the user for a book file: fills path and title (kPathUnits each),
// true when one was chosen.
using BookChooser = std::function<bool(wchar_t* path, wchar_t* title)>;

// Joins a folder and a file name with a backslash into destination
// (kPathUnits units): true, or false when the result would not fit
// (nothing is cut; destination then holds an empty string).
[[nodiscard]] bool JoinPath(wchar_t* destination, const wchar_t* folder, const wchar_t* fileName);

// The book file error every open failure shows.
void ShowBookOpenError(HWND owner);

class BookSession {
 public:
  // The word list that mirrors the open book's entries (one row each).
  void SetWordList(HWND wordList) { wordList_ = wordList; }

  BookFile& Book() { return book_; }
  // Set once the first book is open, and kept even while a failed switch
  // leaves no book open: the views then show that there is nothing.
  bool Started() const { return started_; }
  void MarkStarted() { started_ = true; }

  // The book remembered across runs (XQB_PATH): the last one opened through
  // the settings, a default or the open-file dialog, never a shelf book.
  const wchar_t* Path() const { return path_; }
  // The path of the book open now, whichever way it was opened; empty with
  // no book open.
  const std::wstring& OpenPath() const { return openPath_; }
  // Takes the path remembered by the last run (cut to kPathUnits).
  void Remember(const std::wstring& path);

  // Opens the first book: the remembered one, the first default in folder,
  // one the user chooses, the second default. False after the error was
  // shown to owner.
  [[nodiscard]] bool OpenFirst(HWND owner, const wchar_t* folder, const BookChooser& choose);

  // Opens fileName in folder without remembering it.
  BookSwitch OpenShelfBook(HWND owner, const wchar_t* folder, const wchar_t* fileName);
  // Opens the remembered book again.
  BookSwitch Reopen(HWND owner);
  // Asks for a book and opens it as the remembered one. False when the user
  // chose none (the open book stays).
  bool OpenChosen(HWND owner, const BookChooser& choose, BookSwitch* outcome);

  // Shows the book's title in part 0 of statusBar (empty for no book).
  void ShowTitle(HWND statusBar) const;
  void Close() {
    keys_.Stop();
    book_.Close();
    openPath_.clear();
  }

  // Every key of the open book, which a miss's offers need: collected in
  // the background from the moment the book opens, waited for here should
  // a miss come first. nullptr with no book open, or when its keys cannot
  // all be read (it then offers nothing).
  const lookup::BookKeys* Keys() { return keys_.Wait(); }

 private:
  [[nodiscard]] bool OpenAt(const wchar_t* path);
  // Asks for a book: true with path_ and chosenTitle_ set to the choice.
  [[nodiscard]] bool Choose(const BookChooser& choose);
  // After a failed open: the remembered book again, or none.
  BookSwitch Recover(HWND owner);
  void EmptyWordList();

  BookFile book_;
  lookup::KeysInBackground keys_;
  std::wstring openPath_;
  HWND wordList_ = nullptr;
  bool started_ = false;
  wchar_t path_[kPathUnits] = {};
  // The file name part of the last chosen book, as the open-file dialog fills it.
  wchar_t chosenTitle_[kPathUnits] = {};
};

}  // namespace quill
