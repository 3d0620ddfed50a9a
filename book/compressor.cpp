#include "book/compressor.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace quill {

namespace {

constexpr std::size_t kMaxRun = 8;
// The most data the fast search takes on.
constexpr std::size_t kMaxFastBytes = std::size_t{1} << 30;
// How much shorter than the longest a fast search tries a match.
constexpr std::size_t kFastCuts = 2;
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

// Book text is UTF-16: a long repeat almost always starts at an even
// position and reaches back an even distance. So the window's even
// positions are chained by the hash of their first four bytes, newest
// first, and the chain is followed only so far: a match is long but not
// always the longest. Before the chain, the distance of the last match
// found is tried, since in dictionary text a repeat usually goes on. An
// odd position tries the distances found at the even ones beside it, and
// the newest odd position with the same three bytes (a high byte, a
// character, a high byte: short repeats that pay in text).
class MatchChains {
 public:
  MatchChains(const std::uint8_t* data, std::size_t n) : data_(data), n_(n), t_(tables) {
    // The tables outlive the call, for the next buffer the thread
    // compresses: positions are stored from base, and anything below it
    // is from an earlier buffer. They are cleared only when the numbers
    // run out.
    if (t_.heads4.empty() || t_.base > kMaxBase - n) {  // n is under kMaxFastBytes
      t_.heads4.assign(kBuckets, 0);
      t_.heads3.assign(kBuckets, 0);
      t_.headsOdd3.assign(kBuckets, 0);
      t_.base = kMaxMatchDistance + 1;
    }
    t_.previous.resize(n / 2 + 1);
  }
  MatchChains(const MatchChains&) = delete;
  MatchChains& operator=(const MatchChains&) = delete;
  ~MatchChains() { t_.base += static_cast<std::uint32_t>(n_ + kMaxMatchDistance + 1); }

  void Find(std::uint8_t* length, std::uint16_t* distance) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < n_; i += 2) {
      std::size_t d = last;
      const std::size_t l = AtEven(i, &d);
      length[i] = static_cast<std::uint8_t>(l);
      distance[i] = static_cast<std::uint16_t>(l != 0 ? d : 0);
      if (l != 0) last = d;
    }
    for (std::size_t i = 1; i < n_; i += 2) {
      const std::size_t limit = Limit(i);
      if (limit < kMinMatchLength) {
        length[i] = 0;
        distance[i] = 0;
        continue;
      }
      std::size_t best = 0;
      std::size_t bestDistance = 0;
      std::uint32_t& head = t_.headsOdd3[Bucket3(data_ + i)];
      const std::size_t back = Back(Stored(i), head);
      if (back <= kMaxMatchDistance) {
        best = Shared(data_ + i - back, i, limit);
        bestDistance = back;
      }
      head = Stored(i);
      const std::size_t before = distance[i - 1];
      const std::size_t after = i + 1 < n_ ? distance[i + 1] : 0;
      TryDistance(i, before, limit, &best, &bestDistance);
      if (after != before) TryDistance(i, after, limit, &best, &bestDistance);
      length[i] = static_cast<std::uint8_t>(best >= kMinMatchLength ? best : 0);
      distance[i] = static_cast<std::uint16_t>(best >= kMinMatchLength ? bestDistance : 0);
    }
  }

 private:
  static constexpr int kBucketBits = 12;
  static constexpr std::size_t kBuckets = std::size_t{1} << kBucketBits;
  static constexpr std::size_t kWideBytes = 24;  // three words, past the longest match
  static_assert(kWideBytes >= kMaxMatchLength);
  static constexpr std::uint32_t kMaxBase = 0xFFFFFFFFu - 2 * (kMaxMatchDistance + 1);
  // Candidates looked at per position: past this few, a longer match is
  // rare in text and the time grows for almost nothing.
  static constexpr int kDepth = 16;

  struct Tables {
    std::vector<std::uint32_t> heads4;
    std::vector<std::uint32_t> heads3;
    std::vector<std::uint32_t> headsOdd3;
    std::vector<std::uint32_t> previous;  // per even position
    std::uint32_t base = 0;
  };
  static thread_local Tables tables;

  static std::size_t Bucket(std::uint32_t key) { return (key * 2654435761u) >> (32 - kBucketBits); }
  static std::size_t Bucket3(const std::uint8_t* text) {
    return Bucket(static_cast<std::uint32_t>(text[0]) | static_cast<std::uint32_t>(text[1]) << 8 |
                  static_cast<std::uint32_t>(text[2]) << 16);
  }

  std::uint32_t Stored(std::size_t i) const { return t_.base + static_cast<std::uint32_t>(i); }
  // How far back from i a stored position lies: past the window for one
  // from an earlier buffer or none, since base moves on by more than the
  // window and starts past it.
  static std::size_t Back(std::uint32_t now, std::uint32_t stored) { return now - stored; }
  std::size_t Limit(std::size_t i) const {
    return n_ - i < kMaxMatchLength ? n_ - i : kMaxMatchLength;
  }

  // SharedLength from 0 for a run at i: away from the end of the data, as
  // three words whatever the limit, then capped.
  std::size_t Shared(const std::uint8_t* earlier, std::size_t i, std::size_t limit) const {
    if (n_ - i < kWideBytes) return SharedLength(earlier, data_ + i, 0, limit);
    for (std::size_t k = 0; k < kWideBytes; k += 8) {
      std::uint64_t x;
      std::uint64_t y;
      std::memcpy(&x, earlier + k, 8);
      std::memcpy(&y, data_ + i + k, 8);
      if (x != y) {
        const std::size_t n = k + static_cast<std::size_t>(std::endian::native == std::endian::little
                                                               ? std::countr_zero(x ^ y)
                                                               : std::countl_zero(x ^ y)) / 8;
        return n < kMaxMatchLength ? n : kMaxMatchLength;
      }
    }
    return kMaxMatchLength;
  }

  void TryDistance(std::size_t i, std::size_t d, std::size_t limit, std::size_t* best,
                   std::size_t* bestDistance) const {
    if (d == 0 || d > i || *best == limit) return;
    const std::size_t shared = Shared(data_ + i - d, i, limit);
    if (shared > *best) {
      *best = shared;
      *bestDistance = d;
    }
  }

  // The match at even position i; *distance holds the one to try first.
  std::size_t AtEven(std::size_t i, std::size_t* distance) {
    const std::size_t limit = Limit(i);
    if (limit < kMinMatchLength) return 0;
    const std::uint8_t* const text = data_ + i;
    std::size_t best = 0;
    if (*distance != 0) best = Shared(text - *distance, i, limit);
    if (limit >= 4) {
      std::uint32_t key;
      std::memcpy(&key, text, 4);
      std::uint32_t& head = t_.heads4[Bucket(key)];
      const std::uint32_t now = Stored(i);
      std::uint32_t link = head;
      t_.previous[i / 2] = head;
      head = now;
      for (int depth = kDepth; best < limit && depth > 0; --depth) {
        const std::size_t back = Back(now, link);
        if (back > kMaxMatchDistance) break;
        const std::size_t at = i - back;
        // Only a run that beats the best so far matters: its last byte
        // tells most candidates apart at once.
        if (data_[at + best] == text[best]) {
          const std::size_t shared = Shared(data_ + at, i, limit);
          if (shared > best) {
            best = shared;
            *distance = back;
          }
        }
        link = t_.previous[at / 2];
      }
    }
    std::uint32_t& head3 = t_.heads3[Bucket3(text)];
    const std::size_t back3 = Back(Stored(i), head3);
    if (best < kMinMatchLength && back3 <= kMaxMatchDistance) {
      const std::size_t shared = Shared(data_ + i - back3, i, limit);
      if (shared > best) {
        best = shared;
        *distance = back3;
      }
    }
    head3 = Stored(i);
    return best >= kMinMatchLength ? best : 0;
  }

  const std::uint8_t* data_;
  std::size_t n_;
  Tables& t_;
};

thread_local MatchChains::Tables MatchChains::tables;

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

void FindLongMatches(const std::uint8_t* data, std::size_t n, std::uint8_t* length,
                     std::uint16_t* distance) {
  // Positions are kept in 32 bits: larger data (never a book block) takes
  // the longest-match search.
  if (n > kMaxFastBytes) {
    FindLongestMatches(data, n, length, distance);
    return;
  }
  MatchChains chains(data, n);
  chains.Find(length, distance);
}

// Shortest path over positions: every token's cost is fixed by its kind, so
// the cheapest way to encode the rest of the data from each position is
// found backwards. Any prefix of a match is a match, so the longest match at
// a position stands for all shorter ones.
std::vector<std::uint8_t> CompressTokens(const std::uint8_t* data, std::size_t n,
                                         MatchSearch search) {
  // Scratch kept per thread: a book compresses thousands of blocks.
  thread_local std::vector<std::uint8_t> matchLength;
  thread_local std::vector<std::uint16_t> matchDistance;
  thread_local std::vector<std::uint32_t> cost;
  thread_local std::vector<std::uint8_t> step;
  thread_local std::vector<std::uint8_t> kind;
  matchLength.resize(n);
  matchDistance.resize(n);
  if (n != 0) {
    if (search == MatchSearch::kLongest) {
      FindLongestMatches(data, n, matchLength.data(), matchDistance.data());
    } else {
      FindLongMatches(data, n, matchLength.data(), matchDistance.data());
    }
  }

  // step[i]: output bytes the chosen token covers; kind[i]: 0 single
  // literal, 1 literal run, 2 back-reference.
  cost.resize(n + 1);
  step.resize(n + 1);
  kind.resize(n + 1);
  cost[n] = 0;
  for (std::size_t i = n; i-- > 0;) {
    std::uint32_t bestCost = std::numeric_limits<std::uint32_t>::max();
    std::uint8_t bestStep = 0;
    std::uint8_t bestKind = 0;
    if (IsSelfLiteral(data[i])) {
      // A run from here costs what this literal and a run one shorter
      // from the next byte cost, so runs need no look.
      bestCost = 1 + cost[i + 1];
      bestStep = 1;
    } else {
      const std::size_t runs = n - i < kMaxRun ? n - i : kMaxRun;
      for (std::size_t k = 1; k <= runs; ++k) {
        const std::uint32_t c = static_cast<std::uint32_t>(1 + k) + cost[i + k];
        if (c < bestCost) {
          bestCost = c;
          bestStep = static_cast<std::uint8_t>(k);
          bestKind = 1;
        }
      }
    }
    const std::size_t longest = matchLength[i];
    if (longest != 0) {
      // The cheapest rest after a match of any length it allows: first
      // the least cost without a branch per length, then the shortest
      // length that reaches it. A fast search tries only the longest few:
      // in text a match cut shorter than that hardly ever pays.
      const std::size_t from = search == MatchSearch::kFast && longest > kMinMatchLength + kFastCuts
                                   ? longest - kFastCuts
                                   : kMinMatchLength;
      std::uint32_t least = cost[i + from];
      for (std::size_t l = from + 1; l <= longest; ++l) {
        least = std::min(least, cost[i + l]);
      }
      if (2 + least < bestCost) {
        std::size_t l = from;
        while (cost[i + l] != least) ++l;
        bestCost = 2 + least;
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

std::vector<std::uint8_t> EncodeStored(const std::uint8_t* data, std::size_t n,
                                       MatchSearch search) {
  std::vector<std::uint8_t> tokens = CompressTokens(data, n, search);
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
