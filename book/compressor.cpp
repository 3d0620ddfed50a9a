#include "book/compressor.h"

#include <limits>

namespace quill {

namespace {

constexpr std::size_t kMaxDistance = 2047;
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
constexpr std::size_t kMaxRun = 8;

bool IsSelfLiteral(std::uint8_t b) { return b == 0 || (b >= 9 && b <= 0x7F); }

}  // namespace

// Shortest path over positions: every token's cost is fixed by its kind, so
// the cheapest way to encode the rest of the data from each position is
// found backwards. Any prefix of a match is a match, so the longest match at
// a position stands for all shorter ones.
std::vector<std::uint8_t> CompressTokens(const std::uint8_t* data, std::size_t n) {
  std::vector<std::uint8_t> matchLength(n, 0);
  std::vector<std::uint16_t> matchDistance(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t window = i < kMaxDistance ? i : kMaxDistance;
    const std::size_t limit = n - i < kMaxMatch ? n - i : kMaxMatch;
    for (std::size_t d = 1; d <= window && matchLength[i] < limit; ++d) {
      std::size_t l = 0;
      while (l < limit && data[i + l] == data[i + l - d]) ++l;
      if (l >= kMinMatch && l > matchLength[i]) {
        matchLength[i] = static_cast<std::uint8_t>(l);
        matchDistance[i] = static_cast<std::uint16_t>(d);
      }
    }
  }

  constexpr std::size_t kInfinite = std::numeric_limits<std::size_t>::max() / 2;
  std::vector<std::size_t> cost(n + 1, kInfinite);
  // step[i]: output bytes the chosen token covers; kind[i]: 0 single
  // literal, 1 literal run, 2 back-reference.
  std::vector<std::uint8_t> step(n + 1, 0);
  std::vector<std::uint8_t> kind(n + 1, 0);
  cost[n] = 0;
  for (std::size_t i = n; i-- > 0;) {
    if (IsSelfLiteral(data[i])) {
      cost[i] = 1 + cost[i + 1];
      step[i] = 1;
      kind[i] = 0;
    }
    for (std::size_t k = 1; k <= kMaxRun && i + k <= n; ++k) {
      if (1 + k + cost[i + k] < cost[i]) {
        cost[i] = 1 + k + cost[i + k];
        step[i] = static_cast<std::uint8_t>(k);
        kind[i] = 1;
      }
    }
    for (std::size_t l = kMinMatch; l <= matchLength[i]; ++l) {
      if (2 + cost[i + l] < cost[i]) {
        cost[i] = 2 + cost[i + l];
        step[i] = static_cast<std::uint8_t>(l);
        kind[i] = 2;
      }
    }
  }

  std::vector<std::uint8_t> out;
  out.reserve(cost[0]);
  for (std::size_t i = 0; i < n; i += step[i]) {
    switch (kind[i]) {
      case 0:
        out.push_back(data[i]);
        break;
      case 1:
        out.push_back(step[i]);
        out.insert(out.end(), data + i, data + i + step[i]);
        break;
      default: {
        const unsigned v = 0x8000u | (static_cast<unsigned>(matchDistance[i]) << 4) |
                           static_cast<unsigned>(step[i] - kMinMatch);
        out.push_back(static_cast<std::uint8_t>(v >> 8));
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        break;
      }
    }
  }
  return out;
}

std::vector<std::uint8_t> EncodeStored(const std::uint8_t* data, std::size_t n) {
  std::vector<std::uint8_t> tokens = CompressTokens(data, n);
  std::vector<std::uint8_t> stored;
  if (tokens.size() < n) {
    stored.reserve(tokens.size() + 1);
    stored.push_back(1);
    stored.insert(stored.end(), tokens.begin(), tokens.end());
  } else {
    stored.reserve(n + 1);
    stored.push_back(0);
    stored.insert(stored.end(), data, data + n);
  }
  return stored;
}

}  // namespace quill
