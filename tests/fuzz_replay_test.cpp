// Replays every file of the fuzz corpus through the fuzz entry points, so
// that inputs which once found a fault keep being checked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_entries.h"

namespace {

namespace fs = std::filesystem;

int ReplayFolder(const char* name, int (*entry)(const std::uint8_t*, std::size_t)) {
  int replayed = 0;
  const fs::path folder = fs::path(QUILL_FUZZ_CORPUS) / name;
  for (const auto& item : fs::directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    std::ifstream in(item.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    SCOPED_TRACE(item.path().string());
    entry(bytes.data(), bytes.size());
    ++replayed;
  }
  return replayed;
}

TEST(FuzzCorpus, DecodeReplays) {
  EXPECT_GT(ReplayFolder("decode", quill::fuzz::DecodeOne), 5);
}

TEST(FuzzCorpus, OpenBookReplays) {
  EXPECT_GT(ReplayFolder("open_book", quill::fuzz::OpenBookOne), 5);
}

TEST(FuzzCorpus, TsvReplays) {
  EXPECT_GT(ReplayFolder("tsv", quill::fuzz::ReadTsvOne), 5);
}

TEST(FuzzCorpus, DictdReplays) {
  EXPECT_GT(ReplayFolder("dictd", quill::fuzz::ReadDictdOne), 5);
}

}  // namespace
