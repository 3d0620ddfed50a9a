// Answering a word over one book or many: which books a name stands for,
// how one open book answers a look-up, and which of its entries a find
// matches. xqb and the program share it; how answers are shown is theirs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "book/match_query.h"
#include "lookup/offers.h"

namespace quill::lookup {

// A book's file name ends in ".xqb", in any case; the books of a folder
// are the files so named directly in it.
bool IsBookName(const std::string& name);

// True when path (UTF-8) names a folder.
bool IsFolderPath(const std::string& path);

// The books one name (UTF-8) stands for: the name itself, or the books of
// the folder it names in file-name order. Returns 1, or 0 with one line in
// *why naming the folder when it cannot be listed or holds no books.
int BooksNamed(const std::string& path, std::vector<std::string>* books, std::string* why);

// How a book answers a look-up; better answers sort first.
enum class Answer { kFound, kOffered, kNearest, kNoEntries };

// Looks word up in an open book: the entry of the word itself; for a miss,
// the entry of the first word the book offers (OfferWords, over keys
// collected from the book for it; *offers gets them all), else the nearest
// entry to the word. The book's cursor is left on that entry. A book whose
// keys cannot all be read offers nothing (its DamagedBlock() tells).
Answer LookUpWord(BookFile& book, const std::u16string& word, std::vector<Offer>* offers);

// The entries of an open book that match query, in entry order, at most
// limit of them; query.startEntry is where the search starts.
std::vector<int> FindEntries(BookFile& book, MatchQuery query, std::size_t limit);

}  // namespace quill::lookup
