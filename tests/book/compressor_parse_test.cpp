// The compressor must give the smallest token stream the format allows.
// Checked against an exhaustive search over every token sequence that
// decodes to the data (small inputs), and its match finder against a brute
// force over the whole window (inputs past the window's size).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "book/compressor.h"
#include "book/decoder.h"

namespace quill {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool SelfLiteral(std::uint8_t b) { return b == 0 || (b >= 9 && b <= 0x7F); }

// The size of the smallest token stream for data[i, n), trying every token
// at every position: single literals, runs of 1 to 8, and back-references
// of every distance and length that reproduce the data. Branches that
// cannot beat the best found so far are cut, which keeps it exhaustive.
void Search(const Bytes& data, std::size_t i, std::size_t spent, std::size_t* best) {
  if (spent >= *best) return;
  const std::size_t n = data.size();
  if (i == n) {
    *best = spent;
    return;
  }
  for (std::size_t d = 1; d <= i && d <= kMaxMatchDistance; ++d) {
    for (std::size_t l = kMinMatchLength; l <= kMaxMatchLength && i + l <= n; ++l) {
      if (data[i + l - 1] != data[i + l - 1 - d]) break;
      bool same = true;
      for (std::size_t k = 0; k < l && same; ++k) same = data[i + k] == data[i + k - d];
      if (same) Search(data, i + l, spent + 2, best);
    }
  }
  if (SelfLiteral(data[i])) Search(data, i + 1, spent + 1, best);
  for (std::size_t k = 1; k <= 8 && i + k <= n; ++k) Search(data, i + k, spent + 1 + k, best);
}

std::size_t Smallest(const Bytes& data) {
  std::size_t best = 2 * data.size() + 1;
  Search(data, 0, 0, &best);
  return best;
}

Bytes Decode(const Bytes& tokens, std::size_t capacity) {
  Bytes out(capacity);
  const std::ptrdiff_t n = Expand(tokens.data(), out.data(), tokens.size(), capacity);
  EXPECT_GE(n, 0);
  out.resize(n < 0 ? 0 : static_cast<std::size_t>(n));
  return out;
}

void ExpectOptimal(const Bytes& data) {
  const Bytes tokens = CompressTokens(data.data(), data.size());
  ASSERT_EQ(tokens.size(), Smallest(data)) << "input of " << data.size() << " bytes";
  ASSERT_EQ(Decode(tokens, data.size()), data);
}

TEST(CompressorParse, EveryShortStringOverMixedBytesIsOptimal) {
  // A self-literal, a byte that needs a run, and zero: every string of up
  // to seven of them.
  const std::uint8_t alphabet[] = {0x61, 0x85, 0x00};
  for (std::size_t length = 0; length <= 7; ++length) {
    std::size_t total = 1;
    for (std::size_t k = 0; k < length; ++k) total *= 3;
    for (std::size_t code = 0; code < total; ++code) {
      Bytes data;
      for (std::size_t k = 0, c = code; k < length; ++k, c /= 3) data.push_back(alphabet[c % 3]);
      ExpectOptimal(data);
    }
  }
}

TEST(CompressorParse, RandomRepetitiveInputsAreOptimal) {
  std::mt19937 random(11);
  const std::uint8_t alphabet[] = {0x61, 0x62, 0x00, 0x03, 0x90};
  for (int round = 0; round < 400; ++round) {
    const std::size_t size = 8 + random() % 17;
    const std::size_t letters = 2 + random() % 4;
    Bytes data;
    while (data.size() < size) {
      if (data.size() > 3 && random() % 3 == 0) {
        // Copy an earlier stretch, overlapping or not, to invite matches.
        const std::size_t from = random() % data.size();
        const std::size_t count = 1 + random() % 20;
        for (std::size_t k = 0; k < count && data.size() < size; ++k) data.push_back(data[from + k]);
      } else {
        data.push_back(alphabet[random() % letters]);
      }
    }
    ExpectOptimal(data);
  }
}

TEST(CompressorParse, RunsAndLongRepeatsAreOptimal) {
  ExpectOptimal(Bytes(40, 0x41));
  ExpectOptimal(Bytes(23, 0x81));
  Bytes text;
  for (const char c : std::string("abcabcabcabcabcabcabcabcXabc")) {
    text.push_back(static_cast<std::uint8_t>(c));
    text.push_back(0);
  }
  text.resize(30);
  ExpectOptimal(text);
}

// The longest match at every position by trying every distance.
void BruteForceMatches(const Bytes& data, std::vector<std::size_t>* length) {
  const std::size_t n = data.size();
  length->assign(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t limit = std::min(kMaxMatchLength, n - i);
    std::size_t best = 0;
    for (std::size_t d = 1; d <= i && d <= kMaxMatchDistance; ++d) {
      std::size_t l = 0;
      while (l < limit && data[i + l] == data[i + l - d]) ++l;
      best = std::max(best, l);
    }
    (*length)[i] = best >= kMinMatchLength ? best : 0;
  }
}

void ExpectExactMatches(const Bytes& data) {
  std::vector<std::size_t> expected;
  BruteForceMatches(data, &expected);
  std::vector<std::uint8_t> length(data.size());
  std::vector<std::uint16_t> distance(data.size());
  FindLongestMatches(data.data(), data.size(), length.data(), distance.data());
  for (std::size_t i = 0; i < data.size(); ++i) {
    ASSERT_EQ(length[i], expected[i]) << "at " << i << " of " << data.size();
    if (length[i] == 0) continue;
    // The distance given must reach a match of that length.
    ASSERT_GE(distance[i], 1u);
    ASSERT_LE(distance[i], kMaxMatchDistance);
    ASSERT_LE(distance[i], i);
    for (std::size_t k = 0; k < length[i]; ++k) {
      ASSERT_EQ(data[i + k], data[i + k - distance[i]]) << "at " << i;
    }
  }
}

TEST(CompressorParse, MatchFinderIsExactAcrossTheWindow) {
  std::mt19937 random(5);
  for (int round = 0; round < 12; ++round) {
    // Small alphabets make long runs of candidates in every tree.
    const std::size_t letters = 2 + static_cast<std::size_t>(round % 4);
    Bytes data;
    const std::size_t size = 2500 + random() % 4000;
    while (data.size() < size) {
      if (data.size() > 30 && random() % 4 == 0) {
        const std::size_t from = random() % data.size();
        const std::size_t count = 3 + random() % 30;
        for (std::size_t k = 0; k < count && data.size() < size; ++k) data.push_back(data[from + k]);
      } else {
        data.push_back(static_cast<std::uint8_t>('a' + random() % letters));
      }
    }
    ExpectExactMatches(data);
  }
}

TEST(CompressorParse, MatchesAtTheEdgeOfTheWindow) {
  // A 20-byte pattern seen again exactly 2047 bytes later is in reach; at
  // 2048 it is not, and only a shorter chance match may remain.
  for (const std::size_t gap : {2047u, 2048u, 2049u}) {
    std::mt19937 random(static_cast<unsigned>(gap));
    Bytes data(gap + 20);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    for (std::size_t k = 0; k < 20; ++k) data[gap + k] = data[k];
    ExpectExactMatches(data);
    std::vector<std::uint8_t> length(data.size());
    std::vector<std::uint16_t> distance(data.size());
    FindLongestMatches(data.data(), data.size(), length.data(), distance.data());
    if (gap == 2047) {
      EXPECT_EQ(length[gap], kMaxMatchLength);
      EXPECT_EQ(distance[gap], 2047u);
    } else {
      EXPECT_LT(length[gap], kMaxMatchLength);
    }
  }
}

TEST(CompressorParse, LongUniformAndUtf16TextsAreExact) {
  ExpectExactMatches(Bytes(5000, 0));
  Bytes text;
  std::mt19937 random(3);
  const char* words[] = {"the ", "reader ", "book ", "word ", "\n", "looks "};
  while (text.size() < 7000) {
    for (const char* c = words[random() % 6]; *c != 0; ++c) {
      text.push_back(static_cast<std::uint8_t>(*c));
      text.push_back(0);
    }
  }
  ExpectExactMatches(text);
  const Bytes tokens = CompressTokens(text.data(), text.size());
  EXPECT_EQ(Decode(tokens, text.size()), text);
}

// Inputs of the kinds book blocks and indexes hold, and worse, with how
// much longer than the smallest the fast search's stream may be, in per
// cent: it looks for repeats where UTF-16 text has them, so bytes that
// repeat at odd places cost it more.
struct FastInput {
  std::string name;
  Bytes data;
  std::size_t slack;
};

std::vector<FastInput> FastSearchInputs() {
  std::vector<FastInput> inputs;
  std::mt19937 random(17);
  const char* words[] = {"the ", "reader ", "book ", "word ", "\n", "looks ", "\xE9t\xE9 "};
  Bytes text;
  while (text.size() < 9000) {
    for (const char* c = words[random() % 7]; *c != 0; ++c) {
      text.push_back(static_cast<std::uint8_t>(*c));
      text.push_back(0);
    }
  }
  inputs.push_back({"UTF-16 text", text, 4});
  Bytes cjk;
  for (int i = 0; i < 3000; ++i) {
    const unsigned u = 0x4E00 + random() % 64;
    cjk.push_back(static_cast<std::uint8_t>(u & 0xFF));
    cjk.push_back(static_cast<std::uint8_t>(u >> 8));
  }
  inputs.push_back({"UTF-16 with few repeats", cjk, 2});
  Bytes noise(5000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  inputs.push_back({"random bytes", noise, 0});
  inputs.push_back({"zeros", Bytes(4099, 0), 1});
  Bytes odd;  // repeats at odd distances and odd starts
  while (odd.size() < 7000) {
    const std::size_t from = odd.size() > 40 ? random() % (odd.size() - 20) : 0;
    if (odd.size() > 40 && random() % 2 == 0) {
      for (std::size_t k = 0; k < 3 + random() % 25; ++k) odd.push_back(odd[from + k]);
    } else {
      odd.push_back(static_cast<std::uint8_t>('a' + random() % 3));
    }
  }
  inputs.push_back({"repeats at odd places", odd, 20});
  for (std::size_t n = 0; n <= 7; ++n) {
    inputs.push_back({"tiny " + std::to_string(n), Bytes(n, 0x61), 0});
  }
  return inputs;
}

TEST(CompressorParse, FastSearchGivesRealMatchesAndNearlyTheSmallestStream) {
  for (const auto& [name, data, slack] : FastSearchInputs()) {
    const std::size_t n = data.size();
    std::vector<std::uint8_t> length(n);
    std::vector<std::uint16_t> distance(n);
    std::vector<std::uint8_t> longest(n);
    std::vector<std::uint16_t> longestDistance(n);
    FindLongMatches(data.data(), n, length.data(), distance.data());
    FindLongestMatches(data.data(), n, longest.data(), longestDistance.data());
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_LE(length[i], longest[i]) << name << " at " << i;
      if (length[i] == 0) continue;
      ASSERT_GE(length[i], kMinMatchLength) << name << " at " << i;
      ASSERT_LE(i + length[i], n) << name << " at " << i;
      ASSERT_GE(distance[i], 1u) << name << " at " << i;
      ASSERT_LE(distance[i], std::min<std::size_t>(i, kMaxMatchDistance)) << name << " at " << i;
      for (std::size_t k = 0; k < length[i]; ++k) {
        ASSERT_EQ(data[i + k], data[i + k - distance[i]]) << name << " at " << i;
      }
    }
    const Bytes fast = CompressTokens(data.data(), n, MatchSearch::kFast);
    const Bytes smallest = CompressTokens(data.data(), n);
    EXPECT_EQ(Decode(fast, n), data) << name;
    // And a back-reference's two bytes, for the tiny ones.
    EXPECT_LE(fast.size() * 100, smallest.size() * (100 + slack) + 200) << name;
    const Bytes stored = EncodeStored(data.data(), n, MatchSearch::kFast);
    Bytes back(n);
    EXPECT_EQ(DecodeStored(stored.data(), back.data(), stored.size(), n),
              static_cast<std::ptrdiff_t>(n)) << name;
    EXPECT_EQ(back, data) << name;
  }
}

TEST(CompressorParse, FastSearchForgetsWhatWasCompressedBefore) {
  // The fast search keeps its tables per thread from one buffer to the
  // next: a buffer must compress the same after any other, in any thread.
  const auto inputs = FastSearchInputs();
  std::vector<Bytes> alone(inputs.size());
  std::thread([&] {
    for (std::size_t k = 0; k < inputs.size(); ++k) {
      std::thread([&, k] {
        alone[k] = CompressTokens(inputs[k].data.data(), inputs[k].data.size(), MatchSearch::kFast);
      }).join();
    }
  }).join();
  for (std::size_t first = 0; first < inputs.size(); ++first) {
    for (std::size_t k = 0; k < inputs.size(); ++k) {
      CompressTokens(inputs[first].data.data(), inputs[first].data.size(), MatchSearch::kFast);
      EXPECT_EQ(CompressTokens(inputs[k].data.data(), inputs[k].data.size(), MatchSearch::kFast),
                alone[k])
          << inputs[k].name << " after " << inputs[first].name;
    }
  }
}

}  // namespace
}  // namespace quill
