// BookKeys: every key of one book, held compactly in entry order, for the
// look-ups that need them all at hand: the spellings close to a word, a
// word that some key begins with. Keys lie in blocks among the contents, so
// collecting them decodes the whole book once; a miss's offers then read
// no block.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "book/book_file.h"

namespace quill::lookup {

class BookKeys {
 public:
  // Reads every key of an open book, moving its cursor. False, with no keys
  // kept, when a block is damaged or cancel (checked between blocks) turns
  // true: a book whose keys cannot all be read offers no spellings.
  bool Collect(BookFile& book, const std::atomic<bool>* cancel = nullptr);

  std::size_t Count() const { return starts_.empty() ? 0 : starts_.size() - 1; }
  // Entry n's key as stored (n < Count()).
  std::u16string_view Key(std::size_t n) const {
    return std::u16string_view(text_.data() + starts_[n], starts_[n + 1] - starts_[n]);
  }
  // The first entry whose folded key is not less than word folded: where
  // the book's order puts word.
  std::size_t LowerBound(std::u16string_view word) const;
  // The first entry whose folded key equals word folded, or -1.
  std::int64_t Find(std::u16string_view word) const;
  // Whether some key begins with word, folded (the word itself counts).
  bool AnyBeginsWith(std::u16string_view word) const;
  // How many code points entry n's folded key shares with the one before
  // (n > 0), at most kMostShared: a walk over the keys skips a run that
  // shares a prefix by these alone.
  static constexpr std::size_t kMostShared = 127;
  std::size_t Shared(std::size_t n) const { return shared_[n]; }
  // The first entry from n on that shares fewer than least code points
  // with the one before it, or Count(): the end of the run of keys that
  // begin as entry n - 1 does, for that many code points.
  std::size_t RunEnd(std::size_t n, std::size_t least) const;
  // The memory the keys take.
  std::size_t Bytes() const {
    return text_.capacity() * sizeof(char16_t) + starts_.capacity() * sizeof(std::uint32_t) +
           shared_.capacity();
  }

 private:
  std::vector<char16_t> text_;
  std::vector<std::uint32_t> starts_;  // Count() + 1 offsets into text_
  std::vector<std::uint8_t> shared_;   // Count() of them, the first 0
};

// Keys collected on a thread of their own from a book opened a second
// time, so that a window's look-ups go on while they come. One collection
// at a time: starting another, or Stop, abandons the one under way.
class KeysInBackground {
 public:
  KeysInBackground();
  KeysInBackground(const KeysInBackground&) = delete;
  KeysInBackground& operator=(const KeysInBackground&) = delete;
  ~KeysInBackground();

  // Starts collecting the keys of the book at path (UTF-8).
  void Start(const std::string& path);
  void Stop();
  // The keys, waiting for the collection to end; nullptr when none was
  // started or the book's keys could not all be read.
  const BookKeys* Wait();

 private:
  struct Job;
  std::unique_ptr<Job> job_;
};

}  // namespace quill::lookup
