#include "lookup/spelling.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "lookup/code_points.h"
#include "lookup/sense_counts.h"

namespace quill::lookup {

namespace {

// The rows of the distance table between a word and the keys' prefixes,
// one row per prefix length (depth), each cut to the band of cells at most
// maxEdits off the diagonal: a cell outside it is too far already. A row
// holds its band with one cell more on either side, always "too far", so
// that filling a cell needs no bounds checks; so are the cells of columns
// before 0 or past the word's end, which are never written. Cells hold at
// most maxEdits + 1, "too far".
class BandedRows {
 public:
  BandedRows(std::u32string_view word, int maxEdits)
      : word_(word),
        edits_(static_cast<std::size_t>(maxEdits)),
        width_(2 * edits_ + 3),
        far_(static_cast<std::uint8_t>(maxEdits + 1)),
        cells_((word.size() + edits_ + 1) * width_, far_) {
    // Row 0: the word's first j code points take j insertions.
    for (std::size_t j = 0; j <= edits_ && j <= word.size(); ++j) {
      cells_[Cell(0, j)] = static_cast<std::uint8_t>(j);
    }
  }

  // The deepest row any key within reach can need.
  std::size_t MaxDepth() const { return word_.size() + edits_; }

  // Fills row depth (1 to MaxDepth()) for a prefix ending in code point c
  // after previous; returns the row's least cell.
  int Fill(std::size_t depth, char32_t c, char32_t previous) {
    std::uint8_t* row = &cells_[depth * width_];
    const std::uint8_t* above = row - width_;
    const std::uint8_t* twoAbove = depth >= 2 ? above - width_ : above;
    const bool swaps = depth >= 2;
    int least = far_;
    std::size_t first = 1;
    if (depth <= edits_) {
      // Column 0: the prefix's code points all left out.
      row[edits_ + 1 - depth] = static_cast<std::uint8_t>(depth);
      least = static_cast<int>(depth);
    } else {
      first = depth - edits_;
    }
    const std::size_t last = std::min(word_.size(), depth + edits_);
    for (std::size_t j = first; j <= last; ++j) {
      const std::size_t b = j + edits_ + 1 - depth;
      int best = std::min(above[b + 1], row[b - 1]) + 1;
      best = std::min(best, above[b] + (c == word_[j - 1] ? 0 : 1));
      if (swaps && j >= 2 && c == word_[j - 2] && previous == word_[j - 1]) {
        best = std::min(best, twoAbove[b] + 1);
      }
      best = std::min(best, static_cast<int>(far_));
      row[b] = static_cast<std::uint8_t>(best);
      least = std::min(least, best);
    }
    return least;
  }

  // The distance of the whole word from a prefix of length depth (filled),
  // or maxEdits + 1 when it is too far.
  int Distance(std::size_t depth) const {
    const std::size_t m = word_.size();
    if (depth > m + edits_ || m > depth + edits_) return far_;
    return cells_[depth * width_ + m + edits_ + 1 - depth];
  }

 private:
  // The index of row 0's cell of column j (the other rows' are found from
  // their own start, shifted by their depth).
  std::size_t Cell(std::size_t depth, std::size_t j) const { return depth * width_ + j + edits_ + 1 - depth; }

  std::u32string_view word_;
  std::size_t edits_;
  std::size_t width_;
  std::uint8_t far_;
  std::vector<std::uint8_t> cells_;
};

}  // namespace

int MaxEdits(std::size_t codePoints) {
  if (codePoints < 3) return 0;
  return codePoints <= 4 ? 1 : 2;
}

std::u32string FoldedCodePoints(std::u16string_view text) {
  std::u32string points;
  std::size_t at = 0;
  while (at < text.size()) points.push_back(NextFoldedCodePoint(text, &at));
  return points;
}

int Distance(std::u32string_view a, std::u32string_view b) {
  const std::size_t columns = b.size() + 1;
  std::vector<int> d((a.size() + 1) * columns);
  for (std::size_t j = 0; j <= b.size(); ++j) d[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    d[i * columns] = static_cast<int>(i);
    for (std::size_t j = 1; j <= b.size(); ++j) {
      int best = std::min({d[(i - 1) * columns + j] + 1, d[i * columns + j - 1] + 1,
                           d[(i - 1) * columns + j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i >= 2 && j >= 2 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        best = std::min(best, d[(i - 2) * columns + j - 2] + 1);
      }
      d[i * columns + j] = best;
    }
  }
  return d[a.size() * columns + b.size()];
}

std::vector<CloseKey> CloseKeys(const BookKeys& keys, std::u16string_view word) {
  std::vector<CloseKey> close;
  const std::u32string target = FoldedCodePoints(word);
  const int edits = MaxEdits(target.size());
  if (edits == 0) return close;
  BandedRows rows(target, edits);
  // The code points of the prefix whose rows are filled (from path[1]:
  // path[0] stands before the first), and how many of them are.
  std::u32string path(rows.MaxDepth() + 1, 0);
  std::size_t filled = 0;
  std::u32string lastClose;
  std::size_t lastCloseEntry = 0;
  bool anyClose = false;
  const std::size_t count = keys.Count();
  std::size_t n = 0;
  while (n < count) {
    const std::u16string_view key = keys.Key(n);
    // The rows this key shares with the last one walked are filled already:
    // its first code points are passed over unread.
    std::size_t depth = std::min(keys.Shared(n), filled);
    std::size_t at = 0;
    for (std::size_t passed = 0; passed < depth && at < key.size(); ++passed) NextCodePoint(key, &at);
    std::size_t tooFarAt = 0;
    while (at < key.size()) {
      const char32_t c = NextFoldedCodePoint(key, &at);
      ++depth;
      if (depth > rows.MaxDepth()) {
        tooFarAt = depth;
        break;
      }
      path[depth] = c;
      filled = depth;
      if (rows.Fill(depth, c, path[depth - 1]) > edits) {
        tooFarAt = depth;
        break;
      }
    }
    ++n;
    if (tooFarAt != 0) {
      // Every key that begins with the same tooFarAt code points is as far.
      n = keys.RunEnd(n, tooFarAt);
      continue;
    }
    const int distance = rows.Distance(depth);
    if (distance <= edits) {
      // A key folded equal to the one before is offered once: the first.
      const std::u32string_view spelled(path.data() + 1, depth);
      if (!anyClose || lastCloseEntry + 2 != n || spelled != lastClose) {
        close.push_back({n - 1, distance});
      }
      lastClose.assign(spelled);
      lastCloseEntry = n - 1;
      anyClose = true;
    }
  }
  return close;
}

std::vector<CloseKey> CloseKeysByScan(const BookKeys& keys, std::u16string_view word) {
  std::vector<CloseKey> close;
  const std::u32string target = FoldedCodePoints(word);
  const int edits = MaxEdits(target.size());
  if (edits == 0) return close;
  BandedRows rows(target, edits);
  std::u32string spelled;
  std::u32string previous;
  for (std::size_t n = 0; n < keys.Count(); ++n) {
    const std::u16string_view key = keys.Key(n);
    spelled.clear();
    for (std::size_t at = 0; at < key.size();) spelled.push_back(NextFoldedCodePoint(key, &at));
    if (n > 0 && spelled == previous) continue;
    previous.swap(spelled);
    const std::u32string& measured = previous;
    if (measured.size() > rows.MaxDepth() || measured.size() + static_cast<std::size_t>(edits) < target.size()) {
      continue;
    }
    bool tooFar = false;
    for (std::size_t depth = 1; depth <= measured.size() && !tooFar; ++depth) {
      tooFar = rows.Fill(depth, measured[depth - 1], depth >= 2 ? measured[depth - 2] : 0) > edits;
    }
    if (tooFar) continue;
    const int distance = rows.Distance(measured.size());
    if (distance <= edits) close.push_back({n, distance});
  }
  return close;
}

void RankCloseKeys(const BookKeys& keys, std::vector<CloseKey>* close) {
  std::vector<std::tuple<int, std::int64_t, std::size_t>> order;
  order.reserve(close->size());
  for (const CloseKey& k : *close) {
    order.emplace_back(k.distance, -static_cast<std::int64_t>(SenseCount(keys.Key(k.entry))), k.entry);
  }
  std::sort(order.begin(), order.end());
  for (std::size_t i = 0; i < order.size(); ++i) {
    (*close)[i] = {std::get<2>(order[i]), std::get<0>(order[i])};
  }
}

}  // namespace quill::lookup
