// Replays every file of the fuzz corpus through the fuzz entry points, so
// that inputs which once found a fault keep being checked.
#include <gtest/gtest.h>

#include "fuzz/fuzz_entries.h"
#include "support/corpus_replay.h"

namespace {

using quill::testing::ReplayCorpus;

TEST(FuzzCorpus, DecodeReplays) {
  EXPECT_GT(ReplayCorpus("decode", quill::fuzz::DecodeOne), 5);
}

TEST(FuzzCorpus, OpenBookReplays) {
  EXPECT_GT(ReplayCorpus("open_book", quill::fuzz::OpenBookOne), 5);
}

TEST(FuzzCorpus, OffersReplays) {
  EXPECT_GT(ReplayCorpus("offers", quill::fuzz::OffersOne), 5);
}

TEST(FuzzCorpus, TsvReplays) {
  EXPECT_GT(ReplayCorpus("tsv", quill::fuzz::ReadTsvOne), 5);
}

TEST(FuzzCorpus, DictdReplays) {
  EXPECT_GT(ReplayCorpus("dictd", quill::fuzz::ReadDictdOne), 5);
}

TEST(FuzzCorpus, StarDictReplays) {
  EXPECT_GT(ReplayCorpus("stardict", quill::fuzz::ReadStarDictOne), 5);
}

TEST(FuzzCorpus, DslReplays) {
  EXPECT_GT(ReplayCorpus("dsl", quill::fuzz::ReadDslOne), 5);
}

TEST(FuzzCorpus, MarkupReplays) {
  EXPECT_GT(ReplayCorpus("markup", quill::fuzz::ConvertMarkupOne), 5);
}

}  // namespace
