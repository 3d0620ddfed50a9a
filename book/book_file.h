// BookFile: one open book. Maps the file, keeps the header and both
// indexes, and reads entries through a cursor and a one-block cache.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "book/book_format.h"
#include "book/buffer_sizes.h"
#include "book/file_mapping.h"
#include "book/match_query.h"

namespace quill {

// What CheckSignature answers.
inline constexpr int kSignatureOk = 0;
inline constexpr int kSignatureUnreadable = -1;
inline constexpr int kSignatureWrong = -2;

// FindWord keeps the folded keys of this many levels of its binary search
// at most, and of keys up to kCachedKeyUnits long; longer keys are read
// from their blocks each time.
inline constexpr int kMaxCachedLevels = 13;
inline constexpr std::size_t kCachedKeyUnits = 26;

class BookFile {
 public:
  BookFile();
  BookFile(const BookFile&) = delete;
  BookFile& operator=(const BookFile&) = delete;
  // An open book needs no Close first: its file mapping, views and buffers
  // are given back with the members that own them.
  virtual ~BookFile();

  // 0 when the file starts with the book signature, -1 when it cannot be
  // opened, -2 when the signature differs (or the file is shorter than it).
  // Paths here and in Open are UTF-8.
  static int CheckSignature(const char* path);

  // Opens a book into a closed BookFile: 1, or 0 with the BookFile closed.
  // Refuses a file that is not a whole book or whose header and indexes do
  // not hold together, so that no later read can leave its buffers.
  int Open(const char* path);
  // Releases everything; the header copy reads as zeros again.
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }

  // Copies the 512-byte header (all zeros while closed) into destination.
  void CopyHeader(void* destination) const;
  const BookHeader& Header() const { return header_; }
  std::int32_t EntryCount() const { return header_.entryCount; }

  int CurrentEntry() const { return currentEntry_; }
  // Makes n current if 0 <= n < entryCount: 1; otherwise 0, cursor kept.
  int SetCurrentEntry(int n);
  // Makes sure the block cache holds the current entry's decoded block: 1,
  // or 0 when there is no valid current entry or the block is damaged.
  int LoadCurrentBlock();

  // Copy the current entry's key or content into destination, which holds
  // capacityUnits units, and end it with a zero unit. Return 0 and leave
  // destination untouched when there is no valid entry, its block is
  // damaged, or the text and its terminator do not fit. A buffer of
  // textBufferUnits units always fits every entry of an open book.
  int ReadKey(char16_t* destination, std::size_t capacityUnits);
  int ReadContent(char16_t* destination, std::size_t capacityUnits);

  // Looks up a zero-terminated word, folding it in place: 1 with the cursor
  // on the first entry whose folded key equals it; 0 with the cursor on the
  // nearest entry by the prefix rules.
  int FindWord(char16_t* word);
  // 1 with the cursor on the first entry at or after query.startEntry that
  // holds every term, filling matchKind and matchPosition; 0 when none does
  // (cursor on the last entry) or the query is refused (cursor kept).
  int FindNextMatch(MatchQuery& query);

  // The number of the block in the block cache, -1 for none, and how many
  // times a block was decoded since the book was opened.
  int CachedBlock() const { return cachedBlock_; }
  std::uint64_t BlockDecodes() const { return blockDecodes_; }

  // The first block that a read found damaged since the book was opened
  // (it did not decode, or an entry reached past its decoded end), -1 for
  // none. Reads of such a block fail; a caller whose answer went through
  // one checks this afterwards rather than checking the whole book first.
  int DamagedBlock() const { return damagedBlock_; }

  // The memory FindWord's key cache takes once every slot is filled.
  std::size_t KeyCacheBytes() const;

 private:
  // A key or content inside the block cache; it may start at an odd byte
  // offset, so it is read as bytes.
  struct TextSpan {
    const std::uint8_t* bytes;
    std::size_t units;
  };
  // The folded key of one node of the first levels of FindWord's binary
  // search. Those nodes are the same for every look-up, so their keys are
  // kept once read instead of decoding their blocks again each time.
  struct CachedKey {
    std::int32_t entry;
    std::uint16_t units;
    char16_t key[kCachedKeyUnits];
  };
  // Finds an index's records: raw, in a view of just their bytes (nothing
  // copied); compressed, decoded into a buffer of their own. nullptr when
  // the index does not hold minBytes to capacity.
  const std::uint8_t* LoadIndex(std::uint32_t offset, std::uint32_t size, std::uint64_t minBytes,
                                std::uint64_t capacity, FileView* view,
                                std::unique_ptr<std::uint8_t[]>* records);
  EntryIndexRecord Entry(int n) const;
  BlockIndexRecord Block(std::uint32_t b) const;
  int CheckLayout();
  void NoteDamage(int block);
  int CurrentSpan(bool content, TextSpan* span);
  // The folded key of the current entry, the node'th of the search tree:
  // from the key cache, or read into the key scratch buffer and kept there.
  std::size_t ProbeKey(std::size_t node, const char16_t** key);
  // Whether entries first to last, all of one block, can hold every term:
  // a term that the text they span lacks is in none of them.
  bool RunMayMatch(int first, int last, const MatchQuery& query, const std::size_t* termLength);
  int ReadCurrent(bool content, char16_t* destination, std::size_t capacity);
  // Reads the current key into the key scratch buffer, folded if asked, and
  // returns its length; an entry that cannot be read gives an empty key
  // (and *read false, if asked).
  std::size_t ScratchKey(bool fold, bool* read = nullptr);

  FileMapping file_;
  int currentEntry_ = 0;
  std::unique_ptr<char16_t[]> keyScratch_;
  std::size_t keyScratchUnits_ = 0;
  BookHeader header_;
  const std::uint8_t* blockRecords_ = nullptr;
  const std::uint8_t* entryRecords_ = nullptr;
  FileView blockView_;  // a raw index where it lies in the file
  FileView entryView_;
  std::unique_ptr<std::uint8_t[]> blockIndex_;  // a compressed index, decoded
  std::unique_ptr<std::uint8_t[]> entryIndex_;
  int cachedBlock_ = -1;
  std::size_t cachedBlockBytes_ = 0;  // decoded length of the cached block
  std::unique_ptr<std::uint8_t[]> blockCache_;
  std::unique_ptr<std::uint8_t[]> storedScratch_;
  std::size_t blockBufferBytes_ = 0;
  std::uint64_t blockDecodes_ = 0;
  int damagedBlock_ = -1;
  // FindWord's key cache: one slot per node of the first levels, and one
  // bit per slot that says it is filled. The slots are left uninitialised,
  // so that only the ones look-ups fill take memory.
  std::unique_ptr<CachedKey[]> keyCache_;
  std::unique_ptr<std::uint64_t[]> keyCacheFilled_;
  std::size_t keyCacheSlots_ = 0;
};

// The word list a book is opened for: OpenBook empties it and gives it one
// row per entry. The main window supplies the list view behind it.
class WordListSink {
 public:
  virtual ~WordListSink() = default;
  virtual void DeleteAllItems() = 0;
  virtual void SetItemCount(int count) = 0;
};

// Opens the book at path (UTF-8, at most 259 characters as UTF-16 counts
// them) into a closed BookFile and sizes the word list for it: 1, or 0 with
// the list left as it was. A longer path is refused rather than cut.
int OpenBook(BookFile& book, const char* path, WordListSink* wordList);

}  // namespace quill
