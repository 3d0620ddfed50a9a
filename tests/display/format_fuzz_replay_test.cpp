// Replays the formatter fuzz corpus, so that inputs which once found a
// fault keep being checked.
#include <gtest/gtest.h>

#include "fuzz/display_fuzz_entries.h"
#include "support/corpus_replay.h"

namespace {

TEST(FormatContentCorpus, Replays) {
  EXPECT_GT(quill::testing::ReplayCorpus("format_content", quill::fuzz::FormatContentOne), 5);
}

}  // namespace
