#include "tools/xqb.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "book/book_builder.h"
#include "book/book_file.h"
#include "book/book_format.h"
#include "book/decoder.h"
#include "book/file_mapping.h"
#include "book/match_query.h"
#include "import/convert.h"
#include "book/files.h"
#include "import/tsv_reader.h"
#include "lookup/book_keys.h"
#include "lookup/find_all.h"
#include "lookup/many_books.h"
#include "book/utf.h"

namespace quill::xqb {

// xqb is the command line of the import readers and the conversion.
using namespace quill::import;

namespace {

constexpr const char* kCommands = "build, info, lookup, suggest, find, dump";
constexpr std::size_t kDefaultFindLimit = 300;

int Fail(const Console& console, const std::string& message) {
  console.err->Write(message + "\n");
  return kExitFailure;
}

// Gathers results and hands them on in large pieces.
class Results {
 public:
  explicit Results(Output& out) : out_(out) {}
  Results(const Results&) = delete;
  Results& operator=(const Results&) = delete;
  ~Results() { Flush(); }
  std::string& Text() { return text_; }
  void Put(const std::string& s) { text_ += s; }
  void Line() {
    text_ += '\n';
    if (text_.size() >= (std::size_t{1} << 16)) Flush();
  }
  void Flush() {
    if (!text_.empty()) out_.Write(text_);
    text_.clear();
  }

 private:
  Output& out_;
  std::string text_;
};

bool ParseCount(const std::string& text, std::size_t limit, std::size_t* value) {
  if (text.empty() || text.size() > 18) return false;
  std::size_t v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<std::size_t>(c - '0');
  }
  if (v > limit) return false;
  *value = v;
  return true;
}

// A character code: decimal, or hexadecimal after "0x".
bool ParseCode(const std::string& text, unsigned* value) {
  unsigned v = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() > 6) return false;
    for (std::size_t i = 2; i < text.size(); ++i) {
      const char c = text[i];
      unsigned digit = 0;
      if (c >= '0' && c <= '9') {
        digit = static_cast<unsigned>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        digit = static_cast<unsigned>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        digit = static_cast<unsigned>(c - 'A' + 10);
      } else {
        return false;
      }
      v = v * 16 + digit;
    }
    *value = v;
    return true;
  }
  std::size_t decimal = 0;
  if (!ParseCount(text, 0xFFFF, &decimal)) return false;
  *value = static_cast<unsigned>(decimal);
  return true;
}

// ---------------------------------------------------------------- arguments

struct Arguments {
  std::vector<std::string> positional;
  std::string output;
  std::string title;
  std::string separator;
  std::string limit;
  std::string threads;
  bool haveOutput = false;
  bool haveTitle = false;
  bool haveSeparator = false;
  bool haveLimit = false;
  bool haveThreads = false;
  bool cut = false;
};

int ParseArguments(const std::vector<std::string>& args, const std::string& command,
                   Arguments* parsed, std::string* problem) {
  const bool build = command == "build";
  const bool find = command == "find";
  bool optionsEnded = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
      parsed->positional.push_back(a);
      continue;
    }
    if (a == "--") {
      optionsEnded = true;
      continue;
    }
    std::string* value = nullptr;
    bool* seen = nullptr;
    if (build && (a == "-o" || a == "--output")) {
      value = &parsed->output;
      seen = &parsed->haveOutput;
    } else if (build && a == "--title") {
      value = &parsed->title;
      seen = &parsed->haveTitle;
    } else if (build && a == "--separator") {
      value = &parsed->separator;
      seen = &parsed->haveSeparator;
    } else if (build && a == "--cut") {
      parsed->cut = true;
      continue;
    } else if (find && a == "--limit") {
      value = &parsed->limit;
      seen = &parsed->haveLimit;
    } else if (find && a == "--threads") {
      value = &parsed->threads;
      seen = &parsed->haveThreads;
    } else {
      *problem = "unknown option " + a + " for " + command +
                 " (a word that starts with \"-\" goes after \"--\")";
      return 0;
    }
    if (*seen) {
      *problem = a + " given twice";
      return 0;
    }
    if (i + 1 == args.size()) {
      *problem = a + " needs a value";
      return 0;
    }
    *value = args[++i];
    *seen = true;
  }
  return 1;
}

// ---------------------------------------------------------------- reading books

using lookup::TextUnits;

// Opens a book, checking its header and indexes but not its blocks: a
// command reads only what its answer needs, then ReportDamage says whether
// that went through a damaged block.
int OpenForReading(const std::string& path, BookFile& book, const Console& console) {
  std::string why;
  if (!lookup::OpenToRead(path, book, &why)) return Fail(console, path + ": " + why);
  return kExitOk;
}

std::string DamagedBlockMessage(const std::string& path, int block) {
  return path + ": damaged book (block " + std::to_string(block) + " cannot be read)";
}

// After a command's reads: a failure naming the file when one of them met a
// damaged block, since the answer would be wrong (a key or content read as
// empty); the book is closed then.
int ReportDamage(const std::string& path, BookFile& book, const Console& console) {
  const int block = book.DamagedBlock();
  if (block < 0) return kExitOk;
  book.Close();
  return Fail(console, DamagedBlockMessage(path, block));
}

// Opens a book and makes sure that every entry of it can be read before
// anything is written, for a command that reads all of it.
int OpenChecked(const std::string& path, BookFile& book, const Console& console) {
  if (OpenForReading(path, book, console) != kExitOk) return kExitFailure;
  const int count = book.EntryCount();
  const std::size_t units = TextUnits(book);
  std::vector<char16_t> text(units);
  for (int n = 0; n < count; ++n) {
    book.SetCurrentEntry(n);
    if (!book.ReadKey(text.data(), units) || !book.ReadContent(text.data(), units)) {
      book.Close();
      return Fail(console, path + ": damaged book (entry " + std::to_string(n) +
                               " cannot be read from its block)");
    }
  }
  book.SetCurrentEntry(0);
  return kExitOk;
}

// The unit that stands for a line break in the book's contents, as the
// reader tests it: the separator's low byte taken as a signed byte, so only
// 0x01 to 0x7F can match; 0 when none can.
char16_t SeparatorUnit(const BookFile& book) {
  const auto low = static_cast<std::int8_t>(book.Header().lineSeparator & 0xFF);
  return low > 0 ? static_cast<char16_t>(low) : char16_t{0};
}

// Reads the current entry's key or content whole, also one that holds a NUL.
using TextReader = lookup::WholeText;

// ---------------------------------------------------------------- build

// Paces the notes of how far a long step has come: none in its first
// second, then one a second at the most; none without a clock.
class ProgressNotes {
 public:
  explicit ProgressNotes(const Console& console)
      : console_(console), start_(Now()), last_(start_) {}

  // Whether a note is due now; when it is, the caller writes it.
  bool Due() {
    if (!console_.clock) return false;
    const double now = Now();
    if (now - start_ < 1.0 || now - last_ < 1.0) return false;
    last_ = now;
    told_ = true;
    return true;
  }
  bool Told() const { return told_; }

 private:
  double Now() const { return console_.clock ? console_.clock() : 0.0; }

  const Console& console_;
  double start_;
  double last_;
  bool told_ = false;
};

std::string Percent(std::uint64_t done, std::uint64_t total) {
  return std::to_string(total == 0 ? 100 : done * 100 / total) + "%";
}

void Note(const Console& console, const std::string& message) {
  console.err->Write("xqb: " + message + "\n");
}

// Converts with notes of how far it has come on console.err, then the
// conversion's own notes, and its reason when it failed.
int Convert(ConvertRequest request, const Console& console) {
  ProgressNotes readingNotes(console);
  ProgressNotes buildingNotes(console);
  request.reading = [&](std::uint64_t done, std::uint64_t total) {
    if (readingNotes.Due()) Note(console, "reading " + request.input + ": " + Percent(done, total));
  };
  request.progress = [&](std::size_t done, std::size_t total) {
    if (buildingNotes.Due()) {
      Note(console, "building " + request.output + ": " + Percent(done, total) + " of " +
                        std::to_string(total) + " entries");
    }
  };
  const ConvertResult result = ConvertToBook(request);
  for (const std::string& note : result.notes) Note(console, note);
  if (result.status != ConvertStatus::kDone) {
    return Fail(console, result.reason + (result.cuttable ? " (--cut cuts it)" : ""));
  }
  if (readingNotes.Told() || buildingNotes.Told()) Note(console, "built " + request.output);
  return kExitOk;
}

int RunBuild(const Arguments& a, const Console& console) {
  if (a.positional.size() != 1) {
    return Fail(console, "xqb: build takes one INPUT (a word list, a dictd .index, a StarDict .ifo or a "
                         "DSL .dsl) and -o BOOK");
  }
  if (!a.haveOutput || a.output.empty()) return Fail(console, "xqb: build needs -o BOOK");
  ConvertRequest request;
  request.input = a.positional[0];
  request.output = a.output;
  request.cut = a.cut;
  request.split = !a.cut;
  if (a.haveSeparator) {
    unsigned code = 0;
    if (!ParseCode(a.separator, &code) || code < 1 || code > 0x7F) {
      return Fail(console, "xqb: --separator " + a.separator +
                               ": give a character code from 1 to 127 (0x01 to 0x7F)");
    }
    request.lineSeparator = static_cast<std::int32_t>(code);
  }
  if (a.haveTitle) {
    if (!Utf8ToUtf16(a.title, &request.title)) {
      return Fail(console, "xqb: --title is not valid UTF-8");
    }
    if (request.title.size() > kTitleUnits - 1 && !a.cut) {
      return Fail(console, "xqb: --title \"" + a.title + "\": longer than 21 units (--cut cuts it)");
    }
    request.haveTitle = true;
  }
  return Convert(request, console);
}

// ---------------------------------------------------------------- info

// Sizes that only the block index tells: every stored block is decoded once
// more to learn its length. 0 with *damaged set when one cannot be.
int MeasureBook(const std::string& native, const BookHeader& h, std::uint64_t* fileBytes,
                std::uint64_t* stored, std::uint64_t* decoded, int* damaged) {
  FileMapping file;
  if (!file.Open(native.c_str())) return 0;
  *fileBytes = file.Size();
  const std::size_t indexBytes = std::size_t{h.blockCount} * sizeof(BlockIndexRecord);
  std::vector<BlockIndexRecord> blocks(h.blockCount == 0 ? 1 : h.blockCount);
  if (DecodeStored(file.Data() + h.blockIndexOffset, reinterpret_cast<std::uint8_t*>(blocks.data()),
                   h.blockIndexSize, indexBytes) < 0) {
    return 0;
  }
  *stored = std::uint64_t{h.blockIndexSize} + h.entryIndexSize;
  *decoded = indexBytes + std::uint64_t{static_cast<std::uint32_t>(h.entryCount)} *
                              sizeof(EntryIndexRecord);
  // The reader's own bound: nothing decodes to more than kMaxDecodedBlockBytes.
  std::vector<std::uint8_t> block(std::min<std::size_t>(h.maxBlockSize, kMaxDecodedBlockBytes));
  for (std::uint32_t b = 0; b < h.blockCount; ++b) {
    const BlockIndexRecord& r = blocks[b];
    const std::ptrdiff_t n = DecodeStored(file.Data() + r.fileOffset, block.data(), r.storedBytes,
                                          block.size());
    if (n < 0) {
      *damaged = static_cast<int>(b);
      return 0;
    }
    *stored += r.storedBytes;
    *decoded += static_cast<std::uint64_t>(n);
  }
  return 1;
}

int RunInfo(const Arguments& a, const Console& console) {
  if (a.positional.size() != 1) return Fail(console, "xqb: info takes one BOOK");
  const std::string& path = a.positional[0];
  BookFile book;
  if (OpenForReading(path, book, console) != kExitOk) return kExitFailure;
  const BookHeader h = book.Header();
  book.Close();
  std::string native;
  NativePath(path, &native);
  std::uint64_t fileBytes = 0;
  std::uint64_t stored = 0;
  std::uint64_t decoded = 0;
  int damaged = -1;
  if (!MeasureBook(native, h, &fileBytes, &stored, &decoded, &damaged)) {
    return Fail(console, damaged >= 0 ? DamagedBlockMessage(path, damaged)
                                      : path + ": damaged book (its block index cannot be read)");
  }
  char separator[16];
  std::snprintf(separator, sizeof separator, "0x%02X", static_cast<unsigned>(h.lineSeparator));
  char ratio[32];
  std::snprintf(ratio, sizeof ratio, "%.3f",
                decoded == 0 ? 1.0 : static_cast<double>(stored) / static_cast<double>(decoded));
  std::string title;
  std::size_t titleUnits = 0;
  while (titleUnits < kTitleUnits && h.title[titleUnits] != 0) ++titleUnits;
  AppendUtf8(h.title, titleUnits, &title);

  Results out(*console.out);
  out.Put("title: " + title);
  out.Line();
  out.Put("entries: " + std::to_string(h.entryCount));
  out.Line();
  out.Put("blocks: " + std::to_string(h.blockCount));
  out.Line();
  out.Put("textBufferUnits: " + std::to_string(h.textBufferUnits));
  out.Line();
  out.Put("maxBlockSize: " + std::to_string(h.maxBlockSize));
  out.Line();
  out.Put(std::string("separator: ") + separator);
  out.Line();
  out.Put("file size: " + std::to_string(fileBytes) + " bytes");
  out.Line();
  out.Put("stored/decoded: " + std::to_string(stored) + "/" + std::to_string(decoded) +
          " bytes (" + ratio + ")");
  out.Line();
  return kExitOk;
}

// ---------------------------------------------------------------- lookup, find

// Text as lookup shows it: the book's line separators as line breaks.
std::string ShownContent(const std::u16string& content, char16_t separator) {
  std::string out;
  std::size_t run = 0;
  for (std::size_t i = 0; i < content.size(); ++i) {
    if (separator == 0 || content[i] != separator) continue;
    AppendUtf8(content.data() + run, i - run, &out);
    out += '\n';
    run = i + 1;
  }
  AppendUtf8(content.data() + run, content.size() - run, &out);
  return out;
}

// The books one argument names: itself, or the books of a folder. 0 when
// the folder cannot be listed or holds none (said on stderr).
int BooksNamed(const std::string& path, const Console& console, std::vector<std::string>* books) {
  std::string why;
  if (lookup::BooksNamed(path, books, &why)) return 1;
  Fail(console, why);
  return 0;
}

// A book as a heading names it: its title and its file name.
std::string BookHeading(const std::string& path, const BookFile& book) {
  const BookHeader& h = book.Header();
  std::size_t units = 0;
  while (units < kTitleUnits && h.title[units] != 0) ++units;
  std::string title;
  AppendUtf8(h.title, units, &title);
  const std::size_t slash = path.find_last_of("/\\");
  std::string heading = "== " + (title.empty() ? "" : title + " (") +
                        (slash == std::string::npos ? path : path.substr(slash + 1)) +
                        (title.empty() ? "" : ")");
  // One line, whatever a title from elsewhere holds.
  for (char& c : heading) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return heading;
}

using lookup::Answer;

struct BookAnswer {
  Answer kind;
  std::string heading;
  std::string text;  // the lines of the answer, each ending in "\n"
};

// Looks the word up in one book; when the book lacks it, the note of what
// it offers and the first offer's entry. 0 when the book cannot be read
// (said on stderr).
int LookupInBook(const std::string& path, const std::u16string& word, const Console& console,
                 BookAnswer* answer) {
  BookFile book;
  if (OpenForReading(path, book, console) != kExitOk) return 0;
  answer->heading = BookHeading(path, book);
  answer->text.clear();
  std::vector<lookup::Offer> offers;
  answer->kind = lookup::LookUpWord(book, word, &offers);
  if (answer->kind == Answer::kNoEntries) {
    book.Close();
    return 1;
  }
  if (answer->kind == Answer::kOffered) answer->text = ToUtf8(lookup::MissNote(word, offers)) + "\n";
  const int entry = book.CurrentEntry();
  TextReader reader(book);
  const std::u16string key = reader.Read(book, false);
  const std::u16string content = reader.Read(book, true);
  // Every key the look-ups compared and the entry shown.
  if (ReportDamage(path, book, console) != kExitOk) return 0;
  answer->text += (answer->kind == Answer::kNearest ? "nearest " : "found ") + std::to_string(entry) +
                  "\n" + ToUtf8(key) + "\n" + ShownContent(content, SeparatorUnit(book)) + "\n";
  book.Close();
  return 1;
}

// lookup BOOK... WORD: the last argument is the word, every one before it a
// book or a folder of books. One book answers as it always has; several
// answer each under a heading, those that hold the word first. A book that
// cannot be read is named on stderr, the others still answer, and the exit
// code is then kExitFailure.
int RunLookup(const Arguments& a, const Console& console) {
  if (a.positional.size() < 2) return Fail(console, "xqb: lookup takes BOOK and WORD");
  std::u16string word;
  if (!Utf8ToUtf16(a.positional.back(), &word)) return Fail(console, "xqb: WORD is not valid UTF-8");
  const std::vector<std::string> given(a.positional.begin(), a.positional.end() - 1);
  if (given.size() == 1 && !lookup::IsFolderPath(given[0])) {
    BookAnswer answer;
    if (!LookupInBook(given[0], word, console, &answer)) return kExitFailure;
    if (answer.kind == Answer::kNoEntries) return kExitNothing;
    console.out->Write(answer.text);
    return kExitOk;
  }
  bool failed = false;
  std::vector<BookAnswer> answers;
  std::vector<std::string> books;
  for (const std::string& named : given) {
    if (!BooksNamed(named, console, &books)) failed = true;
    for (const std::string& path : books) {
      BookAnswer answer;
      if (LookupInBook(path, word, console, &answer)) {
        answers.push_back(std::move(answer));
      } else {
        failed = true;
      }
    }
  }
  std::stable_sort(answers.begin(), answers.end(), [](const BookAnswer& x, const BookAnswer& y) {
    return x.kind < y.kind;
  });
  Results out(*console.out);
  bool answered = false;
  for (const BookAnswer& answer : answers) {
    if (&answer != &answers.front()) out.Line();
    out.Put(answer.heading);
    out.Line();
    out.Put(answer.kind == Answer::kNoEntries ? std::string("no entries\n") : answer.text);
    answered = answered || answer.kind != Answer::kNoEntries;
  }
  out.Flush();
  if (failed) return kExitFailure;
  return answered ? kExitOk : kExitNothing;
}

// The words one book offers for word, a line each: the word, a tab and its
// distance, and for a base form a tab and "base form". 0 when the book
// cannot be read (said on stderr).
int SuggestInBook(const std::string& path, const std::u16string& word, const Console& console,
                  std::string* heading, std::string* lines) {
  BookFile book;
  if (OpenForReading(path, book, console) != kExitOk) return 0;
  *heading = BookHeading(path, book);
  lines->clear();
  lookup::BookKeys keys;
  keys.Collect(book);
  if (ReportDamage(path, book, console) != kExitOk) return 0;
  for (const lookup::Offer& offer : lookup::OfferWords(keys, word)) {
    *lines += ToUtf8(offer.word) + "\t" + std::to_string(offer.distance) +
              (offer.baseForm ? "\tbase form\n" : "\n");
  }
  book.Close();
  return 1;
}

// suggest BOOK... WORD: what each book offers for a word it lacks, in the
// order the program offers them. Several books answer under headings, in
// the order given.
int RunSuggest(const Arguments& a, const Console& console) {
  if (a.positional.size() < 2) return Fail(console, "xqb: suggest takes BOOK and WORD");
  std::u16string word;
  if (!Utf8ToUtf16(a.positional.back(), &word)) return Fail(console, "xqb: WORD is not valid UTF-8");
  const std::vector<std::string> given(a.positional.begin(), a.positional.end() - 1);
  const bool one = given.size() == 1 && !lookup::IsFolderPath(given[0]);
  bool failed = false;
  bool offered = false;
  bool answered = false;  // a book has had its heading
  Results out(*console.out);
  std::vector<std::string> books;
  for (const std::string& named : given) {
    if (one) {
      books = {named};
    } else if (!BooksNamed(named, console, &books)) {
      failed = true;
    }
    for (const std::string& path : books) {
      std::string heading;
      std::string lines;
      if (!SuggestInBook(path, word, console, &heading, &lines)) {
        failed = true;
        continue;
      }
      if (one) {
        out.Put(lines);
      } else {
        out.Put((answered ? "\n" : "") + heading + "\n" +
                (lines.empty() ? std::string("nothing offered\n") : lines));
        answered = true;
      }
      offered = offered || !lines.empty();
    }
  }
  out.Flush();
  if (failed) return kExitFailure;
  return offered ? kExitOk : kExitNothing;
}

// find BOOK... TERM [TERM2]: the first argument is always a book and the
// last always a term; those between are books when they end in ".xqb" or
// name a folder, terms otherwise. With more than one book (or a folder)
// each row starts with its book's path and a tab, the books in the order
// given, at most --limit rows each.
int RunFind(const Arguments& a, const Console& console) {
  std::size_t termsAt = 1;
  while (termsAt + 1 < a.positional.size() &&
         (lookup::IsBookName(a.positional[termsAt]) || lookup::IsFolderPath(a.positional[termsAt]))) {
    ++termsAt;
  }
  const std::size_t termCount = a.positional.size() - termsAt;
  if (a.positional.size() < 2 || termCount > 2) {
    return Fail(console, "xqb: find takes BOOK and one or two TERMs");
  }
  std::size_t limit = kDefaultFindLimit;
  if (a.haveLimit && (!ParseCount(a.limit, 0x7FFFFFFF, &limit) || limit == 0)) {
    return Fail(console, "xqb: --limit " + a.limit + ": give a count of at least 1");
  }
  MatchQuery query{};
  query.termCount = static_cast<std::int32_t>(termCount);
  for (std::size_t t = 0; t < termCount; ++t) {
    const std::string& given = a.positional[termsAt + t];
    std::u16string term;
    if (!Utf8ToUtf16(given, &term)) {
      return Fail(console, "xqb: TERM \"" + given + "\" is not valid UTF-8");
    }
    if (term.size() > static_cast<std::size_t>(kTermSlotUnits - 1)) {
      return Fail(console, "xqb: TERM \"" + given + "\" is longer than " +
                               std::to_string(kTermSlotUnits - 1) + " units");
    }
    std::copy(term.begin(), term.end(), query.terms[t]);
  }
  unsigned threads = 0;
  if (a.haveThreads) {
    std::size_t n = 0;
    if (!ParseCount(a.threads, 256, &n) || n == 0) {
      return Fail(console, "xqb: --threads " + a.threads + ": give a count from 1 to 256");
    }
    threads = static_cast<unsigned>(n);
  }
  const std::vector<std::string> given(a.positional.begin(),
                                       a.positional.begin() + static_cast<std::ptrdiff_t>(termsAt));
  const bool one = given.size() == 1 && !lookup::IsFolderPath(given[0]);
  bool failed = false;
  lookup::FindRequest request;
  for (const std::string& named : given) {
    std::vector<std::string> books;
    if (one) {
      books = {named};
    } else if (!BooksNamed(named, console, &books)) {
      failed = true;
    }
    request.books.insert(request.books.end(), books.begin(), books.end());
  }
  request.query = query;
  request.limit = limit;
  request.workers = threads;
  lookup::FindInBooks search;
  search.Start(request);
  search.Wait();
  std::size_t found = 0;
  Results out(*console.out);
  for (std::size_t n = 0; n < search.Count(); ++n) {
    const std::string& path = request.books[n];
    const lookup::BookFinds& finds = search.Finds(n);
    if (!finds.searched) {
      out.Flush();
      Fail(console, path + ": " + finds.why);
      failed = true;
      continue;
    }
    const std::string prefix = one ? std::string() : path + "\t";
    for (std::size_t m = 0; m < finds.entries.size(); ++m) {
      out.Put(prefix + std::to_string(finds.entries[m]) + "\t" + ToUtf8(finds.keys[m]));
      out.Line();
    }
    found += finds.entries.size();
  }
  out.Flush();
  if (failed) return kExitFailure;
  return found == 0 ? kExitNothing : kExitOk;
}

// ---------------------------------------------------------------- dump

int RunDump(const Arguments& a, const Console& console) {
  if (a.positional.size() != 1) return Fail(console, "xqb: dump takes one BOOK");
  const std::string& path = a.positional[0];
  BookFile book;
  if (OpenChecked(path, book, console) != kExitOk) return kExitFailure;
  const char16_t separator = SeparatorUnit(book);
  const int count = book.EntryCount();
  std::size_t inexact = 0;
  std::string firstInexact;
  TextReader reader(book);
  Results out(*console.out);
  for (int n = 0; n < count; ++n) {
    book.SetCurrentEntry(n);
    const std::u16string key = reader.Read(book, false);
    std::u16string content = reader.Read(book, true);
    std::string why;
    // The key is written as it stands: a line cannot hold these in it.
    for (const char16_t u : key) {
      if (u == u'\t' || u == u'\n' || u == u'\r') why = "its key holds a tab or line break";
    }
    if (n == 0 && !key.empty() && key[0] == 0xFEFF) {
      why = "its key starts with U+FEFF, which would read as a byte-order mark";
    }
    for (char16_t& u : content) {
      if (u == u'\n' && separator != u'\n') {
        why = "its content holds a line feed that is not the book's line separator";
      } else if (u == separator) {
        u = u'\n';
      }
    }
    std::string& text = out.Text();
    if (why.empty()) {
      if (AppendUtf8(key.data(), key.size(), &text) != 0) why = "its text is not whole UTF-16";
    } else {
      AppendEscapedContent(key.data(), key.size(), &text);
    }
    text += '\t';
    if (!AppendEscapedContent(content.data(), content.size(), &text) && why.empty()) {
      why = "its text holds a NUL or is not whole UTF-16";
    }
    out.Line();
    if (!why.empty()) {
      if (inexact == 0) firstInexact = "entry " + std::to_string(n) + " (" + ShownKey(key) + "): " + why;
      ++inexact;
    }
  }
  out.Flush();
  book.Close();
  if (inexact != 0) {
    return Fail(console, path + ": " + std::to_string(inexact) +
                             " entries cannot be dumped as build reads them back; the first is " +
                             firstInexact);
  }
  return kExitOk;
}

}  // namespace

int RunXqb(const std::vector<std::string>& args, const Console& console) {
  if (args.empty()) {
    return Fail(console, std::string("xqb: no command given (commands: ") + kCommands + ")");
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    console.out->Write(
        "usage: xqb build INPUT -o BOOK [--title TEXT] [--separator CODE] [--cut]\n"
        "       xqb info BOOK\n"
        "       xqb lookup BOOK... WORD\n"
        "       xqb suggest BOOK... WORD\n"
        "       xqb find BOOK... TERM [TERM2] [--limit N] [--threads N]\n"
        "       xqb dump BOOK\n"
        "INPUT is a word list (key TAB content, one entry a line), a dictd NAME.index,\n"
        "a StarDict NAME.ifo, or a DSL NAME.dsl or NAME.dsl.dz.\n"
        "A BOOK may be a folder: every *.xqb directly in it, in name order.\n"
        "lookup: the last argument is the WORD, all before it are BOOKs. For a WORD\n"
        "that a book lacks, a note offers its English base forms (\"geese\" offers\n"
        "\"goose\") and keys close in spelling, and the first offer's entry follows.\n"
        "With several BOOKs each answers under a heading \"== TITLE (FILE)\", those\n"
        "that hold the word first.\n"
        "suggest: the words lookup offers for a WORD a book lacks, best first, each\n"
        "with its distance in edits (and \"base form\" for a base form).\n"
        "find: the first argument is a BOOK and the last a TERM; those between are\n"
        "BOOKs if they end in .xqb or name a folder, TERMs otherwise. With several\n"
        "BOOKs each row starts with its BOOK and a tab; --limit counts per BOOK.\n"
        "The BOOKs are searched on every core (--threads sets how many), their rows\n"
        "in the order given.\n"
        "A BOOK that cannot be read is named on stderr, the others still answer,\n"
        "and the exit code is 2; otherwise 0, or 1 when find matched nothing or the\n"
        "books have no entries.\n"
        "Arguments after \"--\" are never options.\n");
    return kExitOk;
  }
  int (*run)(const Arguments&, const Console&) = nullptr;
  if (command == "build") run = RunBuild;
  if (command == "info") run = RunInfo;
  if (command == "lookup") run = RunLookup;
  if (command == "suggest") run = RunSuggest;
  if (command == "find") run = RunFind;
  if (command == "dump") run = RunDump;
  if (run == nullptr) {
    return Fail(console, "xqb: unknown command \"" + command + "\" (commands: " + kCommands + ")");
  }
  Arguments parsed;
  std::string problem;
  if (!ParseArguments(args, command, &parsed, &problem)) return Fail(console, "xqb: " + problem);
  return run(parsed, console);
}

}  // namespace quill::xqb
