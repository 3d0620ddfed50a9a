// Feeds every file of a fuzz corpus folder to a fuzz entry point, so that
// inputs which once found a fault keep being checked in every test run.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace quill::testing {

// Returns how many files of QUILL_FUZZ_CORPUS/name were replayed.
inline int ReplayCorpus(const char* name, int (*entry)(const std::uint8_t*, std::size_t)) {
  int replayed = 0;
  const std::filesystem::path folder = std::filesystem::path(QUILL_FUZZ_CORPUS) / name;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
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

}  // namespace quill::testing
