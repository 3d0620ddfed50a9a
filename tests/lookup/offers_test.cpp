// What a miss offers: the keys of a book collected, the walk over them that
// finds the keys close in spelling (held against measuring every key), the
// offers in their order, the note, and books whose keys cannot be read.
#include "lookup/offers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "book/utf.h"
#include "lookup/book_keys.h"
#include "lookup/many_books.h"
#include "lookup/spelling.h"
#include "support/test_books.h"

namespace quill::lookup {
namespace {

using testing::WriteBook;
using testing::WriteScratchFile;

std::u16string W(const char* utf8) {
  std::u16string wide;
  Utf8ToUtf16(utf8, &wide);
  return wide;
}

std::vector<BookEntry> KeyedEntries(const std::vector<std::u16string>& keys) {
  std::vector<BookEntry> entries;
  for (const std::u16string& key : keys) entries.push_back({key, u"about " + key});
  SortEntries(entries);
  return entries;
}

BookKeys CollectFrom(const std::string& path) {
  BookFile book;
  EXPECT_EQ(book.Open(path.c_str()), 1) << path;
  BookKeys keys;
  EXPECT_TRUE(keys.Collect(book));
  return keys;
}

std::string Listed(const std::vector<Offer>& offers) {
  std::string text;
  for (const Offer& o : offers) text += (text.empty() ? "" : ", ") + ToUtf8(o.word);
  return text;
}

TEST(Distance, CountsEditsOnCodePoints) {
  struct Case {
    const char* a;
    const char* b;
    int distance;
  } const cases[] = {
      {"", "abc", 3},          {"abc", "abc", 0},       {"kitten", "sitting", 3},
      {"recieve", "receive", 1},  // neighbours swapped: one edit
      {"ca", "abc", 3},        // a swapped pair is not edited again
      {"accomodate", "accommodate", 1}, {"Goose", "gOOSE", 0},  // A-Z fold
      {"a\xF0\xA0\x80\x80" "b", "axb", 1},  // a pair of surrogates is one code point
      {"\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82", "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x83", 1},
      {"\xC3\x89t\xC3\xA9", "\xC3\xA9t\xC3\xA9", 1},  // only A-Z fold
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(Distance(FoldedCodePoints(W(c.a)), FoldedCodePoints(W(c.b))), c.distance);
    EXPECT_EQ(Distance(FoldedCodePoints(W(c.b)), FoldedCodePoints(W(c.a))), c.distance);
  }
  EXPECT_EQ(MaxEdits(2), 0);
  EXPECT_EQ(MaxEdits(3), 1);
  EXPECT_EQ(MaxEdits(4), 1);
  EXPECT_EQ(MaxEdits(5), 2);
}

// The walk skips runs of keys by the prefixes they share; whatever it
// skips, it must find exactly the keys that measuring each one finds.
TEST(CloseKeys, FindsWhatMeasuringEveryKeyFinds) {
  std::mt19937 random(2026);
  const std::u16string letters = u"abcdeABx\u00E9\u03BB";
  auto randomWord = [&](std::size_t most) {
    std::u16string word;
    const std::size_t length = 1 + random() % most;
    for (std::size_t i = 0; i < length; ++i) {
      if (random() % 23 == 0) {
        word += u"\U00020001";  // a pair of surrogates
      } else {
        word += letters[random() % letters.size()];
      }
    }
    return word;
  };
  std::vector<std::u16string> keys;
  for (int i = 0; i < 3000; ++i) keys.push_back(randomWord(8));
  keys.push_back(u"abcde");
  keys.push_back(u"ABCDE");  // folded equals: offered once
  const BookKeys collected = CollectFrom(WriteBook(KeyedEntries(keys)));
  ASSERT_EQ(collected.Count(), keys.size());

  std::vector<std::u16string> words;
  for (int i = 0; i < 150; ++i) words.push_back(randomWord(9));
  for (int i = 0; i < 150; ++i) {
    // A key with one or two edits: the walk's usual work.
    std::u16string word = keys[random() % keys.size()];
    for (int edit = 0; edit < 1 + i % 2 && !word.empty(); ++edit) {
      const std::size_t at = random() % word.size();
      switch (random() % 4) {
        case 0: word.erase(at, 1); break;
        case 1: word.insert(at, 1, letters[random() % letters.size()]); break;
        case 2: word[at] = letters[random() % letters.size()]; break;
        default: if (at + 1 < word.size()) std::swap(word[at], word[at + 1]); break;
      }
    }
    words.push_back(word);
  }
  std::size_t found = 0;
  for (const std::u16string& word : words) {
    SCOPED_TRACE(ToUtf8(word));
    const std::u32string typed = FoldedCodePoints(word);
    std::vector<std::size_t> expected;
    std::set<std::u32string> seen;
    for (std::size_t n = 0; n < collected.Count(); ++n) {
      const std::u32string key = FoldedCodePoints(collected.Key(n));
      if (!seen.insert(key).second) continue;
      if (MaxEdits(typed.size()) > 0 && Distance(typed, key) <= MaxEdits(typed.size())) {
        expected.push_back(n);
      }
    }
    for (const auto& close : {CloseKeys(collected, word), CloseKeysByScan(collected, word)}) {
      std::vector<std::size_t> got;
      for (const CloseKey& k : close) {
        got.push_back(k.entry);
        EXPECT_EQ(k.distance, Distance(typed, FoldedCodePoints(collected.Key(k.entry))));
      }
      EXPECT_EQ(got, expected);
    }
    found += expected.size();
  }
  EXPECT_GT(found, 300u) << "the words should be close to many keys";
}

class Offers : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* const words[] = {
        "accurate", "acute",  "curate", "accommodate", "occurred", "goose",  "mouse",
        "mica",     "micelle", "pronounce", "pronunciation", "receive", "recife", "the",
        "dame",     "fame",   "game",   "name",  "same",  "tame",
        "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82",  // Greek, final sigma
        "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE",  // Russian
        "a\xF0\xA0\x80\x80" "b",                     // beyond the BMP
    };
    std::vector<std::u16string> keys;
    for (const char* w : words) keys.push_back(W(w));
    keys_ = new BookKeys(CollectFrom(WriteBook(KeyedEntries(keys), BookLayout{}, "offers.xqb")));
  }
  static void TearDownTestSuite() { delete keys_; }
  static BookKeys* keys_;
};
BookKeys* Offers::keys_ = nullptr;

TEST_F(Offers, BaseFormsThenSpellingsBestFirst) {
  struct Case {
    const char* word;
    const char* offered;
  } const cases[] = {
      // One edit before two; among equals the more common word.
      {"acurate", "accurate, curate, acute"},
      {"recieve", "receive, recife"},  // a swap is one edit
      {"accomodate", "accommodate"},   // a letter missing
      {"occurrred", "occurred"},       // a letter too many
      {"teh", "the"},                  // short words: one edit
      // Five at most: the most common of the equally close.
      {"xame", "same, name, game, fame, tame"},
      // A base form first, and not again as a spelling.
      {"geese", "goose"},
      {"Geese", "goose"},
      // A key begins with "mice" and "pronunc": they are being typed, so
      // no spelling ("mica"); a base form all the same.
      {"mice", "mouse"},
      {"pronunc", ""},
      // Words the book holds, folded, offer nothing.
      {"accurate", ""},
      {"ACCURATE", ""},
      // Too short for spellings, nothing close, nothing typed.
      {"ab", ""},
      {"zzzzqqq", ""},
      {"", ""},
      // Other scripts, and a code point of two units as one.
      {"\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x83", "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82"},
      {"\xD1\x81\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB0", "\xD1\x81\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xBE"},
      {"axb", "a\xF0\xA0\x80\x80" "b"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    const std::vector<Offer> offers = OfferWords(*keys_, W(c.word));
    EXPECT_EQ(Listed(offers), c.offered);
    for (const Offer& o : offers) EXPECT_EQ(keys_->Key(o.entry), o.word);
  }
  const std::vector<Offer> geese = OfferWords(*keys_, u"geese");
  ASSERT_EQ(geese.size(), 1u);
  EXPECT_TRUE(geese[0].baseForm);
  EXPECT_EQ(geese[0].distance, 2);
}

TEST_F(Offers, TheNoteListsThemAsTyped) {
  EXPECT_EQ(MissNote(u"acurate", OfferWords(*keys_, u"acurate")),
            u"acurate: not in this book. Did you mean accurate, curate, acute?");
  EXPECT_EQ(MissNote(u"Mice", OfferWords(*keys_, u"Mice")),
            u"Mice: not in this book. Did you mean mouse?");
  EXPECT_EQ(MissNote(u"pronunc", OfferWords(*keys_, u"pronunc")), u"");
}

TEST_F(Offers, LongWordsAndOddUnitsAreSafe) {
  EXPECT_TRUE(OfferWords(*keys_, std::u16string(500, u'a')).empty());
  std::u16string odd = u"acc\xD800urate";  // a lone surrogate
  EXPECT_EQ(Listed(OfferWords(*keys_, odd)), "accurate");
  EXPECT_TRUE(OfferWords(*keys_, std::u16string(u"\xDFFF\xDFFF\xDFFF\xDFFF")).empty());
  EXPECT_TRUE(OfferWords(BookKeys(), u"acurate").empty());
}

// A book whose block 0 does not decode.
std::string DamagedBook() {
  std::vector<std::u16string> keys;
  for (int i = 0; i < 40; ++i) keys.push_back(u"word" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)) + std::u16string(1, static_cast<char16_t>(u'a' + i / 26)));
  return WriteScratchFile(testing::ImageWithDamagedFirstBlock(KeyedEntries(keys)), "damaged.xqb");
}

TEST(BookKeysCollect, ADamagedBookOffersNothing) {
  const std::string path = DamagedBook();
  BookFile book;
  ASSERT_EQ(book.Open(path.c_str()), 1);
  BookKeys keys;
  EXPECT_FALSE(keys.Collect(book));
  EXPECT_EQ(keys.Count(), 0u);
  EXPECT_EQ(book.DamagedBlock(), 0);
  std::vector<Offer> offers;
  EXPECT_EQ(LookUpWord(book, u"wordzz", &offers), Answer::kNearest);
  EXPECT_TRUE(offers.empty());

  KeysInBackground background;
  background.Start(path);
  EXPECT_EQ(background.Wait(), nullptr);
}

TEST(BookKeysCollect, InTheBackgroundTheLastStartedCounts) {
  const std::string first = WriteBook(KeyedEntries({u"apple", u"pear"}), BookLayout{}, "first.xqb");
  const std::string second =
      WriteBook(KeyedEntries({u"goose", u"mouse", u"zebra"}), BookLayout{}, "second.xqb");
  KeysInBackground background;
  EXPECT_EQ(background.Wait(), nullptr);  // nothing started
  background.Start(first);
  background.Start(second);  // the first is abandoned
  const BookKeys* keys = background.Wait();
  ASSERT_NE(keys, nullptr);
  ASSERT_EQ(keys->Count(), 3u);
  EXPECT_EQ(keys->Key(1), u"mouse");
  EXPECT_EQ(background.Wait(), keys);  // waiting again changes nothing
  background.Stop();
  EXPECT_EQ(background.Wait(), nullptr);
  background.Start(testing::ScratchDir() + "/missing.xqb");
  EXPECT_EQ(background.Wait(), nullptr);
}

TEST(BookKeysCollect, LooksUpByFoldedOrder) {
  const BookKeys keys = CollectFrom(
      WriteBook(KeyedEntries({u"Apple", u"apple", u"applesauce", u"Bee", u"bee"}), BookLayout{}, "order.xqb"));
  EXPECT_EQ(keys.Find(u"APPLE"), 0);
  EXPECT_EQ(keys.Find(u"bee"), 3);
  EXPECT_EQ(keys.Find(u"appl"), -1);
  EXPECT_TRUE(keys.AnyBeginsWith(u"APPLES"));
  EXPECT_FALSE(keys.AnyBeginsWith(u"applet"));
  EXPECT_EQ(keys.Shared(1), 5u);
  EXPECT_EQ(keys.Shared(2), 5u);
  EXPECT_EQ(keys.Shared(3), 0u);
  // The run of keys that begin as "Apple" does, and one shorter.
  EXPECT_EQ(keys.RunEnd(1, 5), 3u);
  EXPECT_EQ(keys.RunEnd(1, 1), 3u);
  EXPECT_EQ(keys.RunEnd(4, 3), 5u);
  EXPECT_LT(keys.Bytes(), 1024u);
}

}  // namespace
}  // namespace quill::lookup
