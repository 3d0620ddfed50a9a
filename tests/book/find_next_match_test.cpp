#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/book_file.h"
#include "support/test_books.h"

namespace quill {
namespace {

using testing::Entries;
using testing::WriteBook;

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

}  // namespace
}  // namespace quill
