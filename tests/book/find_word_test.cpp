#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/book_file.h"
#include "support/test_books.h"

namespace quill {
namespace {

using testing::Entries;
using testing::U16;
using testing::WriteBook;

// Looks a word up on a scratch copy, as callers do, and reports the result
// and where the cursor ended.
struct Lookup {
  int found;
  int entry;
  bool operator==(const Lookup&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Lookup& l) {
  return out << "{found " << l.found << ", entry " << l.entry << "}";
}

Lookup Find(BookFile& book, const std::u16string& word) {
  std::u16string scratch = word;
  const int found = book.FindWord(scratch.data());
  return {found, book.CurrentEntry()};
}

class FindWordTest : public ::testing::Test {
 protected:
  void Open(const std::vector<BookEntry>& entries, std::size_t blockBytes = 16384) {
    BookLayout layout;
    layout.blockBytes = blockBytes;
    ASSERT_EQ(book_.Open(WriteBook(entries, layout).c_str()), 1);
  }
  void TearDown() override { book_.Close(); }
  BookFile book_;
};

TEST_F(FindWordTest, WorkedExamples) {
  Open(Entries({"abc", "abd", "b", "ba", "ca"}));
  EXPECT_EQ(Find(book_, u"B"), (Lookup{1, 2}));
  EXPECT_EQ(Find(book_, u"Ba"), (Lookup{1, 3}));
  EXPECT_EQ(Find(book_, u"ab"), (Lookup{0, 0}));
  EXPECT_EQ(Find(book_, u"bb"), (Lookup{0, 4}));
  EXPECT_EQ(Find(book_, u"bab"), (Lookup{0, 4}));
  EXPECT_EQ(Find(book_, u"abd"), (Lookup{1, 1}));
  EXPECT_EQ(Find(book_, u"CA"), (Lookup{1, 4}));
}

TEST_F(FindWordTest, NeighboursAreComparedAsStored) {
  Open(Entries({"a", "Abc", "b"}));
  EXPECT_EQ(Find(book_, u"ab"), (Lookup{0, 0}));
  book_.Close();
  Open(Entries({"a", "abc", "b"}));
  EXPECT_EQ(Find(book_, u"ab"), (Lookup{0, 1}));
}

TEST_F(FindWordTest, FindsTheFirstOfKeysEqualButForCase) {
  // The equal run spans blocks, so stepping back crosses a block boundary.
  std::vector<BookEntry> entries = Entries({"aaa", "Apple", "apple", "APPLE", "aPPle", "b"});
  for (int i = 0; i < 40; ++i) entries.insert(entries.begin(), {U16("a" + std::to_string(i)), u"x"});
  SortEntries(entries);
  Open(entries, 64);
  ASSERT_GT(book_.Header().blockCount, 5u);
  const Lookup l = Find(book_, u"APPLE");
  EXPECT_EQ(l.found, 1);
  ASSERT_EQ(book_.SetCurrentEntry(l.entry), 1);
  char16_t key[16];
  ASSERT_EQ(book_.ReadKey(key, 16), 1);
  EXPECT_EQ(std::u16string(key), u"Apple");
  ASSERT_EQ(book_.SetCurrentEntry(l.entry - 1), 1);
  ASSERT_EQ(book_.ReadKey(key, 16), 1);
  EXPECT_EQ(std::u16string(key), u"aaa");
}

TEST_F(FindWordTest, OnlyAsciiLettersFold) {
  Open({{u"\u00e9t\u00e9", u"summer"}, {u"zebra", u""}});
  EXPECT_EQ(Find(book_, u"\u00c9T\u00c9").found, 0);
  EXPECT_EQ(Find(book_, u"\u00e9T\u00e9"), (Lookup{1, 0}));
  // Units above 0x7FFF compare as unsigned: they sort after ASCII.
  book_.Close();
  Open({{u"a", u""}, {u"z", u""}, {u"\uFF21", u""}});
  EXPECT_EQ(Find(book_, u"\uFF21"), (Lookup{1, 2}));
  // No key begins with "zz": the last probe, entry 2, stays current.
  EXPECT_EQ(Find(book_, u"zz"), (Lookup{0, 2}));
}

TEST_F(FindWordTest, WordLongerThanEveryMatchingKey) {
  Open(Entries({"bo", "boo", "book", "booking", "boot", "cat"}));
  // "bookcase" is not a key; no key begins with it.
  const Lookup l = Find(book_, u"bookcase");
  EXPECT_EQ(l.found, 0);
  EXPECT_GE(l.entry, 2);
  EXPECT_LE(l.entry, 4);
  EXPECT_EQ(Find(book_, u"book"), (Lookup{1, 2}));
  // A typed prefix lands on a key that begins with it.
  const Lookup prefix = Find(book_, u"bookin");
  EXPECT_EQ(prefix, (Lookup{0, 3}));
}

TEST_F(FindWordTest, EmptyWordAndEmptyKeys) {
  Open(Entries({"", "a", "b"}));
  EXPECT_EQ(Find(book_, u""), (Lookup{1, 0}));
  EXPECT_EQ(Find(book_, u"a"), (Lookup{1, 1}));
  book_.Close();
  Open(Entries({"a", "b"}));
  EXPECT_EQ(Find(book_, u""), (Lookup{0, 0}));
}

TEST_F(FindWordTest, EveryKeyOfALargeBookIsFound) {
  std::vector<BookEntry> entries;
  for (int i = 0; i < 2000; ++i) {
    entries.push_back({U16("k" + std::to_string(i * 7919 % 100003)), u""});
  }
  SortEntries(entries);
  Open(entries, 512);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    ASSERT_EQ(Find(book_, entries[i].key), (Lookup{1, static_cast<int>(i)}));
  }
  // A lookup reads about log2(count) keys: far fewer block decodes than
  // there are blocks.
  const std::uint64_t before = book_.BlockDecodes();
  Find(book_, u"k5");
  EXPECT_LE(book_.BlockDecodes() - before, 14u);
}

// The keys of the first levels of the search are kept once read: a second
// look-up of a word decodes fewer blocks and ends exactly where a look-up on
// a freshly opened book does, whatever the word.
TEST_F(FindWordTest, KeptKeysNeverChangeTheAnswer) {
  std::vector<BookEntry> entries;
  for (int i = 0; i < 3000; ++i) {
    std::string key = "k" + std::to_string(i * 7919 % 100003);
    if (i % 7 == 0) key[0] = 'K';                              // equal but for case
    if (i % 11 == 0) key += " with a key longer than a slot";  // never kept
    entries.push_back({U16(key), u""});
    if (i % 13 == 0) entries.push_back({U16(key), u"again"});  // equal keys
  }
  SortEntries(entries);
  BookLayout layout;
  layout.blockBytes = 256;
  const std::string path = WriteBook(entries, layout);
  std::vector<std::u16string> words;
  for (std::size_t i = 0; i < entries.size(); i += 5) {
    const std::u16string& key = entries[i].key;
    words.push_back(key);
    words.push_back(key.substr(0, key.size() / 2));
    words.push_back(key + u"z");
    words.push_back(U16("K") + key.substr(1));
  }
  words.push_back(u"");
  words.push_back(u"zzz");
  ASSERT_EQ(book_.Open(path.c_str()), 1);
  EXPECT_GT(book_.KeyCacheBytes(), 0u);
  BookFile fresh;
  std::uint64_t coldDecodes = 0;
  std::uint64_t warmDecodes = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (const std::u16string& word : words) {
      ASSERT_EQ(fresh.Open(path.c_str()), 1);
      const Lookup cold = Find(fresh, word);
      coldDecodes += fresh.BlockDecodes();
      fresh.Close();
      const std::uint64_t before = book_.BlockDecodes();
      ASSERT_EQ(Find(book_, word), cold) << std::string(word.begin(), word.end());
      if (pass == 1) warmDecodes += book_.BlockDecodes() - before;
    }
  }
  // Half the probes or more come from kept keys once they are filled.
  EXPECT_LT(warmDecodes * 2, coldDecodes / 2);
}

}  // namespace
}  // namespace quill
