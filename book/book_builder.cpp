#include "book/book_builder.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <numeric>
#include <thread>

#include "book/book_format.h"
#include "book/compressor.h"
#include "book/fold_case.h"

namespace quill {

namespace {

constexpr std::size_t kMaxBlocks = 0xFFFF;
constexpr std::uint64_t kMaxFileBytes = 0xFFFFFFFFu;
constexpr std::size_t kMaxKeyOffset = 0xFFFF;

struct Block {
  std::size_t textBytes = 0;
  std::vector<std::uint8_t> stored;
};

// What of an entry goes into the book, in units: all of it, or what is left
// after a cut.
struct Extent {
  std::size_t keyUnits;
  std::size_t contentUnits;
};

void AppendUnits(std::vector<std::uint8_t>& out, const char16_t* text, std::size_t units) {
  const std::size_t at = out.size();
  out.resize(at + 2 * units);
  if constexpr (std::endian::native == std::endian::little) {
    if (units != 0) std::memcpy(out.data() + at, text, 2 * units);
  } else {
    for (std::size_t i = 0; i < units; ++i) {
      out[at + 2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
      out[at + 2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
  }
}

std::vector<std::uint8_t> Store(const std::vector<std::uint8_t>& data, bool compress,
                                MatchSearch search) {
  if (compress) return EncodeStored(data.data(), data.size(), search);
  std::vector<std::uint8_t> stored(data.size() + 1, 0);
  if (!data.empty()) std::memcpy(stored.data() + 1, data.data(), data.size());
  return stored;
}

template <typename Record>
std::vector<std::uint8_t> RecordBytes(const std::vector<Record>& records) {
  std::vector<std::uint8_t> bytes(records.size() * sizeof(Record));
  if (!bytes.empty()) std::memcpy(bytes.data(), records.data(), bytes.size());
  return bytes;
}

// The longest prefix of text within limit units that does not end halfway
// through a surrogate pair.
std::size_t CutUnits(const std::u16string& text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t n = limit;
  if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
  return n;
}

std::string Describe(std::size_t n, const std::u16string& key) {
  std::string ascii;
  for (const char16_t u : key.substr(0, 40)) {
    ascii += (u >= 0x20 && u < 0x7F) ? static_cast<char>(u) : '?';
  }
  return "entry " + std::to_string(n) + " (key \"" + ascii + "\")";
}

unsigned ThreadCount(const BookLayout& layout) {
  if (layout.threads != 0) return layout.threads;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

int Refuse(BuildReport* report, BuildProblem kind, std::size_t entry, std::string what) {
  report->kind = kind;
  report->problemEntry = entry;
  report->problem = std::move(what);
  return 0;
}

// Checks one entry against the limits of the format, cutting on request.
int FitEntry(const BookEntry& e, std::size_t n, bool cut, Extent* extent,
             BuildReport* report) {
  extent->keyUnits = e.key.size();
  extent->contentUnits = e.content.size();
  const std::size_t keyLimit = n == 0 ? kMaxFirstKeyUnits : kMaxKeyUnits;
  if (e.key.size() > keyLimit) {
    const std::string which = n == 0 ? "first key" : "key";
    const std::string size = std::to_string(e.key.size());
    const std::string limit = std::to_string(keyLimit);
    if (!cut) {
      return Refuse(report, BuildProblem::kTooLong, n, which + " longer than " + limit + " units (" + size + ")");
    }
    extent->keyUnits = CutUnits(e.key, keyLimit);
    report->cuts.push_back({n, which + " cut from " + size + " to " +
                                   std::to_string(extent->keyUnits) + " units"});
  }
  if (e.content.size() > static_cast<std::size_t>(kMaxTextUnits)) {
    const std::string size = std::to_string(2 * e.content.size());
    if (!cut) {
      return Refuse(report, BuildProblem::kTooLong, n, "content longer than 65,534 bytes (" + size + " bytes)");
    }
    extent->contentUnits = CutUnits(e.content, kMaxTextUnits);
    report->cuts.push_back({n, "content cut from " + size + " to " +
                                   std::to_string(2 * extent->contentUnits) + " bytes"});
  }
  return 1;
}

// Entries [first, end): what one block holds.
struct Range {
  std::size_t first;
  std::size_t end;
};

// Blocks compressed together before they are laid out in order: enough
// work for every thread, little memory.
constexpr std::size_t kBlocksPerThreadBatch = 64;

class Builder {
 public:
  Builder(const std::vector<BookEntry>& entries, const BookLayout& layout, BookSink* sink,
          BuildReport* report)
      : entries_(entries), layout_(layout), sink_(sink), report_(report),
        entryIndex_(entries.size()) {}

  int Run();

 private:
  std::vector<Range> PlanBlocks();
  Block MakeBlock(Range range) const;
  std::vector<Block> MakeBlocks(const std::vector<Range>& ranges, std::size_t from,
                                std::size_t to) const;
  int AddBlock(Range range, Block block);
  int AddBlocks(const std::vector<Range>& ranges);
  int Put(const std::vector<std::uint8_t>& bytes);

  const std::vector<BookEntry>& entries_;
  const BookLayout& layout_;
  BookSink* sink_;
  BuildReport* report_;
  std::vector<EntryIndexRecord> entryIndex_;
  std::vector<Extent> extents_;
  // Blocks go to the sink as they are made; only their places stay.
  std::vector<BlockIndexRecord> blockIndex_;
  std::uint64_t offset_ = kHeaderBytes;  // where the next block goes
  std::size_t maxBlock_ = 0;
};

int Builder::Put(const std::vector<std::uint8_t>& bytes) {
  if (sink_->Append(bytes.data(), bytes.size())) return 1;
  return Refuse(report_, BuildProblem::kWriteFailed, kNoEntry, "the book cannot be written");
}

// Fills blocks up to the layout's size, in entry order.
std::vector<Range> Builder::PlanBlocks() {
  std::vector<Range> ranges;
  std::size_t first = 0;  // first entry of the open block
  std::size_t openBytes = 0;
  for (std::size_t n = 0; n < entries_.size(); ++n) {
    const std::size_t bytes = 2 * (extents_[n].keyUnits + extents_[n].contentUnits);
    // keyOffset is 16 bits wide, so a block takes no entry past 64 KiB.
    if (openBytes > 0 &&
        (openBytes + bytes > layout_.blockBytes || openBytes > kMaxKeyOffset)) {
      ranges.push_back({first, n});
      first = n;
      openBytes = 0;
    }
    entryIndex_[n].keyBytes = static_cast<std::uint16_t>(2 * extents_[n].keyUnits);
    entryIndex_[n].contentBytes = static_cast<std::uint16_t>(2 * extents_[n].contentUnits);
    openBytes += bytes;
  }
  if (first < entries_.size()) ranges.push_back({first, entries_.size()});
  return ranges;
}

Block Builder::MakeBlock(Range range) const {
  std::size_t bytes = 0;
  for (std::size_t n = range.first; n < range.end; ++n) {
    bytes += 2 * (extents_[n].keyUnits + extents_[n].contentUnits);
  }
  std::vector<std::uint8_t> text;
  text.reserve(bytes);
  for (std::size_t n = range.first; n < range.end; ++n) {
    AppendUnits(text, entries_[n].key.data(), extents_[n].keyUnits);
    AppendUnits(text, entries_[n].content.data(), extents_[n].contentUnits);
  }
  Block block;
  block.textBytes = text.size();
  block.stored = Store(text, layout_.compressBlocks, layout_.search);
  return block;
}

// Blocks ranges[from, to), each stored on its own, shared out among the
// layout's threads; the result does not depend on how many there are.
std::vector<Block> Builder::MakeBlocks(const std::vector<Range>& ranges, std::size_t from,
                                       std::size_t to) const {
  std::vector<Block> blocks(to - from);
  std::atomic<std::size_t> next{from};
  auto work = [&] {
    for (std::size_t i = next++; i < to; i = next++) blocks[i - from] = MakeBlock(ranges[i]);
  };
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < ThreadCount(layout_) && t < to - from; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  return blocks;
}

// Lays a stored block out after the others; when its stored form would not
// fit the 16-bit stored size, stores each half on its own instead.
int Builder::AddBlock(Range range, Block block) {
  if (block.stored.size() > static_cast<std::size_t>(kMaxStoredBlockBytes)) {
    if (range.end - range.first == 1) {
      return Refuse(report_, BuildProblem::kEntryTooLarge, range.first, "entry too large to store in one block");
    }
    const Range low{range.first, range.first + (range.end - range.first) / 2};
    const Range high{low.end, range.end};
    return AddBlock(low, MakeBlock(low)) && AddBlock(high, MakeBlock(high));
  }
  if (blockIndex_.size() >= kMaxBlocks) {
    return Refuse(report_, BuildProblem::kTooManyBlocks, range.first,
                  "more than 65,535 blocks needed, the first one over from here");
  }
  std::size_t offset = 0;
  for (std::size_t n = range.first; n < range.end; ++n) {
    EntryIndexRecord& r = entryIndex_[n];
    r.block = static_cast<std::uint16_t>(blockIndex_.size());
    r.keyOffset = static_cast<std::uint16_t>(offset);
    offset += std::size_t{r.keyBytes} + r.contentBytes;
  }
  BlockIndexRecord record;
  std::memset(&record, 0, sizeof record);
  record.fileOffset = static_cast<std::uint32_t>(offset_);
  record.storedBytes = static_cast<std::uint16_t>(block.stored.size());
  blockIndex_.push_back(record);
  maxBlock_ = std::max({maxBlock_, block.stored.size(), block.textBytes});
  offset_ += block.stored.size();
  report_->textBytes += block.textBytes;
  report_->storedTextBytes += block.stored.size();
  if (offset_ > kMaxFileBytes) return Refuse(report_, BuildProblem::kTooLarge, kNoEntry, "book larger than 4 GiB");
  if (!Put(block.stored)) return 0;
  if (layout_.progress) layout_.progress(range.end, entries_.size());
  return 1;
}

int Builder::AddBlocks(const std::vector<Range>& ranges) {
  const std::size_t batch = kBlocksPerThreadBatch * ThreadCount(layout_);
  for (std::size_t from = 0; from < ranges.size(); from += batch) {
    if (layout_.cancelled && layout_.cancelled()) return Refuse(report_, BuildProblem::kCancelled, kNoEntry, "cancelled");
    const std::size_t to = std::min(ranges.size(), from + batch);
    std::vector<Block> made = MakeBlocks(ranges, from, to);
    for (std::size_t i = from; i < to; ++i) {
      if (!AddBlock(ranges[i], std::move(made[i - from]))) return 0;
    }
  }
  return 1;
}

int Builder::Run() {
  if (entries_.size() > 0x7FFFFFFF) {
    return Refuse(report_, BuildProblem::kTooManyEntries, kNoEntry, "more than 2,147,483,647 entries");
  }
  std::size_t titleUnits = layout_.title.size();
  if (titleUnits > kTitleUnits - 1) {
    if (!layout_.cutOverlong) return Refuse(report_, BuildProblem::kTooLong, kNoEntry, "title longer than 21 units");
    titleUnits = CutUnits(layout_.title, kTitleUnits - 1);
    report_->cuts.push_back({kNoEntry, "title cut from " + std::to_string(layout_.title.size()) +
                                           " to " + std::to_string(titleUnits) + " units"});
  }

  extents_.resize(entries_.size());
  std::size_t textBufferUnits = 1;
  for (std::size_t n = 0; n < entries_.size(); ++n) {
    if (!FitEntry(entries_[n], n, layout_.cutOverlong, &extents_[n], report_)) return 0;
    textBufferUnits = std::max({textBufferUnits, extents_[n].keyUnits + 1,
                                extents_[n].contentUnits + 1});
  }

  // The header's place first: it is written last, when it is known.
  if (!Put(std::vector<std::uint8_t>(kHeaderBytes, 0))) return 0;
  if (!AddBlocks(PlanBlocks())) return 0;

  BookHeader header;
  std::memset(&header, 0, sizeof header);
  header.magic = kBookMagic;
  std::copy(layout_.title.begin(), layout_.title.begin() + static_cast<std::ptrdiff_t>(titleUnits),
            header.title);
  header.entryCount = static_cast<std::int32_t>(entries_.size());
  header.lineSeparator = layout_.lineSeparator;
  header.textBufferUnits = static_cast<std::int32_t>(textBufferUnits);
  header.blockCount = static_cast<std::uint32_t>(blockIndex_.size());
  header.maxBlockSize = static_cast<std::uint32_t>(maxBlock_);
  const std::vector<std::uint8_t> blockIndexBytes = RecordBytes(blockIndex_);
  const std::vector<std::uint8_t> entryIndexBytes = RecordBytes(entryIndex_);
  const std::vector<std::uint8_t> storedBlockIndex =
      Store(blockIndexBytes, layout_.compressIndexes, layout_.search);
  const std::vector<std::uint8_t> storedEntryIndex =
      Store(entryIndexBytes, layout_.compressIndexes, layout_.search);
  const std::uint64_t total = offset_ + storedBlockIndex.size() + storedEntryIndex.size();
  if (total > kMaxFileBytes) return Refuse(report_, BuildProblem::kTooLarge, kNoEntry, "book larger than 4 GiB");
  header.blockIndexOffset = static_cast<std::uint32_t>(offset_);
  header.blockIndexSize = static_cast<std::uint32_t>(storedBlockIndex.size());
  header.entryIndexOffset = static_cast<std::uint32_t>(offset_ + storedBlockIndex.size());
  header.entryIndexSize = static_cast<std::uint32_t>(storedEntryIndex.size());
  report_->blockCount = blockIndex_.size();
  report_->indexBytes = blockIndexBytes.size() + entryIndexBytes.size();
  report_->storedIndexBytes = storedBlockIndex.size() + storedEntryIndex.size();

  if (!Put(storedBlockIndex) || !Put(storedEntryIndex)) return 0;
  std::uint8_t bytes[sizeof header];
  std::memcpy(bytes, &header, sizeof header);
  if (!sink_->WriteHeader(bytes, sizeof bytes)) {
    return Refuse(report_, BuildProblem::kWriteFailed, kNoEntry, "the book cannot be written");
  }
  return 1;
}

}  // namespace

std::vector<std::size_t> EntryOrder(const std::vector<BookEntry>& entries) {
  std::vector<std::size_t> order(entries.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&entries](std::size_t a, std::size_t b) {
    const std::u16string& x = entries[a].key;
    const std::u16string& y = entries[b].key;
    return CompareFolded(x.data(), x.size(), y.data(), y.size()) < 0;
  });
  return order;
}

void SortEntries(std::vector<BookEntry>& entries) {
  const std::vector<std::size_t> order = EntryOrder(entries);
  std::vector<BookEntry> sorted;
  sorted.reserve(entries.size());
  for (const std::size_t n : order) sorted.push_back(std::move(entries[n]));
  entries = std::move(sorted);
}

std::size_t SplitLongContents(std::vector<BookEntry>* entries, std::vector<std::size_t>* from) {
  constexpr auto kLimit = static_cast<std::size_t>(kMaxTextUnits);
  from->clear();
  const auto tooLong = [](const BookEntry& e) { return e.content.size() > kLimit; };
  if (std::none_of(entries->begin(), entries->end(), tooLong)) {
    from->resize(entries->size());
    std::iota(from->begin(), from->end(), std::size_t{0});
    return 0;
  }
  std::vector<BookEntry> out;
  std::size_t split = 0;
  for (std::size_t n = 0; n < entries->size(); ++n) {
    BookEntry& e = (*entries)[n];
    if (!tooLong(e)) {
      out.push_back(std::move(e));
      from->push_back(n);
      continue;
    }
    ++split;
    const std::u16string& text = e.content;
    std::size_t at = 0;
    while (text.size() - at > kLimit) {
      // The last line break that ends a part in reach; it goes with
      // neither part, since each shows on lines of its own.
      const std::size_t reach = at + kLimit;
      const std::size_t brk = text.rfind(u'\n', reach);
      std::size_t end = brk != std::u16string::npos && brk > at ? brk : reach;
      if (end == reach && text[end - 1] >= 0xD800 && text[end - 1] <= 0xDBFF) --end;
      out.push_back(BookEntry{e.key, text.substr(at, end - at)});
      from->push_back(n);
      at = end == brk ? end + 1 : end;
    }
    out.push_back(BookEntry{e.key, text.substr(at)});
    from->push_back(n);
    e = BookEntry{};
  }
  *entries = std::move(out);
  return split;
}

int BuildBookInto(const std::vector<BookEntry>& entries, const BookLayout& layout,
                  BookSink* sink, BuildReport* report) {
  *report = BuildReport{};
  Builder builder(entries, layout, sink, report);
  return builder.Run();
}

int BuildBook(const std::vector<BookEntry>& entries, const BookLayout& layout,
              std::vector<std::uint8_t>* image, BuildReport* report) {
  // The image is the sink; a refused book leaves it empty.
  class ImageSink : public BookSink {
   public:
    explicit ImageSink(std::vector<std::uint8_t>* image) : image_(image) { image_->clear(); }
    int Append(const std::uint8_t* bytes, std::size_t n) override {
      image_->insert(image_->end(), bytes, bytes + n);
      return 1;
    }
    int WriteHeader(const std::uint8_t* bytes, std::size_t n) override {
      std::memcpy(image_->data(), bytes, n);
      return 1;
    }

   private:
    std::vector<std::uint8_t>* image_;
  };
  ImageSink sink(image);
  if (BuildBookInto(entries, layout, &sink, report)) return 1;
  image->clear();
  return 0;
}

int BuildBookImage(const std::vector<BookEntry>& entries, const BookLayout& layout,
                   std::vector<std::uint8_t>* image, std::string* error) {
  BuildReport report;
  if (BuildBook(entries, layout, image, &report)) return 1;
  *error = report.problemEntry == kNoEntry
               ? report.problem
               : Describe(report.problemEntry, entries[report.problemEntry].key) + ": " +
                     report.problem;
  return 0;
}

}  // namespace quill
