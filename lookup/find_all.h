// Finding the entries that hold one or two terms in many books at once:
// workers on every core take the books largest first, each through a
// BookFile of its own, and the finds are handed back book by book in the
// caller's order. Nothing is indexed, nothing decoded is kept.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "book/match_query.h"

namespace quill::lookup {

// Opens a book (UTF-8 path) for reading: 1, or 0 with the reason in *why,
// without the path ("not a book (it does not start with the XQB
// signature)", "cannot open the file (No such file or directory)").
int OpenToRead(const std::string& path, BookFile& book, std::string* why);

// A buffer that holds any key or content of the book and its terminator:
// textBufferUnits, but never more than a 16-bit byte count can need,
// whatever a damaged header claims.
std::size_t TextUnits(const BookFile& book);

// The key or content of the book's current entry whole, also one that
// holds a NUL unit; empty when it cannot be read.
class WholeText {
 public:
  explicit WholeText(const BookFile& book);
  std::u16string Read(BookFile& book, bool content);

 private:
  int Copy(BookFile& book, bool content, std::size_t capacity);
  std::vector<char16_t> buffer_;
};

// The paths (UTF-8) with every file named more than once kept only where
// it is first named, by the file's identity rather than its path's text;
// a path whose file cannot be identified is kept as it is.
std::vector<std::string> EachFileOnce(const std::vector<std::string>& paths);

// What one book gave.
struct BookFinds {
  bool searched = false;      // false: it could not be searched (why says why)
  std::string why;
  std::u16string title;       // the book's own title, as its header holds it
  std::vector<int> entries;   // the entries that match, in entry order
  std::vector<std::u16string> keys;  // their keys
};

struct FindRequest {
  std::vector<std::string> books;  // UTF-8 paths, in the order the finds are wanted
  MatchQuery query{};              // its startEntry is not used
  std::size_t limit = 300;         // matches per book at the most
  unsigned workers = 0;            // 0: as many as the machine has cores
};

class FindInBooks {
 public:
  FindInBooks();
  FindInBooks(const FindInBooks&) = delete;
  FindInBooks& operator=(const FindInBooks&) = delete;
  // Stops a search under way and waits for its workers.
  ~FindInBooks();

  // Starts searching (after stopping any search under way). progress is
  // called on a worker each time a book is done; it should only signal
  // (post a message), since the worker waits for it.
  void Start(FindRequest request, std::function<void()> progress = nullptr);
  // Ends the search: no book is begun after this, and every worker has
  // finished when it returns (one may first end the book it is scanning).
  void Stop();
  // Waits until every book is done.
  void Wait();

  // How many books the search covers, and how many of them, from the
  // first on, are done: Finds(n) may be read for n < Ready().
  std::size_t Count() const;
  std::size_t Ready() const;
  const BookFinds& Finds(std::size_t book) const;
  // Whether the search was stopped before every book was done.
  bool Stopped() const;

  // For tests: called on the worker before it begins book n, so that a
  // test can hold it there.
  void SetGate(std::function<void(std::size_t book)> gate);

 private:
  struct Search;
  std::unique_ptr<Search> search_;
  std::function<void(std::size_t)> gate_;
};

}  // namespace quill::lookup
