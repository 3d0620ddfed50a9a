#include "lookup/book_keys.h"

#include <cstring>
#include <limits>
#include <system_error>
#include <thread>

#include "book/fold_case.h"
#include "lookup/code_points.h"

namespace quill::lookup {

namespace {

// How many entries are read between two looks at the cancel flag.
constexpr int kCancelStride = 256;

int CompareFoldedViews(std::u16string_view a, std::u16string_view b) {
  return CompareFolded(a.data(), a.size(), b.data(), b.size());
}

// How many code points a and b share at their start, folded, at most most.
std::size_t SharedCodePoints(std::u16string_view a, std::u16string_view b, std::size_t most) {
  std::size_t atA = 0;
  std::size_t atB = 0;
  std::size_t shared = 0;
  while (shared < most && atA < a.size() && atB < b.size() &&
         NextFoldedCodePoint(a, &atA) == NextFoldedCodePoint(b, &atB)) {
    ++shared;
  }
  return shared;
}

}  // namespace

bool BookKeys::Collect(BookFile& book, const std::atomic<bool>* cancel) {
  text_.clear();
  starts_.clear();
  shared_.clear();
  const std::int32_t count = book.EntryCount();
  if (!book.IsOpen() || count <= 0) return false;
  // Every key's length fits in a 16-bit byte count, whatever the header says.
  std::vector<char16_t> key(static_cast<std::size_t>(kMaxTextUnits) + 1);
  std::vector<char16_t> text;
  std::vector<std::uint32_t> starts;
  starts.reserve(static_cast<std::size_t>(count) + 1);
  starts.push_back(0);
  for (std::int32_t n = 0; n < count; ++n) {
    if (n % kCancelStride == 0 && cancel != nullptr && cancel->load(std::memory_order_relaxed)) {
      return false;
    }
    if (!book.SetCurrentEntry(n) || !book.ReadKey(key.data(), key.size())) return false;
    std::size_t units = 0;
    while (key[units] != 0) ++units;
    if (text.size() + units > std::numeric_limits<std::uint32_t>::max()) return false;
    text.insert(text.end(), key.data(), key.data() + units);
    starts.push_back(static_cast<std::uint32_t>(text.size()));
  }
  text.shrink_to_fit();
  text_ = std::move(text);
  starts_ = std::move(starts);
  shared_.assign(Count(), 0);
  for (std::size_t n = 1; n < Count(); ++n) {
    shared_[n] = static_cast<std::uint8_t>(SharedCodePoints(Key(n - 1), Key(n), kMostShared));
  }
  return true;
}

std::size_t BookKeys::RunEnd(std::size_t n, std::size_t least) const {
  const std::size_t count = Count();
  if (least > kMostShared) {
    // No count is kept that high: only the next key can be passed over.
    return n;
  }
  // Eight counts at a time, while none of them is below least (they are
  // all below 128, so no byte borrows from its neighbour).
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  while (n + 8 <= count) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, shared_.data() + n, sizeof eight);
    if (((eight - kOnes * least) & ~eight & kHighs) != 0) break;
    n += 8;
  }
  while (n < count && shared_[n] >= least) ++n;
  return n;
}

std::size_t BookKeys::LowerBound(std::u16string_view word) const {
  std::size_t low = 0;
  std::size_t high = Count();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (CompareFoldedViews(Key(middle), word) < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

std::int64_t BookKeys::Find(std::u16string_view word) const {
  const std::size_t at = LowerBound(word);
  if (at < Count() && CompareFoldedViews(Key(at), word) == 0) return static_cast<std::int64_t>(at);
  return -1;
}

bool BookKeys::AnyBeginsWith(std::u16string_view word) const {
  const std::size_t at = LowerBound(word);
  if (at >= Count()) return false;
  const std::u16string_view key = Key(at);
  return key.size() >= word.size() && CompareFoldedViews(key.substr(0, word.size()), word) == 0;
}

// ---------------------------------------------------------------- background

struct KeysInBackground::Job {
  std::atomic<bool> cancel{false};
  BookKeys keys;
  bool collected = false;
  std::thread thread;
};

KeysInBackground::KeysInBackground() = default;

KeysInBackground::~KeysInBackground() { Stop(); }

void KeysInBackground::Start(const std::string& path) {
  Stop();
  auto job = std::make_unique<Job>();
  Job* running = job.get();
  try {
    running->thread = std::thread([running, path] {
      BookFile book;
      if (book.Open(path.c_str())) running->collected = running->keys.Collect(book, &running->cancel);
    });
  } catch (const std::system_error&) {
    // No thread to spare: the book offers no spellings this time.
  }
  job_ = std::move(job);
}

void KeysInBackground::Stop() {
  if (!job_) return;
  job_->cancel = true;
  if (job_->thread.joinable()) job_->thread.join();
  job_.reset();
}

const BookKeys* KeysInBackground::Wait() {
  if (!job_) return nullptr;
  if (job_->thread.joinable()) job_->thread.join();
  return job_->collected ? &job_->keys : nullptr;
}

}  // namespace quill::lookup
