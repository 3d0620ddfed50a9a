// A find over many books: the finds come back in the caller's order, each
// book at most the limit, each file once, a book that cannot be searched
// named, and a stop that begins no other book.
#include "lookup/find_all.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "book/utf.h"
#include "support/test_books.h"

namespace quill::lookup {
namespace {

using testing::Entries;
using testing::WriteBook;

MatchQuery Query(const char16_t* term, const char16_t* second = nullptr) {
  MatchQuery query{};
  query.termCount = second == nullptr ? 1 : 2;
  for (int i = 0; term[i] != 0; ++i) query.terms[0][i] = term[i];
  for (int i = 0; second != nullptr && second[i] != 0; ++i) query.terms[1][i] = second[i];
  return query;
}

std::string Keys(const BookFinds& finds) {
  std::string text;
  for (const std::u16string& key : finds.keys) text += (text.empty() ? "" : " ") + ToUtf8(key);
  return text;
}

BookLayout Titled(const char16_t* title) {
  BookLayout layout;
  layout.title = title;
  return layout;
}

class FindAll : public ::testing::Test {
 protected:
  void SetUp() override {
    birds_ = WriteBook(Entries({"crow=a black bird", "goose=a grey bird", "owl=a night bird",
                                "stone=not a bird"}),
                       Titled(u"Birds"), "birds.xqb");
    fish_ = WriteBook(Entries({"bass=a fish", "trout=a river fish, no bird"}), Titled(u"Fish"), "fish.xqb");
    std::vector<BookEntry> many;
    for (int i = 0; i < 1000; ++i) {
      const std::string key = "w" + std::to_string(10000 + i);
      many.push_back({testing::U16(key), u"a bird word"});
    }
    many_ = WriteBook(many, Titled(u"Many"), "many.xqb");
  }
  std::string birds_, fish_, many_;
};

TEST_F(FindAll, FindsComeBackInTheCallersOrder) {
  struct Case {
    std::vector<std::string> books;
    MatchQuery query;
    std::vector<std::string> keys;  // per book, in the order given
  };
  const Case cases[] = {
      {{fish_, birds_}, Query(u"BIRD"), {"trout", "crow goose owl stone"}},
      {{birds_, fish_}, Query(u"bird", u"river"), {"", "trout"}},
      {{birds_, fish_, birds_}, Query(u"grey"), {"goose", "", "goose"}},  // as named: no dedup here
  };
  for (const Case& c : cases) {
    for (unsigned workers : {1u, 2u, 4u}) {
      SCOPED_TRACE(std::to_string(workers) + " workers");
      FindInBooks search;
      FindRequest request;
      request.books = c.books;
      request.query = c.query;
      request.workers = workers;
      search.Start(request);
      search.Wait();
      ASSERT_EQ(search.Count(), c.books.size());
      ASSERT_EQ(search.Ready(), c.books.size());
      EXPECT_FALSE(search.Stopped());
      for (std::size_t n = 0; n < c.books.size(); ++n) {
        EXPECT_TRUE(search.Finds(n).searched);
        EXPECT_EQ(Keys(search.Finds(n)), c.keys[n]);
        EXPECT_EQ(search.Finds(n).entries.size(), search.Finds(n).keys.size());
      }
    }
  }
  FindInBooks search;
  FindRequest request;
  request.books = {birds_, fish_};
  request.query = Query(u"fish");
  search.Start(request);
  search.Wait();
  EXPECT_EQ(search.Finds(0).title, u"Birds");
  EXPECT_EQ(search.Finds(1).title, u"Fish");
  EXPECT_EQ(search.Finds(1).entries, (std::vector<int>{0, 1}));
}

TEST_F(FindAll, EachBookGivesAtMostTheLimitInEntryOrder) {
  FindInBooks search;
  FindRequest request;
  request.books = {many_, birds_};
  request.query = Query(u"bird");
  search.Start(request);
  search.Wait();
  const BookFinds& many = search.Finds(0);
  ASSERT_EQ(many.entries.size(), 300u);
  EXPECT_EQ(many.entries.front(), 0);
  EXPECT_EQ(many.entries.back(), 299);
  EXPECT_EQ(ToUtf8(many.keys.back()), "w10299");
  EXPECT_EQ(search.Finds(1).entries.size(), 4u);
}

TEST_F(FindAll, BooksThatCannotBeSearchedSayWhy) {
  const std::string missing = testing::ScratchDir() + "/missing.xqb";
  const std::string text = testing::WriteScratchFile({'n', 'o', 't', ' ', 'a', ' ', 'b', 'o', 'o', 'k'},
                                                     "text.xqb");
  // Block 0 of a book that does not decode: its finds would be wrong.
  std::vector<BookEntry> entries;
  for (int i = 0; i < 40; ++i) entries.push_back({testing::U16("bird" + std::to_string(100 + i)), u"x"});
  const std::string damaged =
      testing::WriteScratchFile(testing::ImageWithDamagedFirstBlock(entries), "damaged.xqb");

  FindInBooks search;
  FindRequest request;
  request.books = {missing, birds_, text, damaged};
  request.query = Query(u"bird");
  search.Start(request);
  search.Wait();
  ASSERT_EQ(search.Ready(), 4u);
  EXPECT_FALSE(search.Finds(0).searched);
  EXPECT_EQ(search.Finds(0).why.rfind("cannot open the file", 0), 0u) << search.Finds(0).why;
  EXPECT_TRUE(search.Finds(1).searched);
  EXPECT_EQ(search.Finds(2).why, "not a book (it does not start with the XQB signature)");
  EXPECT_FALSE(search.Finds(3).searched);
  EXPECT_EQ(search.Finds(3).why, "damaged book (block 0 cannot be read)");
  EXPECT_TRUE(search.Finds(3).keys.empty());
}

TEST_F(FindAll, EachFileOnceByItsIdentity) {
  const std::size_t slash = birds_.find_last_of("/\\");
  const std::string folder = birds_.substr(0, slash);
  const std::string again = folder + "/." + birds_.substr(slash);
  const std::string missing = folder + "/missing.xqb";
  EXPECT_EQ(EachFileOnce({birds_, fish_, again, missing, birds_, missing}),
            (std::vector<std::string>{birds_, fish_, missing, missing}));
  EXPECT_EQ(EachFileOnce({again, birds_}), std::vector<std::string>{again});
}

// Holds a worker at the start of one book until the test lets it go.
class Gate {
 public:
  explicit Gate(std::size_t book) : book_(book) {}
  void operator()(std::size_t book) {
    if (book != book_) return;
    std::unique_lock<std::mutex> held(lock_);
    reached_ = true;
    changed_.notify_all();
    changed_.wait(held, [this] { return open_; });
  }
  void WaitUntilReached() {
    std::unique_lock<std::mutex> held(lock_);
    changed_.wait(held, [this] { return reached_; });
  }
  void Open() {
    const std::lock_guard<std::mutex> held(lock_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::size_t book_;
  std::mutex lock_;
  std::condition_variable changed_;
  bool reached_ = false;
  bool open_ = false;
};

TEST_F(FindAll, ALaterBookNeverGoesAheadOfAnEarlierOne) {
  Gate gate(0);
  std::atomic<int> progress{0};
  FindInBooks search;
  search.SetGate([&gate](std::size_t book) { gate(book); });
  FindRequest request;
  request.books = {birds_, fish_, many_, fish_};
  request.query = Query(u"bird");
  request.workers = 2;
  search.Start(request, [&progress] { ++progress; });
  gate.WaitUntilReached();
  // The other worker does every other book while the first is held.
  while (progress.load() < 3) std::this_thread::yield();
  EXPECT_EQ(search.Ready(), 0u);
  gate.Open();
  search.Wait();
  EXPECT_EQ(progress.load(), 4);
  EXPECT_EQ(search.Ready(), 4u);
  EXPECT_EQ(Keys(search.Finds(0)), "crow goose owl stone");
}

TEST_F(FindAll, AStopBeginsNoOtherBook) {
  Gate gate(1);
  FindInBooks search;
  search.SetGate([&gate](std::size_t book) { gate(book); });
  FindRequest request;
  request.books = {birds_, fish_, many_};
  request.query = Query(u"bird");
  request.workers = 1;
  search.Start(request);
  gate.WaitUntilReached();
  std::thread stopper([&search] { search.Stop(); });
  // Let the worker go only once the stop is asked for.
  while (!search.Stopped()) std::this_thread::yield();
  gate.Open();
  stopper.join();
  EXPECT_TRUE(search.Stopped());
  EXPECT_EQ(search.Ready(), 1u);
  EXPECT_EQ(Keys(search.Finds(0)), "crow goose owl stone");
  // A new search after a stop starts afresh.
  search.SetGate(nullptr);
  search.Start(request);
  search.Wait();
  EXPECT_EQ(search.Ready(), 3u);
  EXPECT_FALSE(search.Stopped());
}

}  // namespace
}  // namespace quill::lookup
