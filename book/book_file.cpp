#include "book/book_file.h"

#include <bit>
#include <cstring>
#include <new>
#include <string>

#include "book/decoder.h"
#include "book/fold_case.h"

namespace quill {

namespace {

// No key or content is longer than a 16-bit byte count allows, so neither
// needs a scratch buffer larger than this, whatever a header claims.
constexpr std::size_t kMaxTextBufferUnits = kMaxTextUnits + 1;
// Nothing stored can decode to more than this.
constexpr std::size_t kMaxBlockBufferBytes = kMaxDecodedBlockBytes;

template <typename T>
std::unique_ptr<T[]> Allocate(std::size_t count) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

char16_t UnitAt(const std::uint8_t* bytes, std::size_t i) {
  return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

std::size_t TermLength(const char16_t* term) {
  std::size_t n = 0;
  while (n < static_cast<std::size_t>(kTermSlotUnits) && term[n] != 0) ++n;
  return n;
}

// The first occurrence of the folded term in the text once folded, or -1.
// An empty term occurs at 0 in any non-empty text and in no empty text.
std::ptrdiff_t FindFolded(const std::uint8_t* text, std::size_t textUnits,
                          const char16_t* term, std::size_t termUnits) {
  if (textUnits == 0 || termUnits > textUnits) return -1;
  if (termUnits == 0) return 0;
  const char16_t first = term[0];
  for (std::size_t i = 0; i + termUnits <= textUnits; ++i) {
    if (FoldUnit(UnitAt(text, i)) != first) continue;
    std::size_t k = 1;
    while (k < termUnits && FoldUnit(UnitAt(text, i + k)) == term[k]) ++k;
    if (k == termUnits) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

// Whether the folded term occurs in the text once folded, looking at four
// units at a time for those that can start it. A unit folds to the term's
// first unit only if it equals it with bit 0x20 set; the few others that
// pass this test are weeded out by the comparison that follows.
bool ContainsFolded(const std::uint8_t* text, std::size_t textUnits, const char16_t* term,
                    std::size_t termUnits) {
  if (termUnits == 0) return textUnits != 0;
  if (termUnits > textUnits) return false;
  constexpr std::uint64_t kEachUnit = 0x0001000100010001ull;
  const std::uint64_t wanted = kEachUnit * (term[0] | 0x20u);
  const std::size_t last = textUnits - termUnits;  // the last place it can start
  std::size_t i = 0;
  for (; i + 4 <= last + 1; i += 4) {
    std::uint64_t w;
    std::memcpy(&w, text + 2 * i, sizeof w);
    const std::uint64_t x = (w | kEachUnit * 0x20) ^ wanted;
    // A unit of x is zero where a candidate starts; this finds every such
    // unit, and perhaps some after one.
    std::uint64_t zero = (x - kEachUnit) & ~x & (kEachUnit * 0x8000);
    while (zero != 0) {
      const std::size_t at = i + static_cast<std::size_t>(std::countr_zero(zero) >> 4);
      if (FindFolded(text + 2 * at, termUnits, term, termUnits) == 0) return true;
      zero &= zero - 1;
    }
  }
  return FindFolded(text + 2 * i, textUnits - i, term, termUnits) >= 0;
}

int CompareUnits(const char16_t* a, std::size_t aLength, const char16_t* b,
                 std::size_t bLength) {
  const std::size_t common = aLength < bLength ? aLength : bLength;
  for (std::size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  if (aLength == bLength) return 0;
  return aLength < bLength ? -1 : 1;
}

bool BeginsWith(const char16_t* text, std::size_t textLength,
                const char16_t* prefix, std::size_t prefixLength) {
  return textLength >= prefixLength &&
         (prefixLength == 0 || std::memcmp(text, prefix, prefixLength * sizeof(char16_t)) == 0);
}

// Whether [offset, offset + size) lies inside a file of fileSize bytes.
bool InsideFile(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

// How many levels of FindWord's search tree to keep keys for: all but the
// last four, which lie in a block or two around the word anyway.
std::size_t KeyCacheSlots(std::int32_t entryCount) {
  if (entryCount <= 0) return 0;
  const int levels = std::bit_width(static_cast<std::uint32_t>(entryCount)) - 1 - 4;
  if (levels <= 0) return 0;
  return (std::size_t{1} << (levels < kMaxCachedLevels ? levels : kMaxCachedLevels)) - 1;
}

}  // namespace

BookFile::BookFile() { std::memset(&header_, 0, sizeof header_); }

BookFile::~BookFile() = default;

int BookFile::CheckSignature(const char* path) {
  std::uint8_t head[kHeaderBytes];
  const std::ptrdiff_t got = ReadFileStart(path, head, sizeof head);
  if (got < 0) return kSignatureUnreadable;
  std::uint32_t magic = 0;
  if (got < static_cast<std::ptrdiff_t>(sizeof magic)) return kSignatureWrong;
  std::memcpy(&magic, head, sizeof magic);
  return magic == kBookMagic ? kSignatureOk : kSignatureWrong;
}

int BookFile::Open(const char* path) {
  Close();
  if (!file_.Open(path)) return 0;
  if (file_.Size() < kHeaderBytes) {
    Close();
    return 0;
  }
  if (!file_.ReadAt(0, sizeof header_, reinterpret_cast<std::uint8_t*>(&header_))) {
    Close();
    return 0;
  }
  // The title is read as a zero-terminated string; keep it one.
  header_.title[kTitleUnits - 1] = 0;
  if (header_.magic != kBookMagic || !CheckLayout()) {
    Close();
    return 0;
  }
  cachedBlock_ = -1;
  currentEntry_ = 0;
  return 1;
}

const std::uint8_t* BookFile::LoadIndex(std::uint32_t offset, std::uint32_t size,
                                        std::uint64_t minBytes, std::uint64_t capacity,
                                        FileView* view,
                                        std::unique_ptr<std::uint8_t[]>* records) {
  std::uint8_t flag = 0;
  if (!file_.ReadAt(offset, 1, &flag)) return nullptr;
  const std::uint64_t payload = size - 1u;
  if (flag == 0) {
    if (payload < minBytes || payload > capacity) return nullptr;
    static const std::uint8_t kNoRecords = 0;
    if (payload == 0) return &kNoRecords;
    return view->Map(file_, offset + 1u, static_cast<std::size_t>(payload)) ? view->Data()
                                                                           : nullptr;
  }
  auto stored = Allocate<std::uint8_t>(size);
  *records = Allocate<std::uint8_t>(static_cast<std::size_t>(capacity == 0 ? 1 : capacity));
  if (!stored || !*records || !file_.ReadAt(offset, size, stored.get())) return nullptr;
  const std::ptrdiff_t got =
      DecodeStored(stored.get(), records->get(), size, static_cast<std::size_t>(capacity));
  if (got < 0 || static_cast<std::uint64_t>(got) < minBytes) return nullptr;
  return records->get();
}

EntryIndexRecord BookFile::Entry(int n) const {
  EntryIndexRecord r;
  std::memcpy(&r, entryRecords_ + static_cast<std::size_t>(n) * sizeof r, sizeof r);
  return r;
}

BlockIndexRecord BookFile::Block(std::uint32_t b) const {
  BlockIndexRecord r;
  std::memcpy(&r, blockRecords_ + std::size_t{b} * sizeof r, sizeof r);
  return r;
}

// Reads both indexes and allocates the working buffers, refusing anything
// that would let a later read leave a buffer or the file. One pass of
// checks over each index.
int BookFile::CheckLayout() {
  const BookHeader& h = header_;
  const std::uint64_t fileSize = file_.Size();
  if (h.entryCount < 0) return 0;
  const auto entryCount = static_cast<std::uint64_t>(h.entryCount);
  if (entryCount > 0 && (h.textBufferUnits <= 0 || h.maxBlockSize == 0)) return 0;
  if (h.entryIndexSize == 0 || h.blockIndexSize == 0) return 0;
  if (!InsideFile(h.entryIndexOffset, h.entryIndexSize, fileSize) ||
      !InsideFile(h.blockIndexOffset, h.blockIndexSize, fileSize)) {
    return 0;
  }
  // An index can only be as large as its stored form expands to; this also
  // keeps a damaged count from asking for an absurd allocation.
  const std::uint64_t entryBytes = entryCount * sizeof(EntryIndexRecord);
  const std::uint64_t blockBytes = std::uint64_t{h.blockCount} * sizeof(BlockIndexRecord);
  if (entryBytes > kMaxExpansion * (h.entryIndexSize - 1u) ||
      blockBytes > kMaxExpansion * (h.blockIndexSize - 1u)) {
    return 0;
  }
  const std::uint64_t entryCapacity = entryBytes + sizeof(EntryIndexRecord);
  if (entryCapacity > SIZE_MAX / 2 || blockBytes > SIZE_MAX / 2) return 0;

  entryRecords_ = LoadIndex(h.entryIndexOffset, h.entryIndexSize, entryBytes, entryCapacity,
                            &entryView_, &entryIndex_);
  if (entryRecords_ == nullptr) return 0;
  blockRecords_ = LoadIndex(h.blockIndexOffset, h.blockIndexSize, blockBytes, blockBytes,
                            &blockView_, &blockIndex_);
  if (blockRecords_ == nullptr) return 0;

  for (std::uint32_t b = 0; b < h.blockCount; ++b) {
    const BlockIndexRecord r = Block(b);
    if (r.storedBytes == 0 || r.storedBytes > h.maxBlockSize ||
        !InsideFile(r.fileOffset, r.storedBytes, fileSize)) {
      return 0;
    }
  }
  const auto textUnits = static_cast<std::uint64_t>(h.textBufferUnits > 0 ? h.textBufferUnits : 0);
  // The largest of each field, without a branch per entry: the loop over
  // a book's entries is most of what opening it costs.
  std::uint32_t maxBlock = 0;
  std::uint32_t maxEnd = 0;
  std::uint32_t maxKey = 0;
  std::uint32_t maxContent = 0;
  for (std::size_t n = 0; n < static_cast<std::size_t>(entryCount); ++n) {
    const EntryIndexRecord e = Entry(static_cast<int>(n));
    const std::uint32_t end = std::uint32_t{e.keyOffset} + e.keyBytes + e.contentBytes;
    maxBlock = maxBlock > e.block ? maxBlock : e.block;
    maxEnd = maxEnd > end ? maxEnd : end;
    maxKey = maxKey > e.keyBytes ? maxKey : e.keyBytes;
    maxContent = maxContent > e.contentBytes ? maxContent : e.contentBytes;
  }
  if (entryCount > 0 && (maxBlock >= h.blockCount || maxEnd > h.maxBlockSize ||
                         maxKey / 2u + 1u > textUnits || maxContent / 2u + 1u > textUnits)) {
    return 0;
  }

  blockBufferBytes_ = h.maxBlockSize < kMaxBlockBufferBytes ? h.maxBlockSize
                                                            : kMaxBlockBufferBytes;
  if (blockBufferBytes_ == 0) blockBufferBytes_ = 1;
  // Not zeroed: nothing is read from them that was not written first.
  blockCache_.reset(new (std::nothrow) std::uint8_t[blockBufferBytes_]);
  storedScratch_.reset(new (std::nothrow) std::uint8_t[blockBufferBytes_]);
  keyScratchUnits_ = textUnits < kMaxTextBufferUnits ? static_cast<std::size_t>(textUnits)
                                                     : kMaxTextBufferUnits;
  if (keyScratchUnits_ == 0) keyScratchUnits_ = 1;
  keyScratch_ = Allocate<char16_t>(keyScratchUnits_);
  keyCacheSlots_ = KeyCacheSlots(h.entryCount);
  if (keyCacheSlots_ != 0) {
    keyCache_.reset(new (std::nothrow) CachedKey[keyCacheSlots_]);
    keyCacheFilled_ = Allocate<std::uint64_t>((keyCacheSlots_ + 63) / 64);
    if (!keyCache_ || !keyCacheFilled_) return 0;
  }
  return blockCache_ && storedScratch_ && keyScratch_ ? 1 : 0;
}

void BookFile::Close() {
  keyScratch_.reset();
  keyScratchUnits_ = 0;
  storedScratch_.reset();
  blockCache_.reset();
  blockBufferBytes_ = 0;
  blockIndex_.reset();
  entryIndex_.reset();
  blockView_.Reset();
  entryView_.Reset();
  blockRecords_ = nullptr;
  entryRecords_ = nullptr;
  keyCache_.reset();
  keyCacheFilled_.reset();
  keyCacheSlots_ = 0;
  damagedBlock_ = -1;
  file_.Close();
  std::memset(&header_, 0, sizeof header_);
  currentEntry_ = 0;
  cachedBlock_ = -1;
  cachedBlockBytes_ = 0;
  blockDecodes_ = 0;
}

std::size_t BookFile::KeyCacheBytes() const {
  return keyCacheSlots_ * sizeof(CachedKey) + (keyCacheSlots_ + 63) / 64 * sizeof(std::uint64_t);
}

void BookFile::NoteDamage(int block) {
  if (damagedBlock_ < 0) damagedBlock_ = block;
}

void BookFile::CopyHeader(void* destination) const {
  std::memcpy(destination, &header_, sizeof header_);
}

int BookFile::SetCurrentEntry(int n) {
  if (n < 0 || n >= header_.entryCount) return 0;
  currentEntry_ = n;
  return 1;
}

int BookFile::LoadCurrentBlock() {
  if (currentEntry_ < 0 || currentEntry_ >= header_.entryCount) return 0;
  const int block = Entry(currentEntry_).block;
  if (block == cachedBlock_) return 1;
  const BlockIndexRecord r = Block(static_cast<std::uint32_t>(block));
  const std::ptrdiff_t got =
      file_.ReadAt(r.fileOffset, r.storedBytes, storedScratch_.get())
          ? DecodeStored(storedScratch_.get(), blockCache_.get(), r.storedBytes, blockBufferBytes_)
          : kMalformedStream;
  if (got < 0) {
    cachedBlock_ = -1;
    NoteDamage(block);
    return 0;
  }
  cachedBlock_ = block;
  cachedBlockBytes_ = static_cast<std::size_t>(got);
  ++blockDecodes_;
  return 1;
}

int BookFile::CurrentSpan(bool content, TextSpan* span) {
  if (!LoadCurrentBlock()) return 0;
  const EntryIndexRecord e = Entry(currentEntry_);
  std::size_t offset = e.keyOffset;
  std::size_t bytes = e.keyBytes;
  if (content) {
    offset += e.keyBytes;
    bytes = e.contentBytes;
  }
  if (offset + bytes > cachedBlockBytes_) {
    NoteDamage(e.block);
    return 0;
  }
  span->bytes = blockCache_.get() + offset;
  span->units = bytes / 2;
  return 1;
}

int BookFile::ReadCurrent(bool content, char16_t* destination, std::size_t capacity) {
  TextSpan span{};
  if (!CurrentSpan(content, &span) || span.units >= capacity) return 0;
  std::memcpy(destination, span.bytes, span.units * sizeof(char16_t));
  destination[span.units] = 0;
  return 1;
}

int BookFile::ReadKey(char16_t* destination, std::size_t capacityUnits) {
  return ReadCurrent(false, destination, capacityUnits);
}

int BookFile::ReadContent(char16_t* destination, std::size_t capacityUnits) {
  return ReadCurrent(true, destination, capacityUnits);
}

std::size_t BookFile::ScratchKey(bool fold, bool* read) {
  char16_t* key = keyScratch_.get();
  const int ok = ReadKey(key, keyScratchUnits_);
  if (!ok) key[0] = 0;
  if (read != nullptr) *read = ok != 0;
  std::size_t n = 0;
  for (; key[n] != 0; ++n) {
    if (fold) key[n] = FoldUnit(key[n]);
  }
  return n;
}

std::size_t BookFile::ProbeKey(std::size_t node, const char16_t** key) {
  const bool cacheable = node < keyCacheSlots_;
  if (cacheable && (keyCacheFilled_[node / 64] >> (node % 64) & 1u) != 0) {
    const CachedKey& slot = keyCache_[node];
    if (slot.entry == currentEntry_) {
      *key = slot.key;
      return slot.units;
    }
  }
  bool read = false;
  const std::size_t length = ScratchKey(true, &read);
  *key = keyScratch_.get();
  // A key that could not be read is not kept: it reads as empty this time.
  if (cacheable && read && length <= kCachedKeyUnits) {
    CachedKey& slot = keyCache_[node];
    slot.entry = currentEntry_;
    slot.units = static_cast<std::uint16_t>(length);
    std::memcpy(slot.key, keyScratch_.get(), length * sizeof(char16_t));
    keyCacheFilled_[node / 64] |= std::uint64_t{1} << (node % 64);
  }
  return length;
}

int BookFile::FindWord(char16_t* word) {
  const int count = header_.entryCount;
  if (count <= 0) return 0;
  FoldCase(word);
  std::size_t wordLength = 0;
  while (word[wordLength] != 0) ++wordLength;

  int lo = 0;
  int hi = count - 1;
  int mid = 0;
  bool found = false;
  const char16_t* key = nullptr;
  std::size_t keyLength = 0;
  std::size_t node = 0;  // the probe's place in the search tree, root 0
  while (lo <= hi) {
    mid = lo + (hi - lo) / 2;
    currentEntry_ = mid;
    keyLength = ProbeKey(node, &key);
    const int order = CompareUnits(word, wordLength, key, keyLength);
    if (order == 0) {
      found = true;
      break;
    }
    if (order < 0) {
      hi = mid - 1;
      node = 2 * node + 1;
    } else {
      lo = mid + 1;
      node = 2 * node + 2;
    }
  }

  if (found) {
    // The leftmost of a run of keys that are equal once folded.
    while (mid > 0) {
      currentEntry_ = mid - 1;
      keyLength = ScratchKey(true);
      if (CompareUnits(word, wordLength, keyScratch_.get(), keyLength) != 0) break;
      --mid;
    }
    currentEntry_ = mid;
    return 1;
  }

  // Nearest entry: the last probe (folded), then its neighbours as stored.
  if (BeginsWith(key, keyLength, word, wordLength)) {
    currentEntry_ = mid;
    return 0;
  }
  for (const int neighbour : {mid - 1, mid + 1}) {
    if (neighbour < 0 || neighbour >= count) continue;
    currentEntry_ = neighbour;
    keyLength = ScratchKey(false);
    if (BeginsWith(keyScratch_.get(), keyLength, word, wordLength)) return 0;
  }
  currentEntry_ = mid;
  return 0;
}

bool BookFile::RunMayMatch(int first, int last, const MatchQuery& query,
                           const std::size_t* termLength) {
  currentEntry_ = first;
  if (!LoadCurrentBlock()) return true;  // each entry fails on its own
  // The span of the run's texts, if they all lie on one grid of units.
  std::size_t begin = SIZE_MAX;
  std::size_t end = 0;
  for (int n = first; n <= last; ++n) {
    const EntryIndexRecord e = Entry(n);
    const std::size_t from = e.keyOffset;
    const std::size_t to = from + e.keyBytes + e.contentBytes;
    if (begin != SIZE_MAX && (from - begin) % 2 != 0) return true;
    if (to > cachedBlockBytes_) return true;
    begin = from < begin ? from : begin;
    end = to > end ? to : end;
  }
  const std::uint8_t* text = blockCache_.get() + begin;
  const std::size_t units = (end - begin) / 2;
  for (int j = 0; j < query.termCount; ++j) {
    if (termLength[j] != 0 && !ContainsFolded(text, units, query.terms[j], termLength[j])) {
      return false;
    }
  }
  return true;
}

int BookFile::FindNextMatch(MatchQuery& query) {
  const int count = header_.entryCount;
  if (query.termCount < 0 || query.termCount > kMaxTerms || query.startEntry < 0 ||
      query.startEntry >= count) {
    return 0;
  }
  std::size_t termLength[kMaxTerms] = {};
  for (int j = 0; j < query.termCount; ++j) {
    termLength[j] = TermLength(query.terms[j]);
    for (std::size_t k = 0; k < termLength[j]; ++k) {
      query.terms[j][k] = FoldUnit(query.terms[j][k]);
    }
  }
  int runLast = -1;  // the last entry of the run of one block that i is in
  for (int i = query.startEntry; i < count; ++i) {
    if (i > runLast) {
      // A run of entries in one block is searched as a whole first: in a
      // scan for a rare term most blocks hold no match and are passed over
      // without looking at their entries one by one.
      const int block = Entry(i).block;
      runLast = i;
      while (runLast + 1 < count && Entry(runLast + 1).block == block) ++runLast;
      if (!RunMayMatch(i, runLast, query, termLength)) {
        // The book's last entry is always looked at, so that a query that
        // matches nothing leaves matchKind as the entry-by-entry scan does.
        if (runLast < count - 1) {
          i = runLast;
          continue;
        }
        if (i < count - 1) {
          i = count - 2;
          continue;
        }
      }
    }
    currentEntry_ = i;
    TextSpan key{nullptr, 0};
    TextSpan content{nullptr, 0};
    bool haveKey = false;
    bool haveContent = false;
    bool all = true;
    for (int j = 0; j < query.termCount && all; ++j) {
      query.matchKind[j] = kNotFound;
      if (!haveKey) {
        if (!CurrentSpan(false, &key)) key = TextSpan{nullptr, 0};
        haveKey = true;
      }
      std::ptrdiff_t at = FindFolded(key.bytes, key.units, query.terms[j], termLength[j]);
      if (at >= 0) {
        query.matchKind[j] = kFoundInKey;
      } else {
        if (!haveContent) {
          if (!CurrentSpan(true, &content)) content = TextSpan{nullptr, 0};
          haveContent = true;
        }
        at = FindFolded(content.bytes, content.units, query.terms[j], termLength[j]);
        if (at < 0) {
          all = false;
          break;
        }
        query.matchKind[j] = kFoundInContent;
      }
      query.matchPosition[j] = static_cast<std::int32_t>(at);
    }
    if (all) return 1;
  }
  currentEntry_ = count - 1;
  return 0;
}

int OpenBook(BookFile& book, const char* path, WordListSink* wordList) {
  // The limit is the platform's 260 UTF-16 units with the terminator: a
  // UTF-8 lead byte starts one unit, a four-byte sequence two.
  std::size_t units = 0;
  std::size_t bytes = 0;
  for (; path[bytes] != 0 && units < kPathUnits; ++bytes) {
    const auto byte = static_cast<unsigned char>(path[bytes]);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  if (units >= kPathUnits) return 0;
  const std::string copy(path, bytes);
  if (BookFile::CheckSignature(copy.c_str()) != kSignatureOk) return 0;
  if (book.Open(copy.c_str()) != 1) return 0;
  if (wordList != nullptr) {
    wordList->DeleteAllItems();
    wordList->SetItemCount(book.EntryCount());
  }
  return 1;
}

}  // namespace quill
