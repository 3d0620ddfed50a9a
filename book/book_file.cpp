#include "book/book_file.h"

#include <cstring>
#include <new>

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
         std::memcmp(text, prefix, prefixLength * sizeof(char16_t)) == 0;
}

// Whether [offset, offset + size) lies inside a file of fileSize bytes.
bool InsideFile(std::uint64_t offset, std::uint64_t size, std::uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
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
  std::memcpy(&header_, file_.Data(), sizeof header_);
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

// Decodes both indexes and allocates the working buffers, refusing anything
// that would let a later read leave a buffer or the view.
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

  const std::uint8_t* view = file_.Data();
  entryIndex_ = Allocate<EntryIndexRecord>(static_cast<std::size_t>(entryCount + 1));
  if (!entryIndex_) return 0;
  {
    auto stored = Allocate<std::uint8_t>(h.entryIndexSize);
    if (!stored) return 0;
    std::memcpy(stored.get(), view + h.entryIndexOffset, h.entryIndexSize);
    const std::ptrdiff_t got =
        DecodeStored(stored.get(), reinterpret_cast<std::uint8_t*>(entryIndex_.get()),
                     h.entryIndexSize, static_cast<std::size_t>(entryCapacity));
    if (got < 0 || static_cast<std::uint64_t>(got) < entryBytes) return 0;
  }
  blockIndex_ = Allocate<BlockIndexRecord>(h.blockCount == 0 ? 1 : h.blockCount);
  if (!blockIndex_) return 0;
  {
    auto stored = Allocate<std::uint8_t>(h.blockIndexSize);
    if (!stored) return 0;
    std::memcpy(stored.get(), view + h.blockIndexOffset, h.blockIndexSize);
    const std::ptrdiff_t got =
        DecodeStored(stored.get(), reinterpret_cast<std::uint8_t*>(blockIndex_.get()),
                     h.blockIndexSize, static_cast<std::size_t>(blockBytes));
    if (got < 0 || static_cast<std::uint64_t>(got) != blockBytes) return 0;
  }

  for (std::uint32_t b = 0; b < h.blockCount; ++b) {
    const BlockIndexRecord& r = blockIndex_[b];
    if (r.storedBytes == 0 || r.storedBytes > h.maxBlockSize ||
        !InsideFile(r.fileOffset, r.storedBytes, fileSize)) {
      return 0;
    }
  }
  const auto textUnits = static_cast<std::uint64_t>(h.textBufferUnits > 0 ? h.textBufferUnits : 0);
  for (std::size_t n = 0; n < static_cast<std::size_t>(entryCount); ++n) {
    const EntryIndexRecord& e = entryIndex_[n];
    const std::uint64_t end = std::uint64_t{e.keyOffset} + e.keyBytes + e.contentBytes;
    if (e.block >= h.blockCount || end > h.maxBlockSize ||
        e.keyBytes / 2u + 1u > textUnits || e.contentBytes / 2u + 1u > textUnits) {
      return 0;
    }
  }

  blockBufferBytes_ = h.maxBlockSize < kMaxBlockBufferBytes ? h.maxBlockSize
                                                            : kMaxBlockBufferBytes;
  if (blockBufferBytes_ == 0) blockBufferBytes_ = 1;
  blockCache_ = Allocate<std::uint8_t>(blockBufferBytes_);
  storedScratch_ = Allocate<std::uint8_t>(blockBufferBytes_);
  keyScratchUnits_ = textUnits < kMaxTextBufferUnits ? static_cast<std::size_t>(textUnits)
                                                     : kMaxTextBufferUnits;
  if (keyScratchUnits_ == 0) keyScratchUnits_ = 1;
  keyScratch_ = Allocate<char16_t>(keyScratchUnits_);
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
  file_.Close();
  std::memset(&header_, 0, sizeof header_);
  currentEntry_ = 0;
  cachedBlock_ = -1;
  cachedBlockBytes_ = 0;
  blockDecodes_ = 0;
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
  const int block = entryIndex_[currentEntry_].block;
  if (block == cachedBlock_) return 1;
  const BlockIndexRecord& r = blockIndex_[block];
  std::memcpy(storedScratch_.get(), file_.Data() + r.fileOffset, r.storedBytes);
  const std::ptrdiff_t got = DecodeStored(storedScratch_.get(), blockCache_.get(),
                                          r.storedBytes, blockBufferBytes_);
  if (got < 0) {
    cachedBlock_ = -1;
    return 0;
  }
  cachedBlock_ = block;
  cachedBlockBytes_ = static_cast<std::size_t>(got);
  ++blockDecodes_;
  return 1;
}

int BookFile::CurrentSpan(bool content, TextSpan* span) {
  if (!LoadCurrentBlock()) return 0;
  const EntryIndexRecord& e = entryIndex_[currentEntry_];
  std::size_t offset = e.keyOffset;
  std::size_t bytes = e.keyBytes;
  if (content) {
    offset += e.keyBytes;
    bytes = e.contentBytes;
  }
  if (offset + bytes > cachedBlockBytes_) return 0;
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

std::size_t BookFile::ScratchKey(bool fold) {
  char16_t* key = keyScratch_.get();
  if (!ReadKey(key, keyScratchUnits_)) key[0] = 0;
  std::size_t n = 0;
  for (; key[n] != 0; ++n) {
    if (fold) key[n] = FoldUnit(key[n]);
  }
  return n;
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
  std::size_t keyLength = 0;
  while (lo <= hi) {
    mid = lo + (hi - lo) / 2;
    currentEntry_ = mid;
    keyLength = ScratchKey(true);
    const int order = CompareUnits(word, wordLength, keyScratch_.get(), keyLength);
    if (order == 0) {
      found = true;
      break;
    }
    if (order < 0) {
      hi = mid - 1;
    } else {
      lo = mid + 1;
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
  if (BeginsWith(keyScratch_.get(), keyLength, word, wordLength)) {
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
  for (int i = query.startEntry; i < count; ++i) {
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
  char copy[kPathBytes];
  std::size_t length = 0;
  while (length < kPathBytes && path[length] != 0) ++length;
  if (length >= kPathBytes) return 0;
  std::memcpy(copy, path, length + 1);
  if (BookFile::CheckSignature(copy) != kSignatureOk) return 0;
  if (book.Open(copy) != 1) return 0;
  if (wordList != nullptr) {
    wordList->DeleteAllItems();
    wordList->SetItemCount(book.EntryCount());
  }
  return 1;
}

}  // namespace quill
