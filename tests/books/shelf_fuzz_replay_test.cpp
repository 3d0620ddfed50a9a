// Replays the shelf converters' fuzz corpus, so that inputs which once
// found a fault keep being checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/shelf_fuzz_entries.h"

namespace {

TEST(ShelfSourcesCorpus, Replays) {
  int replayed = 0;
  const std::filesystem::path folder = std::filesystem::path(QUILL_FUZZ_CORPUS) / "shelf_sources";
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    std::ifstream in(item.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    SCOPED_TRACE(item.path().string());
    quill::fuzz::ShelfSourcesOne(bytes.data(), bytes.size());
    ++replayed;
  }
  EXPECT_GT(replayed, 7);
}

}  // namespace
