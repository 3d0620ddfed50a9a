#include "book/book_file.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "support/test_books.h"

namespace quill {
namespace {

using testing::BuildImage;
using testing::Entries;
using testing::Peek;
using testing::Poke;
using testing::U16;
using testing::WriteBook;
using testing::WriteScratchFile;

std::u16string Key(BookFile& book, std::size_t capacity = 512) {
  std::vector<char16_t> buffer(capacity, u'#');
  if (!book.ReadKey(buffer.data(), capacity)) return u"<fail>";
  return buffer.data();
}

std::u16string Content(BookFile& book, std::size_t capacity = 512) {
  std::vector<char16_t> buffer(capacity, u'#');
  if (!book.ReadContent(buffer.data(), capacity)) return u"<fail>";
  return buffer.data();
}

struct RecordingList : WordListSink {
  std::vector<std::string> calls;
  void DeleteAllItems() override { calls.push_back("delete"); }
  void SetItemCount(int count) override { calls.push_back("count " + std::to_string(count)); }
};

// Many entries in small blocks, so that reads cross blocks.
std::vector<BookEntry> ManyEntries(int count) {
  std::vector<BookEntry> entries;
  for (int i = 0; i < count; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "word%05d", i);
    entries.push_back({U16(key), U16(std::string("meaning of ") + key + "\nsecond line")});
  }
  return entries;
}

TEST(BookFileOpen, ReadsEveryEntryOfRawAndCompressedBooks) {
  const std::vector<BookEntry> entries = ManyEntries(300);
  for (const bool compressed : {false, true}) {
    BookLayout layout;
    layout.title = u"Test Book";
    layout.blockBytes = 1024;
    layout.compressBlocks = compressed;
    layout.compressIndexes = compressed;
    const std::vector<std::uint8_t> image = BuildImage(entries, layout);
    // The builder really produced the index form this case is about.
    const auto entryIndexOffset = Peek<std::uint32_t>(image, offsetof(BookHeader, entryIndexOffset));
    const auto blockIndexOffset = Peek<std::uint32_t>(image, offsetof(BookHeader, blockIndexOffset));
    EXPECT_EQ(image[entryIndexOffset] != 0, compressed);
    EXPECT_EQ(image[blockIndexOffset] != 0, compressed);

    BookFile book;
    ASSERT_EQ(book.Open(WriteScratchFile(image).c_str()), 1);
    EXPECT_EQ(book.EntryCount(), 300);
    EXPECT_GT(book.Header().blockCount, 10u);
    EXPECT_EQ(book.CurrentEntry(), 0);
    EXPECT_EQ(book.CachedBlock(), -1);
    for (int i = 0; i < 300; ++i) {
      ASSERT_EQ(book.SetCurrentEntry(i), 1);
      EXPECT_EQ(Key(book), entries[static_cast<std::size_t>(i)].key);
      EXPECT_EQ(Content(book), entries[static_cast<std::size_t>(i)].content);
    }
    std::uint8_t header[kHeaderBytes];
    book.CopyHeader(header);
    EXPECT_EQ(std::u16string(reinterpret_cast<BookHeader*>(header)->title), u"Test Book");
    book.Close();
  }
}

TEST(BookFileOpen, TitleOfTwentyOneUnitsIsReadWhole) {
  BookLayout layout;
  layout.title = u"ABCDEFGHIJKLMNOPQRSTU";
  BookFile book;
  ASSERT_EQ(book.Open(WriteBook(Entries({"a=1"}), layout).c_str()), 1);
  EXPECT_EQ(std::u16string(book.Header().title), layout.title);
  book.Close();
}

TEST(BookFileOpen, BookWithoutEntries) {
  BookFile book;
  RecordingList list;
  ASSERT_EQ(OpenBook(book, WriteBook({}).c_str(), &list), 1);
  EXPECT_EQ(list.calls, (std::vector<std::string>{"delete", "count 0"}));
  EXPECT_EQ(book.EntryCount(), 0);
  EXPECT_EQ(book.SetCurrentEntry(0), 0);
  EXPECT_EQ(book.LoadCurrentBlock(), 0);
  char16_t buffer[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(book.ReadKey(buffer, 4), 0);
  EXPECT_EQ(book.ReadContent(buffer, 4), 0);
  EXPECT_EQ(buffer[0], u'x');
  char16_t word[] = u"anything";
  EXPECT_EQ(book.FindWord(word), 0);
  EXPECT_EQ(book.CurrentEntry(), 0);
  MatchQuery query{};
  EXPECT_EQ(book.FindNextMatch(query), 0);
  book.Close();
}

TEST(BookFileOpen, ClosedBookReadsAsEmpty) {
  BookFile book;
  for (int round = 0; round < 2; ++round) {
    EXPECT_FALSE(book.IsOpen());
    EXPECT_EQ(book.EntryCount(), 0);
    std::uint8_t header[kHeaderBytes];
    std::memset(header, 0xCC, sizeof header);
    book.CopyHeader(header);
    EXPECT_EQ(reinterpret_cast<BookHeader*>(header)->title[0], 0);
    EXPECT_EQ(reinterpret_cast<BookHeader*>(header)->magic, 0u);
    char16_t buffer[8] = {u'z'};
    EXPECT_EQ(book.ReadKey(buffer, 8), 0);
    EXPECT_EQ(buffer[0], u'z');
    EXPECT_EQ(book.SetCurrentEntry(0), 0);
    char16_t word[] = u"a";
    EXPECT_EQ(book.FindWord(word), 0);
    // Open and close once, then the same must hold again.
    ASSERT_EQ(book.Open(WriteBook(Entries({"a=1", "b=2"})).c_str()), 1);
    book.Close();
    book.Close();  // closing twice does nothing
  }
}

TEST(BookFileOpen, ReopeningLeavesNothingOfTheFirstBook) {
  BookLayout big;
  big.title = u"First";
  BookFile book;
  ASSERT_EQ(book.Open(WriteBook(ManyEntries(50), big).c_str()), 1);
  ASSERT_EQ(book.SetCurrentEntry(42), 1);
  EXPECT_EQ(Key(book), u"word00042");
  book.Close();

  BookLayout small;
  small.title = u"Second";
  small.lineSeparator = 0x7C;
  ASSERT_EQ(book.Open(WriteBook(Entries({"x=y|z"}), small).c_str()), 1);
  EXPECT_EQ(book.EntryCount(), 1);
  EXPECT_EQ(std::u16string(book.Header().title), u"Second");
  EXPECT_EQ(book.Header().lineSeparator, 0x7C);
  EXPECT_EQ(book.Header().textBufferUnits, 4);
  EXPECT_EQ(book.CurrentEntry(), 0);
  EXPECT_EQ(book.CachedBlock(), -1);
  EXPECT_EQ(book.SetCurrentEntry(42), 0);
  EXPECT_EQ(Key(book), u"x");
  EXPECT_EQ(Content(book), u"y|z");
  book.Close();
}

TEST(BookFileCursor, OutOfRangeEntriesAreRefused) {
  BookFile book;
  ASSERT_EQ(book.Open(WriteBook(Entries({"a=1", "b=2", "c=3"})).c_str()), 1);
  ASSERT_EQ(book.SetCurrentEntry(1), 1);
  EXPECT_EQ(book.SetCurrentEntry(-1), 0);
  EXPECT_EQ(book.SetCurrentEntry(3), 0);
  EXPECT_EQ(book.CurrentEntry(), 1);
  EXPECT_EQ(book.SetCurrentEntry(2), 1);
  EXPECT_EQ(Key(book), u"c");
  book.Close();
}

TEST(BookFileCursor, ReadsNeedRoomForTheTerminator) {
  BookFile book;
  ASSERT_EQ(book.Open(WriteBook(Entries({"abcd=efg"})).c_str()), 1);
  std::vector<char16_t> buffer(5, u'#');
  EXPECT_EQ(book.ReadKey(buffer.data(), 4), 0);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(book.ReadKey(buffer.data(), 5), 1);
  EXPECT_EQ(std::u16string(buffer.data()), u"abcd");
  EXPECT_EQ(book.ReadContent(buffer.data(), 3), 0);
  EXPECT_EQ(book.ReadContent(buffer.data(), 4), 1);
  EXPECT_EQ(std::u16string(buffer.data()), u"efg");
  // Reading never moves the cursor.
  EXPECT_EQ(book.CurrentEntry(), 0);
  book.Close();
}

TEST(BookFileCache, OneBlockIsDecodedOnceAndReplacedByAnother) {
  BookLayout layout;
  layout.blockBytes = 200;
  BookFile book;
  ASSERT_EQ(book.Open(WriteBook(ManyEntries(40), layout).c_str()), 1);
  ASSERT_GT(book.Header().blockCount, 3u);
  EXPECT_EQ(book.BlockDecodes(), 0u);

  ASSERT_EQ(book.SetCurrentEntry(0), 1);
  EXPECT_EQ(Key(book), u"word00000");
  EXPECT_EQ(book.CachedBlock(), 0);
  EXPECT_EQ(book.BlockDecodes(), 1u);
  ASSERT_EQ(book.SetCurrentEntry(1), 1);  // same block
  EXPECT_EQ(Key(book), u"word00001");
  EXPECT_EQ(Content(book), u"meaning of word00001\nsecond line");
  EXPECT_EQ(book.BlockDecodes(), 1u);

  ASSERT_EQ(book.SetCurrentEntry(39), 1);  // the last block
  EXPECT_EQ(Key(book), u"word00039");
  EXPECT_EQ(book.CachedBlock(), static_cast<int>(book.Header().blockCount) - 1);
  EXPECT_EQ(book.BlockDecodes(), 2u);
  ASSERT_EQ(book.SetCurrentEntry(0), 1);
  EXPECT_EQ(book.LoadCurrentBlock(), 1);
  EXPECT_EQ(book.CachedBlock(), 0);
  EXPECT_EQ(book.BlockDecodes(), 3u);
  book.Close();
}

TEST(BookFileSignature, WrongOrMissingFiles) {
  const std::string good = WriteBook(Entries({"a=1"}));
  EXPECT_EQ(BookFile::CheckSignature(good.c_str()), kSignatureOk);
  const std::string missing = testing::ScratchDir() + "/no-such-book.xqb";
  EXPECT_EQ(BookFile::CheckSignature(missing.c_str()), kSignatureUnreadable);
  std::vector<std::uint8_t> image = BuildImage(Entries({"a=1"}));
  image[3] = 'X';
  const std::string wrong = WriteScratchFile(image);
  EXPECT_EQ(BookFile::CheckSignature(wrong.c_str()), kSignatureWrong);
  EXPECT_EQ(BookFile::CheckSignature(WriteScratchFile({'X', 'Q'}).c_str()), kSignatureWrong);
  EXPECT_EQ(BookFile::CheckSignature(WriteScratchFile({}).c_str()), kSignatureWrong);

  BookFile book;
  RecordingList list;
  EXPECT_EQ(OpenBook(book, wrong.c_str(), &list), 0);
  EXPECT_EQ(OpenBook(book, missing.c_str(), &list), 0);
  EXPECT_TRUE(list.calls.empty());
  EXPECT_FALSE(book.IsOpen());
  ASSERT_EQ(OpenBook(book, good.c_str(), &list), 1);
  EXPECT_EQ(list.calls, (std::vector<std::string>{"delete", "count 1"}));
  book.Close();
}

TEST(BookFileSignature, OverlongPathIsRefusedNotCut) {
  // A path of 260 characters whose first 259 name a real book: cutting it
  // would open the wrong file.
  std::string path = WriteBook(Entries({"a=1"}));
  ASSERT_LT(path.size(), 259u);
  const std::string prefix = path;
  path.append(260 - path.size(), 'x');
  BookFile book;
  RecordingList list;
  EXPECT_EQ(OpenBook(book, path.c_str(), &list), 0);
  EXPECT_TRUE(list.calls.empty());
  EXPECT_EQ(OpenBook(book, prefix.c_str(), &list), 1);
  book.Close();
}

// A healthy compressed book with several blocks, damaged one field at a time.
class DamagedBook : public ::testing::Test {
 protected:
  void SetUp() override {
    BookLayout layout;
    layout.blockBytes = 256;
    entries_ = ManyEntries(30);
    image_ = BuildImage(entries_, layout);
    ASSERT_GT(Peek<std::uint32_t>(image_, offsetof(BookHeader, blockCount)), 2u);
  }
  bool Opens(const std::vector<std::uint8_t>& image) {
    BookFile book;
    const int result = book.Open(WriteScratchFile(image).c_str());
    if (result == 1) {
      // Whatever opened must read safely.
      for (int i = 0; i < book.EntryCount(); ++i) {
        book.SetCurrentEntry(i);
        Key(book, 600);
        Content(book, 600);
      }
    } else {
      EXPECT_FALSE(book.IsOpen());
      EXPECT_EQ(book.EntryCount(), 0);
    }
    book.Close();
    return result == 1;
  }
  template <typename T>
  std::vector<std::uint8_t> With(std::size_t offset, T value) {
    std::vector<std::uint8_t> copy = image_;
    Poke<T>(copy, offset, value);
    return copy;
  }
  std::uint32_t HeaderField(std::size_t offset) { return Peek<std::uint32_t>(image_, offset); }

  std::vector<BookEntry> entries_;
  std::vector<std::uint8_t> image_;
};

TEST_F(DamagedBook, HealthyImageOpens) { EXPECT_TRUE(Opens(image_)); }

TEST_F(DamagedBook, ShortFilesAreRefused) {
  EXPECT_FALSE(Opens({}));
  EXPECT_FALSE(Opens(std::vector<std::uint8_t>(image_.begin(), image_.begin() + 511)));
  // Cut anywhere after the header: some index or block now lies outside.
  EXPECT_FALSE(Opens(std::vector<std::uint8_t>(image_.begin(), image_.end() - 1)));
}

TEST_F(DamagedBook, WrongMagicIsRefused) {
  EXPECT_FALSE(Opens(With<std::uint32_t>(0, 0x00425157)));
}

TEST_F(DamagedBook, IndexesOutsideTheFileAreRefused) {
  const std::size_t size = image_.size();
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, entryIndexOffset),
                                         static_cast<std::uint32_t>(size))));
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, entryIndexSize),
                                         HeaderField(offsetof(BookHeader, entryIndexSize)) + 1)));
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, blockIndexOffset), 0xFFFFFFF0u)));
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, blockIndexSize), 0xFFFFFFFFu)));
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, entryIndexSize), 0)));
}

TEST_F(DamagedBook, CountsThatDoNotMatchTheIndexesAreRefused) {
  const auto entryCount = static_cast<std::int32_t>(entries_.size());
  // One record more than the index holds, or a huge count: nothing to
  // allocate for, nothing read past the decoded index.
  EXPECT_FALSE(Opens(With<std::int32_t>(offsetof(BookHeader, entryCount), entryCount + 1)));
  EXPECT_FALSE(Opens(With<std::int32_t>(offsetof(BookHeader, entryCount), 0x7FFFFFFF)));
  EXPECT_FALSE(Opens(With<std::int32_t>(offsetof(BookHeader, entryCount), -1)));
  // Fewer entries than recorded is a smaller, consistent book.
  EXPECT_TRUE(Opens(With<std::int32_t>(offsetof(BookHeader, entryCount), entryCount - 1)));
  const std::uint32_t blockCount = HeaderField(offsetof(BookHeader, blockCount));
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, blockCount), blockCount + 1)));
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, blockCount), 0xFFFFFFFFu)));
  // Entries in blocks that no longer exist.
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, blockCount), blockCount - 1)));
}

TEST_F(DamagedBook, ZeroBufferSizesAreRefused) {
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, maxBlockSize), 0)));
  EXPECT_FALSE(Opens(With<std::int32_t>(offsetof(BookHeader, textBufferUnits), 0)));
  EXPECT_FALSE(Opens(With<std::int32_t>(offsetof(BookHeader, textBufferUnits), -5)));
  // Too small for the longest key or content.
  EXPECT_FALSE(Opens(With<std::int32_t>(offsetof(BookHeader, textBufferUnits), 10)));
  EXPECT_FALSE(Opens(With<std::uint32_t>(offsetof(BookHeader, maxBlockSize), 20)));
  // Larger than needed is fine, however large.
  EXPECT_TRUE(Opens(With<std::int32_t>(offsetof(BookHeader, textBufferUnits), 0x7FFFFFFF)));
  EXPECT_TRUE(Opens(With<std::uint32_t>(offsetof(BookHeader, maxBlockSize), 0xFFFFFFFFu)));
}

TEST_F(DamagedBook, IndexesThatFailToDecodeAreRefused) {
  // Replace the stored entry index by a malformed stream: a back-reference
  // before any output.
  std::vector<std::uint8_t> image = image_;
  const std::uint32_t at = HeaderField(offsetof(BookHeader, entryIndexOffset));
  image[at] = 1;
  image[at + 1] = 0x80;
  image[at + 2] = 0x10;
  EXPECT_FALSE(Opens(image));
  // A block index that decodes to more than blockCount records.
  image = image_;
  const std::uint32_t blockAt = HeaderField(offsetof(BookHeader, blockIndexOffset));
  const std::uint32_t blockSize = HeaderField(offsetof(BookHeader, blockIndexSize));
  image.resize(blockAt);
  image.push_back(0);
  for (std::uint32_t i = 0; i < HeaderField(offsetof(BookHeader, blockCount)) + 1; ++i) {
    for (int k = 0; k < 8; ++k) image.push_back(0);
  }
  Poke<std::uint32_t>(image, offsetof(BookHeader, blockIndexSize),
                      static_cast<std::uint32_t>(image.size() - blockAt));
  (void)blockSize;
  EXPECT_FALSE(Opens(image));
}

// Rewrites the book with a raw entry index so that records can be damaged.
std::vector<std::uint8_t> RawIndexImage(const std::vector<BookEntry>& entries) {
  BookLayout layout;
  layout.blockBytes = 256;
  layout.compressIndexes = false;
  // Raw blocks: every decoded block is one byte shorter than maxBlockSize.
  layout.compressBlocks = false;
  return BuildImage(entries, layout);
}

TEST_F(DamagedBook, EntryRecordsOutsideTheirBlockFailTheirReadOnly) {
  std::vector<std::uint8_t> image = RawIndexImage(entries_);
  const std::uint32_t at = Peek<std::uint32_t>(image, offsetof(BookHeader, entryIndexOffset)) + 1;
  // Entry 3 now ends right at maxBlockSize, so the book opens, but past the
  // end of its decoded block.
  const std::size_t record = at + 3 * sizeof(EntryIndexRecord);
  const auto maxBlock = Peek<std::uint32_t>(image, offsetof(BookHeader, maxBlockSize));
  const auto keyBytes = Peek<std::uint16_t>(image, record + 4);
  Poke<std::uint16_t>(image, record + 2, static_cast<std::uint16_t>(maxBlock - keyBytes));
  Poke<std::uint16_t>(image, record + 6, 0);
  BookFile book;
  ASSERT_EQ(book.Open(WriteScratchFile(image).c_str()), 1);
  ASSERT_EQ(book.SetCurrentEntry(3), 1);
  std::vector<char16_t> buffer(600, u'#');
  EXPECT_EQ(book.DamagedBlock(), -1);
  EXPECT_EQ(book.ReadKey(buffer.data(), buffer.size()), 0);
  EXPECT_EQ(book.ReadContent(buffer.data(), buffer.size()), 0);
  EXPECT_EQ(buffer[0], u'#');
  // Its block is the damaged one, though it decodes.
  EXPECT_EQ(book.DamagedBlock(), book.CachedBlock());
  ASSERT_EQ(book.SetCurrentEntry(4), 1);
  EXPECT_EQ(Key(book), u"word00004");
  book.Close();

  // An entry whose block number is out of range refuses the whole book.
  image = RawIndexImage(entries_);
  Poke<std::uint16_t>(image, record, 0x7000);
  EXPECT_FALSE(Opens(image));
}

TEST_F(DamagedBook, DamagedBlocksFailTheirReads) {
  std::vector<std::uint8_t> image = RawIndexImage(entries_);
  const auto blockAt = Peek<std::uint32_t>(image, offsetof(BookHeader, blockIndexOffset)) + 1;
  const auto firstBlock = Peek<std::uint32_t>(image, blockAt);
  // Block 0 becomes a stream that starts with a back-reference.
  image[firstBlock] = 1;
  image[firstBlock + 1] = 0x80;
  image[firstBlock + 2] = 0x13;
  const std::string path = WriteScratchFile(image);
  BookFile book;
  ASSERT_EQ(book.Open(path.c_str()), 1);
  // Reads that never reach block 0 neither fail nor note it.
  ASSERT_EQ(book.SetCurrentEntry(29), 1);
  EXPECT_EQ(Key(book), u"word00029");
  char16_t last[] = u"word00029";
  EXPECT_EQ(book.FindWord(last), 1);
  EXPECT_EQ(book.CurrentEntry(), 29);
  MatchQuery query{};
  query.termCount = 1;
  query.startEntry = 20;
  std::memcpy(query.terms[0], u"word00025", 20);
  EXPECT_EQ(book.FindNextMatch(query), 1);
  EXPECT_EQ(book.DamagedBlock(), -1);
  // Each kind of read that goes through block 0 fails there and notes it.
  ASSERT_EQ(book.SetCurrentEntry(0), 1);
  EXPECT_EQ(book.LoadCurrentBlock(), 0);
  EXPECT_EQ(book.CachedBlock(), -1);
  EXPECT_EQ(Key(book), u"<fail>");
  EXPECT_EQ(book.DamagedBlock(), 0);
  book.Close();
  EXPECT_EQ(book.DamagedBlock(), -1);
  ASSERT_EQ(book.Open(path.c_str()), 1);
  char16_t first[] = u"word00001";
  EXPECT_EQ(book.FindWord(first), 0);
  EXPECT_EQ(book.DamagedBlock(), 0);
  book.Close();
  ASSERT_EQ(book.Open(path.c_str()), 1);
  query.startEntry = 0;
  std::memcpy(query.terms[0], u"word00000", 20);
  EXPECT_EQ(book.FindNextMatch(query), 0);
  EXPECT_EQ(book.DamagedBlock(), 0);
  book.Close();

  // A stored block that lies outside the file refuses the book.
  image = RawIndexImage(entries_);
  Poke<std::uint32_t>(image, blockAt, static_cast<std::uint32_t>(image.size() - 2));
  EXPECT_FALSE(Opens(image));
  image = RawIndexImage(entries_);
  Poke<std::uint16_t>(image, blockAt + 4, 0);
  EXPECT_FALSE(Opens(image));
}

}  // namespace
}  // namespace quill
