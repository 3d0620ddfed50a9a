#include "lookup/base_forms.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

// The table that cmake/base_forms_table.py makes at build time (its
// records are described there).
namespace quill::base_forms_table {
extern const std::size_t kRecords;
extern const char kText[];
extern const std::uint32_t kStarts[];
}  // namespace quill::base_forms_table

namespace quill::lookup {

namespace {

namespace table = base_forms_table;

struct Rule {
  const char* ending;
  const char* replacement;
};

// WordNet's regular endings, part of speech by part of speech.
constexpr Rule kNounRules[] = {{"s", ""},     {"ses", "s"},   {"xes", "x"}, {"zes", "z"},
                               {"ches", "ch"}, {"shes", "sh"}, {"men", "man"}, {"ies", "y"}};
constexpr Rule kVerbRules[] = {{"s", ""},   {"ies", "y"}, {"es", "e"},  {"es", ""},
                               {"ed", "e"}, {"ed", ""},   {"ing", "e"}, {"ing", ""}};
constexpr Rule kAdjectiveRules[] = {{"er", ""}, {"est", ""}, {"er", "e"}, {"est", "e"}};

std::string_view Record(std::size_t n) {
  return std::string_view(table::kText + table::kStarts[n], table::kStarts[n + 1] - table::kStarts[n]);
}

std::string_view Inflected(std::string_view record) { return record.substr(0, record.find('\t')); }

void Add(std::string form, std::string_view word, std::vector<std::string>* forms) {
  if (form.empty() || form == word) return;
  if (std::find(forms->begin(), forms->end(), form) != forms->end()) return;
  forms->push_back(std::move(form));
}

void ApplyRules(const std::string& word, const Rule* rules, std::size_t count,
                std::vector<std::string>* forms) {
  for (std::size_t r = 0; r < count; ++r) {
    const std::string_view ending = rules[r].ending;
    if (word.size() <= ending.size() || word.compare(word.size() - ending.size(), ending.size(), ending) != 0) {
      continue;
    }
    Add(word.substr(0, word.size() - ending.size()) + rules[r].replacement, word, forms);
  }
}

}  // namespace

std::vector<std::string> BaseForms(std::string_view word) {
  std::string folded(word);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::vector<std::string> forms;
  if (folded.empty()) return forms;

  std::size_t low = 0;
  std::size_t high = table::kRecords;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (Inflected(Record(middle)) < folded) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low < table::kRecords) {
    std::string_view record = Record(low);
    if (Inflected(record) == folded) {
      record.remove_prefix(folded.size());
      while (!record.empty()) {
        record.remove_prefix(1);  // the tab
        const std::size_t end = std::min(record.find('\t'), record.size());
        // A digit, how much of the inflected form the base starts with,
        // then the rest of the base.
        const auto kept = static_cast<std::size_t>(record[0] - '0');
        Add(folded.substr(0, kept) + std::string(record.substr(1, end - 1)), folded, &forms);
        record.remove_prefix(end);
      }
    }
  }

  // WordNet leaves alone a noun of two letters or one that ends in "ss":
  // "glass" is no plural of "glas".
  const bool nounEnding = folded.size() > 2 && folded.compare(folded.size() - 2, 2, "ss") != 0;
  if (nounEnding) ApplyRules(folded, kNounRules, std::size(kNounRules), &forms);
  ApplyRules(folded, kVerbRules, std::size(kVerbRules), &forms);
  ApplyRules(folded, kAdjectiveRules, std::size(kAdjectiveRules), &forms);
  return forms;
}

}  // namespace quill::lookup
