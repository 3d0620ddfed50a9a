// Lays entries out as a book file: the writing half of the book format,
// used by the xqb tool and by tests that need books of a given shape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "book/compressor.h"

namespace quill {

struct BookEntry {
  std::u16string key;
  std::u16string content;
};

// The decoded size that text blocks are filled up to, unless a layout asks
// for another. Measured with bench/book_bench: see the README.
inline constexpr std::size_t kDefaultBlockBytes = 4096;

struct BookLayout {
  std::u16string title;
  std::int32_t lineSeparator = 0x0A;
  // Decoded size a text block is filled up to; an entry larger than this
  // gets a block of its own.
  std::size_t blockBytes = kDefaultBlockBytes;
  bool compressBlocks = true;
  // How hard the compressor looks for repeats: kLongest makes blocks about
  // 0.1 % smaller in several times the time.
  MatchSearch search = MatchSearch::kFast;
  // Indexes stored raw are read where they lie in the file, which opens a
  // book faster than decoding them, for a file under 1 % larger (see the
  // README's performance section).
  bool compressIndexes = false;
  // Cut a key, content or title that is too long to its limit instead of
  // refusing the book; every cut is listed in the BuildReport.
  bool cutOverlong = false;
  // Threads that compress blocks, 0 for one per core; the book is the
  // same whatever the number.
  unsigned threads = 0;
  // Called now and then while blocks are compressed, with the number of
  // entries laid out so far and in all.
  std::function<void(std::size_t done, std::size_t total)> progress;
  // Asked between batches of blocks: true stops the build, which is then
  // refused as BuildProblem::kCancelled.
  std::function<bool()> cancelled;
};

inline constexpr std::size_t kNoEntry = static_cast<std::size_t>(-1);

// Why BuildBook refused a book.
enum class BuildProblem {
  kNone,
  kCancelled,       // layout.cancelled stopped it
  kTooLong,         // a key, first key, content or title the format cannot hold; cutOverlong cuts it
  kEntryTooLarge,   // an entry whose block cannot be stored in 65,535 bytes
  kTooManyBlocks,   // more than 65,535 blocks
  kTooManyEntries,  // more than the entry index counts
  kTooLarge,        // a file over 4 GiB
  kWriteFailed,     // the sink could not write it
};

// What BuildBook tells about the book it made or refused.
struct BuildReport {
  // On refusal: why, what the format cannot hold in words, and the entry
  // (its index in the vector given) it is about, or kNoEntry when it is
  // the whole book.
  BuildProblem kind = BuildProblem::kNone;
  std::string problem;
  std::size_t problemEntry = kNoEntry;
  // With cutOverlong: each text that was cut, in entry order (kNoEntry for
  // the title).
  struct Cut {
    std::size_t entry;
    std::string what;
  };
  std::vector<Cut> cuts;
  // Sizes of the book made.
  std::size_t blockCount = 0;
  std::uint64_t textBytes = 0;        // all blocks, decoded
  std::uint64_t storedTextBytes = 0;  // all blocks, stored
  std::uint64_t indexBytes = 0;       // both indexes, decoded
  std::uint64_t storedIndexBytes = 0; // both indexes, stored
};

// Where a book goes while it is made: the header's place, the blocks in
// order as they are compressed, the indexes, and last the header over its
// place. A sink that fails is not written to again.
class BookSink {
 public:
  virtual ~BookSink() = default;
  // Appends bytes. 1, or 0 when they cannot be written.
  virtual int Append(const std::uint8_t* bytes, std::size_t n) = 0;
  // Writes the header (the first bytes) over the place kept for it.
  virtual int WriteHeader(const std::uint8_t* bytes, std::size_t n) = 0;
};

// The order that puts entries into entry order: by key with "A" to "Z"
// folded, keys that are equal once folded keeping their order.
std::vector<std::size_t> EntryOrder(const std::vector<BookEntry>& entries);

// Puts entries into entry order.
void SortEntries(std::vector<BookEntry>& entries);

// Splits every content longer than the format allows into parts that fit,
// each a whole number of lines where its lines fit (a line longer than a
// part is cut, never inside a surrogate pair). The parts take the entry's
// place, in order and with its key: entries whose keys are equal keep their
// order, so a reader finds them one after another. Returns the number of
// entries split; *from gets, per entry after, the entry it came from.
std::size_t SplitLongContents(std::vector<BookEntry>* entries, std::vector<std::size_t>* from);

// Builds the image of a book holding entries in the order given. Returns 1,
// or 0 with the reason in report->problem when the format cannot hold them:
// a key over 511 units, a first key over 49, a content over 65,534 bytes, a
// title over 21 units (all unless cut on request), an entry whose block
// cannot be stored in 65,535 bytes, more than 65,535 blocks, a file over
// 4 GiB.
int BuildBook(const std::vector<BookEntry>& entries, const BookLayout& layout,
              std::vector<std::uint8_t>* image, BuildReport* report);

// BuildBook writing into a sink, holding no more than a few batches of
// blocks: the memory a book takes to build is that of its entries. On
// refusal the sink holds part of a book, to be thrown away.
int BuildBookInto(const std::vector<BookEntry>& entries, const BookLayout& layout,
                  BookSink* sink, BuildReport* report);

// BuildBook with the refusal as one message naming the entry.
int BuildBookImage(const std::vector<BookEntry>& entries, const BookLayout& layout,
                   std::vector<std::uint8_t>* image, std::string* error);

}  // namespace quill
