#include "book/compressor.h"

#include <bit>
#include <cstring>
#include <limits>

namespace quill {

namespace {

constexpr std::size_t kMaxRun = 8;
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

bool IsSelfLiteral(std::uint8_t b) { return b == 0 || (b >= 9 && b <= 0x7F); }

// How many bytes from `from` on a and b agree, up to limit; both hold at
// least limit bytes. Eight at a time while they can.
std::size_t SharedLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t from,
                         std::size_t limit) {
  std::size_t n = from;
  while (n + 8 <= limit) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a + n, 8);
    std::memcpy(&y, b + n, 8);
    if (x != y) {
      const std::uint64_t differ = x ^ y;
      return n + static_cast<std::size_t>(std::endian::native == std::endian::little
                                              ? std::countr_zero(differ)
                                              : std::countl_zero(differ)) / 8;
    }
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// The earlier positions of the window, kept as one binary search tree per
// hash of their first three bytes, ordered by the (at most 18) bytes from
// each position on. Every new position becomes the root of its tree, which
// is split around it, so along any path positions only get older: the part
// of a tree still inside the window is connected to the root, and the
// nearest neighbours of a new position in sort order, the two positions
// sharing the longest run with it, both lie on the path from the root. That
// makes the longest match exact at the cost of one descent. Two positions
// whose 18 bytes agree are interchangeable for every later search, so the
// newer one replaces the older.
class MatchTree {
 public:
  MatchTree(const std::uint8_t* data, std::size_t n) : data_(data), n_(n) {
    std::size_t buckets = 256;
    while (buckets < n && buckets < (std::size_t{1} << 16)) buckets <<= 1;
    hashShift_ = 32;
    for (std::size_t b = buckets; b > 1; b >>= 1) --hashShift_;
    head_.assign(buckets, kNone);
    // Children are kept for the window only; a slot is reused once its
    // position has left the window, and no older position is ever followed.
    // Short data needs no more slots than it has positions.
    slots_ = 16;
    while (slots_ < n && slots_ < kMaxSlots) slots_ <<= 1;
    children_.assign(2 * slots_, kNone);
  }

  // Inserts position i, which must come after every position inserted so
  // far, and returns the length of its longest match (0 if under three
  // bytes) with its distance in *distance.
  std::size_t Insert(std::size_t i, std::size_t* distance) {
    const std::size_t limit = n_ - i < kMaxMatchLength ? n_ - i : kMaxMatchLength;
    if (limit < kMinMatchLength) return 0;
    const std::uint8_t* const text = data_ + i;
    const std::uint32_t key = static_cast<std::uint32_t>(text[0]) |
                              static_cast<std::uint32_t>(text[1]) << 8 |
                              static_cast<std::uint32_t>(text[2]) << 16;
    const std::size_t bucket = (key * 2654435761u) >> hashShift_;
    std::size_t node = head_[bucket];
    head_[bucket] = i;

    // Where the next node that sorts before (after) i goes, and how many
    // leading bytes i shares with the last node put there.
    std::size_t* before = &children_[2 * (i & (slots_ - 1))];
    std::size_t* after = before + 1;
    std::size_t beforeShared = 0;
    std::size_t afterShared = 0;
    std::size_t best = 0;
    for (;;) {
      if (node == kNone || i - node > kMaxMatchDistance) {
        *before = kNone;
        *after = kNone;
        break;
      }
      const std::uint8_t* const other = data_ + node;
      const std::size_t shared = SharedLength(other, text,
                                              beforeShared < afterShared ? beforeShared : afterShared,
                                              limit);
      if (shared > best) {
        best = shared;
        *distance = i - node;
      }
      std::size_t* const pair = &children_[2 * (node & (slots_ - 1))];
      if (shared == limit && limit == kMaxMatchLength) {
        *before = pair[0];
        *after = pair[1];
        break;
      }
      // Near the end of the data i's bytes may all agree with node's while
      // node has more: the shorter one sorts first.
      if (shared < limit && other[shared] < text[shared]) {
        *before = node;
        before = &pair[1];
        node = *before;
        beforeShared = shared;
      } else {
        *after = node;
        after = &pair[0];
        node = *after;
        afterShared = shared;
      }
    }
    return best >= kMinMatchLength ? best : 0;
  }

 private:
  static constexpr std::size_t kMaxSlots = 2048;  // a power of two above the window
  static_assert(kMaxSlots > kMaxMatchDistance);

  const std::uint8_t* data_;
  std::size_t n_;
  int hashShift_;
  std::size_t slots_;
  std::vector<std::size_t> head_;
  std::vector<std::size_t> children_;
};

}  // namespace

void FindLongestMatches(const std::uint8_t* data, std::size_t n, std::uint8_t* length,
                        std::uint16_t* distance) {
  MatchTree tree(data, n);
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t d = 0;
    const std::size_t l = tree.Insert(i, &d);
    length[i] = static_cast<std::uint8_t>(l);
    distance[i] = static_cast<std::uint16_t>(l != 0 ? d : 0);
  }
}

// Shortest path over positions: every token's cost is fixed by its kind, so
// the cheapest way to encode the rest of the data from each position is
// found backwards. Any prefix of a match is a match, so the longest match at
// a position stands for all shorter ones.
std::vector<std::uint8_t> CompressTokens(const std::uint8_t* data, std::size_t n) {
  std::vector<std::uint8_t> matchLength(n, 0);
  std::vector<std::uint16_t> matchDistance(n, 0);
  if (n != 0) FindLongestMatches(data, n, matchLength.data(), matchDistance.data());

  constexpr std::size_t kInfinite = std::numeric_limits<std::size_t>::max() / 2;
  std::vector<std::size_t> cost(n + 1, kInfinite);
  // step[i]: output bytes the chosen token covers; kind[i]: 0 single
  // literal, 1 literal run, 2 back-reference.
  std::vector<std::uint8_t> step(n + 1, 0);
  std::vector<std::uint8_t> kind(n + 1, 0);
  cost[n] = 0;
  for (std::size_t i = n; i-- > 0;) {
    std::size_t bestCost = kInfinite;
    std::uint8_t bestStep = 0;
    std::uint8_t bestKind = 0;
    if (IsSelfLiteral(data[i])) {
      bestCost = 1 + cost[i + 1];
      bestStep = 1;
    }
    const std::size_t runs = n - i < kMaxRun ? n - i : kMaxRun;
    for (std::size_t k = 1; k <= runs; ++k) {
      if (1 + k + cost[i + k] < bestCost) {
        bestCost = 1 + k + cost[i + k];
        bestStep = static_cast<std::uint8_t>(k);
        bestKind = 1;
      }
    }
    for (std::size_t l = kMinMatchLength; l <= matchLength[i]; ++l) {
      if (2 + cost[i + l] < bestCost) {
        bestCost = 2 + cost[i + l];
        bestStep = static_cast<std::uint8_t>(l);
        bestKind = 2;
      }
    }
    cost[i] = bestCost;
    step[i] = bestStep;
    kind[i] = bestKind;
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
                           static_cast<unsigned>(step[i] - kMinMatchLength);
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
