#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "book/book_format.h"
#include "book/fold_case.h"
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

MatchQuery Query(int start, std::initializer_list<std::u16string> terms) {
  MatchQuery q{};
  q.startEntry = start;
  for (const std::u16string& t : terms) {
    std::copy(t.begin(), t.end(), q.terms[q.termCount]);
    ++q.termCount;
  }
  return q;
}

class FindNextMatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BookLayout layout;
    layout.blockBytes = 64;  // entries spread over several blocks
    ASSERT_EQ(book_.Open(WriteBook(Entries({
                                       "Alpha=first letter of the Greek alphabet",
                                       "beta=second letter",
                                       "Gamma=third; see also ALPHA",
                                       "delta=river mouth",
                                       "empty=",
                                       "omega=last letter",
                                   }),
                                   layout)
                             .c_str()),
              1);
  }
  void TearDown() override { book_.Close(); }
  BookFile book_;
};

TEST_F(FindNextMatchTest, KindsAndPositionsAcrossKeyAndContent) {
  MatchQuery q = Query(0, {u"ALPH"});
  ASSERT_EQ(book_.FindNextMatch(q), 1);
  EXPECT_EQ(book_.CurrentEntry(), 0);
  EXPECT_EQ(q.matchKind[0], kFoundInKey);
  EXPECT_EQ(q.matchPosition[0], 0);
  // The term was folded in place.
  EXPECT_EQ(std::u16string(q.terms[0]), u"alph");

  q.startEntry = 1;
  ASSERT_EQ(book_.FindNextMatch(q), 1);
  EXPECT_EQ(book_.CurrentEntry(), 2);
  EXPECT_EQ(q.matchKind[0], kFoundInContent);
  EXPECT_EQ(q.matchPosition[0], 16);

  // First term only in the content, second only in the key.
  MatchQuery two = Query(0, {u"river", u"LTA"});
  ASSERT_EQ(book_.FindNextMatch(two), 1);
  EXPECT_EQ(book_.CurrentEntry(), 3);
  EXPECT_EQ(two.matchKind[0], kFoundInContent);
  EXPECT_EQ(two.matchPosition[0], 0);
  EXPECT_EQ(two.matchKind[1], kFoundInKey);
  EXPECT_EQ(two.matchPosition[1], 2);

  // Both terms must occur; "letter" alone would stop at entry 0.
  MatchQuery both = Query(0, {u"letter", u"last"});
  ASSERT_EQ(book_.FindNextMatch(both), 1);
  EXPECT_EQ(book_.CurrentEntry(), 5);
  EXPECT_EQ(both.matchKind[0], kFoundInContent);
  EXPECT_EQ(both.matchPosition[0], 5);
}

TEST_F(FindNextMatchTest, NoMatchLeavesTheCursorOnTheLastEntry) {
  MatchQuery q = Query(0, {u"zzz"});
  EXPECT_EQ(book_.FindNextMatch(q), 0);
  EXPECT_EQ(book_.CurrentEntry(), 5);
  EXPECT_EQ(q.matchKind[0], kNotFound);
  // From the last entry, which has no match.
  MatchQuery last = Query(5, {u"alpha"});
  EXPECT_EQ(book_.FindNextMatch(last), 0);
  EXPECT_EQ(book_.CurrentEntry(), 5);
}

TEST_F(FindNextMatchTest, RefusedQueriesKeepTheCursor) {
  ASSERT_EQ(book_.SetCurrentEntry(2), 1);
  MatchQuery q = Query(-1, {u"a"});
  EXPECT_EQ(book_.FindNextMatch(q), 0);
  q.startEntry = 6;
  EXPECT_EQ(book_.FindNextMatch(q), 0);
  q.startEntry = 0;
  q.termCount = 6;
  EXPECT_EQ(book_.FindNextMatch(q), 0);
  q.termCount = -1;
  EXPECT_EQ(book_.FindNextMatch(q), 0);
  EXPECT_EQ(book_.CurrentEntry(), 2);
}

TEST_F(FindNextMatchTest, NoTermsAndEmptyTerms) {
  MatchQuery none = Query(3, {});
  ASSERT_EQ(book_.FindNextMatch(none), 1);
  EXPECT_EQ(book_.CurrentEntry(), 3);
  // An empty term occurs at 0 of any non-empty text: the key first.
  MatchQuery empty = Query(4, {u""});
  ASSERT_EQ(book_.FindNextMatch(empty), 1);
  EXPECT_EQ(book_.CurrentEntry(), 4);
  EXPECT_EQ(empty.matchKind[0], kFoundInKey);
  EXPECT_EQ(empty.matchPosition[0], 0);
}

TEST_F(FindNextMatchTest, LongTermsAreSearchedWhole) {
  book_.Close();
  const std::u16string longKey(70, u'q');
  const std::u16string content = u"x" + std::u16string(80, u'w') + u"!";
  ASSERT_EQ(book_.Open(WriteBook({{u"a", content}, {longKey, u""}}).c_str()), 1);
  // 80 units fill the slot up to its terminator.
  MatchQuery q = Query(0, {std::u16string(80, u'W')});
  ASSERT_EQ(book_.FindNextMatch(q), 1);
  EXPECT_EQ(book_.CurrentEntry(), 0);
  EXPECT_EQ(q.matchKind[0], kFoundInContent);
  EXPECT_EQ(q.matchPosition[0], 1);
  // 71 units of q: longer than the key, so no match; a cut term would match.
  MatchQuery longer = Query(0, {std::u16string(71, u'q')});
  EXPECT_EQ(book_.FindNextMatch(longer), 0);
  // A slot filled to the brim, without terminator, is read up to its end
  // and never beyond.
  MatchQuery full{};
  full.termCount = 1;
  for (char16_t& u : full.terms[0]) u = u'w';
  full.terms[1][0] = u'w';
  EXPECT_EQ(book_.FindNextMatch(full), 0);
}

// What the scan must answer, worked out entry by entry through ReadKey and
// ReadContent: the first entry from start on that holds every term, with
// each term's kind and position.
struct Answer {
  int entry = -1;
  std::vector<int> kinds;
  std::vector<int> positions;
  bool operator==(const Answer&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answer& a) {
  out << "{entry " << a.entry;
  for (std::size_t j = 0; j < a.kinds.size(); ++j) out << ", " << a.kinds[j] << "@" << a.positions[j];
  return out << "}";
}

std::u16string Folded(std::u16string text) {
  for (char16_t& u : text) u = FoldUnit(u);
  return text;
}

Answer ExpectedMatch(BookFile& book, int start, const std::vector<std::u16string>& terms) {
  std::vector<char16_t> buffer(book.Header().textBufferUnits);
  for (int i = start; i < book.EntryCount(); ++i) {
    book.SetCurrentEntry(i);
    book.ReadKey(buffer.data(), buffer.size());
    const std::u16string key = Folded(buffer.data());
    book.ReadContent(buffer.data(), buffer.size());
    const std::u16string content = Folded(buffer.data());
    Answer a{i, {}, {}};
    for (const std::u16string& term : terms) {
      const std::u16string t = Folded(term);
      std::size_t at = key.empty() ? std::u16string::npos : key.find(t);
      if (at != std::u16string::npos) {
        a.kinds.push_back(kFoundInKey);
      } else if (at = content.empty() ? std::u16string::npos : content.find(t);
                 at != std::u16string::npos) {
        a.kinds.push_back(kFoundInContent);
      } else {
        break;
      }
      a.positions.push_back(static_cast<int>(at));
    }
    if (a.kinds.size() == terms.size()) return a;
  }
  return {};
}

Answer ScanMatch(BookFile& book, int start, const std::vector<std::u16string>& terms) {
  MatchQuery q{};
  q.startEntry = start;
  for (const std::u16string& t : terms) {
    std::copy(t.begin(), t.end(), q.terms[q.termCount++]);
  }
  if (book.FindNextMatch(q) != 1) {
    EXPECT_EQ(book.CurrentEntry(), book.EntryCount() - 1);
    return {};
  }
  Answer a{book.CurrentEntry(), {}, {}};
  for (std::size_t j = 0; j < terms.size(); ++j) {
    a.kinds.push_back(q.matchKind[j]);
    a.positions.push_back(q.matchPosition[j]);
  }
  return a;
}

// The scan passes over whole blocks that lack a term; it must find exactly
// what looking at every entry finds, also for terms that occur only across
// the end of one entry's text and the start of the next, which no entry
// holds.
TEST(FindNextMatchScan, BlocksPassedOverHoldNoMatch) {
  std::mt19937 random(11);
  const char* const words[] = {"sun", "Moon", "star", "SKY", "cloud", "rain", "é"};
  std::vector<BookEntry> entries;
  for (int i = 0; i < 600; ++i) {
    std::string key = words[random() % 7];
    key += std::to_string(i);
    std::string content;
    for (int w = 0; w < 1 + static_cast<int>(random() % 6); ++w) {
      content += std::string(words[random() % 7]) + " ";
    }
    if (i % 50 == 7) content += "needle";
    entries.push_back({U16(key), U16(content)});
  }
  SortEntries(entries);
  BookLayout layout;
  layout.blockBytes = 512;
  BookFile book;
  ASSERT_EQ(book.Open(WriteBook(entries, layout).c_str()), 1);
  const std::vector<std::vector<std::u16string>> queries = {
      {u"needle"}, {u"NEEDLE", u"sky"}, {u"sun1"}, {u"zzz"}, {u"rain", u"needle"},
      {u"moon"},   {u"é"},               {u"needle", u"zzz"}, {u""},  {u"leSKY"},
      // A content's end followed by the next entry's key.
      {u"needlerain"}, {u"rain sun"}};
  for (const auto& terms : queries) {
    for (int start = 0; start < book.EntryCount(); start += 37) {
      ASSERT_EQ(ScanMatch(book, start, terms), ExpectedMatch(book, start, terms))
          << "first term " << std::string(terms[0].begin(), terms[0].end()) << " from " << start;
    }
  }
  book.Close();
}

// A book from elsewhere whose entries do not all start at an even offset
// of their block: the scan reads each entry on its own grid of units.
TEST(FindNextMatchScan, EntriesAtOddOffsets) {
  BookLayout layout;
  layout.compressIndexes = false;
  layout.compressBlocks = false;
  std::vector<std::uint8_t> image =
      BuildImage(Entries({"aa=xyz", "bb=hello", "cc=world"}), layout);
  // Entry 1 now starts one byte later: its key reads as units 0x6200,
  // 0x6800 ("b" and "h" moved into the high bytes).
  const auto index = Peek<std::uint32_t>(image, offsetof(BookHeader, entryIndexOffset)) + 1;
  const std::size_t record = index + sizeof(EntryIndexRecord);
  Poke<std::uint16_t>(image, record + 2,
                      static_cast<std::uint16_t>(Peek<std::uint16_t>(image, record + 2) + 1));
  BookFile book;
  ASSERT_EQ(book.Open(WriteScratchFile(image).c_str()), 1);
  const std::u16string shifted{char16_t{0x6200}, char16_t{0x6800}};
  EXPECT_EQ(ScanMatch(book, 0, {shifted}), ExpectedMatch(book, 0, {shifted}));
  EXPECT_EQ(ScanMatch(book, 0, {shifted}).entry, 1);
  EXPECT_EQ(ScanMatch(book, 0, {u"world"}).entry, 2);
  book.Close();
}

}  // namespace
}  // namespace quill
