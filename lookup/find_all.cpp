#include "lookup/find_all.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>

#include "book/files.h"
#include "lookup/many_books.h"

namespace quill::lookup {

int OpenToRead(const std::string& path, BookFile& book, std::string* why) {
  std::string native;
  if (!NativePath(path, &native)) {
    *why = "the path cannot be given to the system";
    return 0;
  }
  const int signature = BookFile::CheckSignature(native.c_str());
  if (signature == kSignatureUnreadable) {
    *why = "cannot open the file";
    FILE* file = OpenFile(native, "rb");
    if (file == nullptr) {
      *why += std::string(" (") + std::strerror(errno) + ")";
    } else {
      std::fclose(file);
    }
    return 0;
  }
  if (signature != kSignatureOk) {
    *why = "not a book (it does not start with the XQB signature)";
    return 0;
  }
  if (book.Open(native.c_str()) != 1) {
    *why = "damaged book (its header and indexes do not hold together)";
    return 0;
  }
  return 1;
}

std::size_t TextUnits(const BookFile& book) {
  const std::int32_t units = book.Header().textBufferUnits;
  if (units < 1) return 1;
  return std::min(static_cast<std::size_t>(units), static_cast<std::size_t>(kMaxTextUnits) + 1);
}

WholeText::WholeText(const BookFile& book) : buffer_(TextUnits(book)) {}

std::u16string WholeText::Read(BookFile& book, bool content) {
  if (!Copy(book, content, buffer_.size())) return std::u16string();
  std::size_t n = 0;
  while (buffer_[n] != 0) ++n;
  // The copy fits n units and a terminator only if the text is n units.
  if (Copy(book, content, n + 1)) return std::u16string(buffer_.data(), n);
  // A NUL inside: with the buffer all non-zero first, the terminator is
  // the last zero.
  std::fill(buffer_.begin(), buffer_.end(), u'\xFFFF');
  Copy(book, content, buffer_.size());
  n = buffer_.size();
  while (n > 0 && buffer_[n - 1] != 0) --n;
  return std::u16string(buffer_.data(), n == 0 ? 0 : n - 1);
}

int WholeText::Copy(BookFile& book, bool content, std::size_t capacity) {
  return content ? book.ReadContent(buffer_.data(), capacity) : book.ReadKey(buffer_.data(), capacity);
}

std::vector<std::string> EachFileOnce(const std::vector<std::string>& paths) {
  std::vector<std::string> once;
  std::vector<FileIdentity> seen;
  for (const std::string& path : paths) {
    std::string native;
    FileIdentity identity;
    if (NativePath(path, &native) && IdentifyFile(native, &identity)) {
      if (std::find(seen.begin(), seen.end(), identity) != seen.end()) continue;
      seen.push_back(identity);
    }
    once.push_back(path);
  }
  return once;
}

// ---------------------------------------------------------------- the search

struct FindInBooks::Search {
  FindRequest request;
  std::function<void()> progress;
  std::function<void(std::size_t)> gate;
  std::vector<BookFinds> finds;
  // The books largest first, so that no worker is left alone with a large
  // one at the end; the finds still go back in the caller's order.
  std::vector<std::size_t> order;
  std::atomic<std::size_t> next{0};  // the next place in order a worker takes
  std::atomic<bool> stop{false};
  mutable std::mutex lock;           // guards done and ready
  std::vector<bool> done;
  std::size_t ready = 0;
  std::vector<std::thread> workers;

  void SearchBook(std::size_t n) {
    BookFinds& found = finds[n];
    BookFile book;
    if (!OpenToRead(request.books[n], book, &found.why)) return;
    const BookHeader& header = book.Header();
    std::size_t units = 0;
    while (units < static_cast<std::size_t>(kTitleUnits) && header.title[units] != 0) ++units;
    found.title.assign(header.title, units);
    MatchQuery query = request.query;
    query.startEntry = 0;
    found.entries = FindEntries(book, query, request.limit);
    WholeText text(book);
    for (const int entry : found.entries) {
      book.SetCurrentEntry(entry);
      found.keys.push_back(text.Read(book, false));
    }
    // Every entry up to the last match (or to the end) was read: a damaged
    // block on the way makes the finds wrong, so none are kept.
    if (book.DamagedBlock() >= 0) {
      found.why = "damaged book (block " + std::to_string(book.DamagedBlock()) + " cannot be read)";
      found.entries.clear();
      found.keys.clear();
      return;
    }
    found.searched = true;
  }

  void Work() {
    for (;;) {
      const std::size_t place = next.fetch_add(1);
      if (place >= order.size()) break;
      const std::size_t n = order[place];
      if (gate) gate(n);
      if (stop.load()) break;
      SearchBook(n);
      {
        const std::lock_guard<std::mutex> held(lock);
        done[n] = true;
        while (ready < done.size() && done[ready]) ++ready;
      }
      if (progress) progress();
    }
  }
};

FindInBooks::FindInBooks() = default;

FindInBooks::~FindInBooks() { Stop(); }

void FindInBooks::Start(FindRequest request, std::function<void()> progress) {
  Stop();
  auto search = std::make_unique<Search>();
  search->request = std::move(request);
  search->progress = std::move(progress);
  search->gate = gate_;
  const std::size_t count = search->request.books.size();
  search->finds.resize(count);
  search->done.assign(count, false);
  std::vector<std::uint64_t> sizes(count, 0);
  for (std::size_t n = 0; n < count; ++n) {
    std::string native;
    FileIdentity identity;
    if (NativePath(search->request.books[n], &native) && IdentifyFile(native, &identity)) {
      sizes[n] = identity.size;
    }
    search->order.push_back(n);
  }
  std::stable_sort(search->order.begin(), search->order.end(),
                   [&sizes](std::size_t a, std::size_t b) { return sizes[a] > sizes[b]; });
  unsigned workers = search->request.workers;
  if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
  workers = static_cast<unsigned>(std::min<std::size_t>(workers, count));
  Search* running = search.get();
  for (unsigned w = 0; w < workers; ++w) {
    try {
      running->workers.emplace_back([running] { running->Work(); });
    } catch (const std::system_error&) {
      break;  // fewer workers than asked for
    }
  }
  search_ = std::move(search);
  // Without a single worker, the caller's thread does the work.
  if (running->workers.empty()) running->Work();
}

void FindInBooks::Stop() {
  if (!search_) return;
  search_->stop = true;
  Wait();
}

void FindInBooks::Wait() {
  if (!search_) return;
  for (std::thread& worker : search_->workers) {
    if (worker.joinable()) worker.join();
  }
}

std::size_t FindInBooks::Count() const { return search_ ? search_->finds.size() : 0; }

std::size_t FindInBooks::Ready() const {
  if (!search_) return 0;
  const std::lock_guard<std::mutex> held(search_->lock);
  return search_->ready;
}

const BookFinds& FindInBooks::Finds(std::size_t book) const { return search_->finds[book]; }

bool FindInBooks::Stopped() const { return search_ && search_->stop.load() && Ready() < Count(); }

void FindInBooks::SetGate(std::function<void(std::size_t book)> gate) { gate_ = std::move(gate); }

}  // namespace quill::lookup
