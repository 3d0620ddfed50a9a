// Replays the shelf converters' fuzz corpus, so that inputs which once
// found a fault keep being checked.
#include <gtest/gtest.h>

#include "fuzz/shelf_fuzz_entries.h"
#include "support/corpus_replay.h"

namespace {

TEST(ShelfSourcesCorpus, Replays) {
  EXPECT_GT(quill::testing::ReplayCorpus("shelf_sources", quill::fuzz::ShelfSourcesOne), 7);
}

}  // namespace
