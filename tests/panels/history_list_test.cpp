#include "panels/history_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

std::vector<std::u16string> Words(const HistoryList& history) {
  std::vector<std::u16string> words;
  char16_t buffer[512];
  for (int i = 0; history.ItemAt(i, buffer, std::size(buffer)); ++i) words.push_back(buffer);
  return words;
}

using W = std::vector<std::u16string>;

TEST(HistoryList, KeepsTheNewestWithinItsCapacity) {
  HistoryList three(3);
  for (const char16_t* w : {u"w1", u"w2", u"w3", u"w4"}) three.Add(w);
  EXPECT_EQ(Words(three), (W{u"w2", u"w3", u"w4"}));
  for (const int capacity : {0, 1}) {
    HistoryList one(capacity);
    for (const char16_t* w : {u"w1", u"w2", u"w3"}) one.Add(w);
    EXPECT_EQ(Words(one), W{u"w3"}) << capacity;
  }
  // A capacity whose bit pattern is negative is larger than any count.
  HistoryList unbounded(-1);
  for (char16_t i = 1; i <= 300; ++i) unbounded.Add(std::u16string{u'w', i}.c_str());
  EXPECT_EQ(unbounded.Count(), 300);
}

TEST(HistoryList, RepeatsEmptiesAndCase) {
  HistoryList history(100);
  // Words of any script are kept as they are, and told apart only by their
  // units: no case folding.
  for (const char16_t* w :
       {u"w1", u"w1", u"w2", u"w1", u"", u"Book", u"book", u"book", u"\u03c3\u03c0\u03af\u03c4\u03b9",
        u"\u03a3\u03c0\u03af\u03c4\u03b9", u"\u0159eka"}) {
    history.Add(w);
  }
  EXPECT_EQ(Words(history), (W{u"w1", u"w2", u"w1", u"Book", u"book", u"\u03c3\u03c0\u03af\u03c4\u03b9",
                               u"\u03a3\u03c0\u03af\u03c4\u03b9", u"\u0159eka"}));
  history.Add(nullptr);
  EXPECT_EQ(history.Count(), 8);
}

TEST(HistoryList, ItemAtRefusesWhatItCannotCopyWhole) {
  HistoryList history(100);
  history.Add(u"hello");
  char16_t buffer[8] = u"xxxxxxx";
  EXPECT_FALSE(history.ItemAt(-1, buffer, std::size(buffer)));
  EXPECT_FALSE(history.ItemAt(1, buffer, std::size(buffer)));
  EXPECT_FALSE(history.ItemAt(0, buffer, 5));  // no room for the terminator
  EXPECT_EQ(std::u16string(buffer), u"xxxxxxx");
  EXPECT_TRUE(history.ItemAt(0, buffer, 6));
  EXPECT_EQ(std::u16string(buffer), u"hello");
}

}  // namespace
}  // namespace quill
