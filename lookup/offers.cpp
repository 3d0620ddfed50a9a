#include "lookup/offers.h"

#include <algorithm>
#include <string>

#include "book/utf.h"
#include "lookup/base_forms.h"
#include "lookup/spelling.h"

namespace quill::lookup {

std::vector<Offer> OfferWords(const BookKeys& keys, std::u16string_view word) {
  std::vector<Offer> offers;
  if (word.empty() || keys.Count() == 0 || keys.Find(word) >= 0) return offers;
  const std::u32string typed = FoldedCodePoints(word);
  auto offered = [&offers](std::size_t entry) {
    return std::any_of(offers.begin(), offers.end(),
                       [entry](const Offer& o) { return o.entry == entry; });
  };
  for (const std::string& base : BaseForms(ToUtf8(std::u16string(word)))) {
    if (offers.size() == kMostOffers) return offers;
    std::u16string wide;
    if (!Utf8ToUtf16(base, &wide)) continue;
    const std::int64_t entry = keys.Find(wide);
    if (entry < 0 || offered(static_cast<std::size_t>(entry))) continue;
    const std::u16string_view key = keys.Key(static_cast<std::size_t>(entry));
    offers.push_back({std::u16string(key), static_cast<std::size_t>(entry),
                      Distance(typed, FoldedCodePoints(key)), true});
  }
  if (offers.size() == kMostOffers || keys.AnyBeginsWith(word)) return offers;
  std::vector<CloseKey> close = CloseKeys(keys, word);
  RankCloseKeys(keys, &close);
  for (const CloseKey& k : close) {
    if (offers.size() == kMostOffers) break;
    if (offered(k.entry)) continue;
    offers.push_back({std::u16string(keys.Key(k.entry)), k.entry, k.distance, false});
  }
  return offers;
}

std::u16string MissNote(std::u16string_view word, const std::vector<Offer>& offers) {
  if (offers.empty()) return {};
  std::u16string note(word);
  note += u": not in this book. Did you mean ";
  for (std::size_t i = 0; i < offers.size(); ++i) {
    if (i > 0) note += u", ";
    note += offers[i].word;
  }
  note += u'?';
  return note;
}

}  // namespace quill::lookup
