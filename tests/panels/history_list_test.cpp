#include "panels/history_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quill {
namespace {

std::vector<std::string> Words(const HistoryList& history) {
  std::vector<std::string> words;
  char buffer[512];
  for (int i = 0; history.ItemAt(i, buffer, sizeof buffer); ++i) words.push_back(buffer);
  return words;
}

using W = std::vector<std::string>;

TEST(HistoryList, KeepsTheNewestWithinItsCapacity) {
  HistoryList three(3);
  for (const char* w : {"w1", "w2", "w3", "w4"}) three.Add(w);
  EXPECT_EQ(Words(three), (W{"w2", "w3", "w4"}));
  for (const int capacity : {0, 1}) {
    HistoryList one(capacity);
    for (const char* w : {"w1", "w2", "w3"}) one.Add(w);
    EXPECT_EQ(Words(one), W{"w3"}) << capacity;
  }
  // A capacity whose bit pattern is negative is larger than any count.
  HistoryList unbounded(-1);
  for (int i = 0; i < 300; ++i) unbounded.Add(("w" + std::to_string(i)).c_str());
  EXPECT_EQ(unbounded.Count(), 300);
}

TEST(HistoryList, RepeatsEmptiesAndCase) {
  HistoryList history(100);
  for (const char* w : {"w1", "w1", "w2", "w1", "", "Book", "book", "book"}) history.Add(w);
  EXPECT_EQ(Words(history), (W{"w1", "w2", "w1", "Book", "book"}));
  history.Add(nullptr);
  EXPECT_EQ(history.Count(), 5);
}

TEST(HistoryList, ItemAtRefusesWhatItCannotCopyWhole) {
  HistoryList history(100);
  history.Add("hello");
  char buffer[8] = "xxxxxxx";
  EXPECT_EQ(history.ItemAt(-1, buffer, sizeof buffer), 0);
  EXPECT_EQ(history.ItemAt(1, buffer, sizeof buffer), 0);
  EXPECT_EQ(history.ItemAt(0, buffer, 5), 0);  // no room for the terminator
  EXPECT_STREQ(buffer, "xxxxxxx");
  EXPECT_EQ(history.ItemAt(0, buffer, 6), 1);
  EXPECT_STREQ(buffer, "hello");
}

}  // namespace
}  // namespace quill
