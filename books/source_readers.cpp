#include "books/source_readers.h"

#include <cstdint>
#include <functional>
#include <map>

#include "books/entry_text.h"
#include "import/dictd_reader.h"

namespace quill::books {

namespace {

// Calls line(text, number) for each line, without its line end; stops and
// returns 0 when line does.
int ForEachLine(std::string_view text,
                const std::function<int(std::string_view, std::size_t)>& line) {
  std::size_t start = 0;
  for (std::size_t number = 1; start < text.size(); ++number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view body = text.substr(start, end - start);
    start = end + 1;
    if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
    if (!line(body, number)) return 0;
  }
  return 1;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      fields.push_back(text.substr(start));
      return fields;
    }
    fields.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool Skipped(std::string_view line) {
  const std::string_view trimmed = Trim(line);
  return trimmed.empty() || trimmed[0] == '#';
}

std::string LineProblem(std::size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

std::u16string U16(std::string_view utf8) { return RepairedUtf16(utf8); }

// "1234567" as "1,234,567"; anything that is not all digits as it stands.
std::string Grouped(std::string_view digits) {
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::string(digits);
  }
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const std::string& part : parts) {
    if (!out.empty()) out += separator;
    out += part;
  }
  return out;
}

struct Country {
  std::string number, alpha2, alpha3, name, capital;
};

int ReadCountryTable(std::string_view text, std::vector<Country>* countries, std::string* problem) {
  const std::string repaired = RepairUtf8(text);
  return ForEachLine(repaired, [&](std::string_view line, std::size_t number) {
    if (Skipped(line)) return 1;
    const std::vector<std::string_view> f = Split(line, ':');
    if (f.size() != 5 || Trim(f[3]).empty()) {
      *problem = LineProblem(number, "not \"number:ISO 2:ISO 3:name:capital\"");
      return 0;
    }
    countries->push_back({std::string(Trim(f[0])), std::string(Trim(f[1])), std::string(Trim(f[2])),
                          std::string(Trim(f[3])), std::string(Trim(f[4]))});
    return 1;
  });
}

bool IsWordUnit(char16_t u) {
  return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
         u >= 0x80;
}

char16_t Folded(char16_t u) {
  return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u + (u'a' - u'A')) : u;
}

// Whether an article starts with its entry's key as a whole word, as an
// article does that is about that word ("Wine (n.) ...") and not one that
// only mentions it.
bool StartsWithKey(const BookEntry& entry) {
  const std::u16string& key = entry.key;
  const std::u16string& text = entry.content;
  if (key.empty() || key.size() > text.size()) return false;
  if (key.size() < text.size() && IsWordUnit(text[key.size()])) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (Folded(key[i]) != Folded(text[i])) return false;
  }
  return true;
}

// Of entries sharing one article, the one the article is about: the
// longest key that the article starts with ("Wine" for the article
// "Wine (n.) ..." that "Wine press" shares), else the first.
std::size_t ArticleOwner(const std::vector<BookEntry>& entries,
                         const std::vector<std::size_t>& group) {
  std::size_t owner = 0;
  std::size_t ownerLength = 0;
  for (std::size_t g = 0; g < group.size(); ++g) {
    const BookEntry& entry = entries[group[g]];
    if (entry.key.size() <= ownerLength || !StartsWithKey(entry)) continue;
    owner = g;
    ownerLength = entry.key.size();
  }
  return owner;
}

}  // namespace

int ReadDictdRepaired(std::string_view index, std::string_view dict,
                      std::vector<BookEntry>* entries, std::string* problem) {
  std::vector<import::DictdRecord> records;
  if (!import::ReadDictdIndex(reinterpret_cast<const std::uint8_t*>(index.data()), index.size(),
                           &records, problem)) {
    return 0;
  }
  // Each article is repaired on its own and laid out anew, as repairs
  // change lengths and so the index's offsets.
  std::string repaired;
  std::vector<std::uint64_t> originalOffsets;
  std::vector<std::uint64_t> originalLengths;
  for (import::DictdRecord& r : records) {
    originalOffsets.push_back(r.offset);
    originalLengths.push_back(r.length);
    if (r.offset > dict.size() || r.length > dict.size() - r.offset) {
      *problem = LineProblem(r.line, "the article of \"" + RepairUtf8(r.headword) +
                                         "\" lies beyond the end of the dictionary text");
      return 0;
    }
    const std::string article = RepairUtf8(
        dict.substr(static_cast<std::size_t>(r.offset), static_cast<std::size_t>(r.length)));
    r.headword = RepairUtf8(r.headword);
    r.offset = repaired.size();
    r.length = article.size();
    repaired += article;
  }
  std::vector<std::size_t> lines;
  std::u16string title;
  if (!import::ReadDictdArticles(records, reinterpret_cast<const std::uint8_t*>(repaired.data()),
                              repaired.size(), entries, &lines, &title, problem)) {
    return 0;
  }
  std::vector<bool> aboutKey(entries->size());
  for (std::size_t n = 0; n < entries->size(); ++n) aboutKey[n] = StartsWithKey((*entries)[n]);
  // Entries grouped by the article their index line named.
  std::map<std::size_t, std::pair<std::uint64_t, std::uint64_t>> articleOf;
  for (std::size_t r = 0; r < records.size(); ++r) {
    articleOf[records[r].line] = {originalOffsets[r], originalLengths[r]};
  }
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<std::size_t>> sharing;
  for (std::size_t n = 0; n < entries->size(); ++n) {
    const auto article = articleOf[lines[n]];
    if (article.second > kSharedArticleBytes) sharing[article].push_back(n);
  }
  for (const auto& [article, group] : sharing) {
    if (group.size() < 2) continue;
    const std::size_t main = group[ArticleOwner(*entries, group)];
    for (const std::size_t n : group) {
      if (n == main) continue;
      BookEntry& entry = (*entries)[n];
      entry.content = entry.key + u"\nSee: " + (*entries)[main].key;
    }
  }
  // A headword that several articles list (one about it, others that only
  // mention it) is looked up to the first of its entries: the one about it
  // goes first. Books keep the order of equal keys.
  // Articles of the same headword (senses, parts of speech) become one
  // entry, separated by an empty line, so that looking the word up shows
  // them all; a word's own articles come before those that only mention it.
  std::vector<BookEntry> merged;
  std::map<std::u16string, std::size_t> at;
  for (const bool first : {true, false}) {
    for (std::size_t n = 0; n < entries->size(); ++n) {
      if (aboutKey[n] != first) continue;
      BookEntry& entry = (*entries)[n];
      const auto found = at.find(entry.key);
      if (found != at.end()) {
        std::u16string& content = merged[found->second].content;
        if (content.size() + 2 + entry.content.size() <= kMaxMergedUnits) {
          content += u"\n\n" + entry.content;
          continue;
        }
      }
      at[entry.key] = merged.size();
      merged.push_back(std::move(entry));
    }
  }
  *entries = std::move(merged);
  return 1;
}

int ReadThesaurus(std::string_view text, std::vector<BookEntry>* entries, std::string* problem) {
  const std::string repaired = RepairUtf8(text);
  EntryMerger merger;
  std::string word;
  std::size_t wordLine = 0;
  std::size_t meaningsLeft = 0;
  std::string meanings;
  const int ok = ForEachLine(repaired, [&](std::string_view line, std::size_t number) {
    if (number == 1) return 1;  // the encoding, which the repair has dealt with
    if (meaningsLeft == 0) {
      if (Trim(line).empty()) return 1;
      const std::size_t bar = line.rfind('|');
      const std::string_view count = bar == std::string_view::npos ? "" : line.substr(bar + 1);
      if (bar == 0 || count.empty() || count.size() > 5 ||
          count.find_first_not_of("0123456789") != std::string_view::npos) {
        *problem = LineProblem(number, "not \"word|count\"");
        return 0;
      }
      word.assign(line.substr(0, bar));
      wordLine = number;
      meaningsLeft = 0;
      for (const char digit : count)
        meaningsLeft = meaningsLeft * 10 + static_cast<std::size_t>(digit - '0');
      meanings.clear();
      return 1;
    }
    const std::vector<std::string_view> f = Split(line, '|');
    std::string meaning(Trim(f[0]));
    for (std::size_t i = 1; i < f.size(); ++i) {
      meaning += i == 1 ? " " : ", ";
      meaning += Trim(f[i]);
    }
    if (!meanings.empty()) meanings += '\n';
    meanings += meaning;
    if (--meaningsLeft == 0) merger.Add(U16(word), U16(word), U16(meanings));
    return 1;
  });
  if (!ok) return 0;
  if (meaningsLeft != 0) {
    *problem = LineProblem(wordLine, "\"" + word + "\" has fewer meaning lines than its count");
    return 0;
  }
  *entries = merger.Take();
  return 1;
}

int ReadCountries(std::string_view countries, std::string_view zones,
                  std::vector<BookEntry>* entries, std::string* problem) {
  std::vector<Country> table;
  if (!ReadCountryTable(countries, &table, problem)) return 0;
  std::map<std::string, std::vector<std::string>> zonesOf;
  const std::string repairedZones = RepairUtf8(zones);
  const int ok = ForEachLine(repairedZones, [&](std::string_view line, std::size_t number) {
    if (Skipped(line)) return 1;
    const std::vector<std::string_view> f = Split(line, '\t');
    if (f.size() < 3 || Trim(f[0]).empty() || Trim(f[2]).empty()) {
      *problem = "time zones: " + LineProblem(number, "not \"codes<TAB>position<TAB>zone\"");
      return 0;
    }
    for (const std::string_view code : Split(f[0], ',')) {
      zonesOf[std::string(Trim(code))].emplace_back(Trim(f[2]));
    }
    return 1;
  });
  if (!ok) return 0;
  EntryMerger merger;
  for (const Country& c : table) {
    std::string text;
    if (!c.capital.empty()) text += "Capital: " + c.capital + "\n";
    std::vector<std::string> codes;
    for (const std::string* code : {&c.alpha2, &c.alpha3, &c.number}) {
      if (!code->empty()) codes.push_back(*code);
    }
    text += "ISO 3166 codes: " + Joined(codes, ", ");
    const auto found = c.alpha2.empty() ? zonesOf.end() : zonesOf.find(c.alpha2);
    if (found != zonesOf.end()) {
      text += std::string(found->second.size() == 1 ? "\nTime zone: " : "\nTime zones: ") +
              Joined(found->second, ", ");
    }
    merger.Add(U16(c.name), U16(c.name), U16(text));
  }
  for (const Country& c : table) {
    if (c.capital.empty()) continue;
    merger.Add(U16(c.capital), U16(c.capital), U16("Capital of " + c.name));
  }
  *entries = merger.Take();
  return 1;
}

int ReadCities(std::string_view text, std::vector<BookEntry>* entries, std::string* problem) {
  const std::string repaired = RepairUtf8(text);
  EntryMerger merger;
  std::map<std::string, std::string> record;
  const auto finish = [&]() {
    const std::string& name = record["Name"];
    if (!name.empty()) {
      std::vector<std::string> lines;
      const auto put = [&](const char* label, const std::string& value) {
        if (!value.empty()) lines.push_back(std::string(label) + ": " + value);
      };
      const std::string type = record["Type"];
      if (!type.empty() && type != "City") put("Type", type);
      put("Country", record["Country"]);
      put("Region", record["Region"]);
      put("Population", Grouped(record["Population"]));
      put("Latitude", record["Latitude"]);
      put("Longitude", record["Longitude"]);
      if (!record["Elevation"].empty()) put("Elevation", record["Elevation"] + " m");
      std::string content;
      for (const std::string& line : lines) content += (content.empty() ? "" : "\n") + line;
      merger.Add(U16(name), U16(name), U16(content));
    }
    record.clear();
  };
  const int ok = ForEachLine(repaired, [&](std::string_view line, std::size_t number) {
    if (Trim(line).empty()) return 1;
    if (Trim(line).substr(0, 2) == "//") {
      finish();
      return 1;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || Trim(line.substr(0, colon)).empty()) {
      *problem = LineProblem(number, "not \"Field : value\" or \"//\"");
      return 0;
    }
    record[std::string(Trim(line.substr(0, colon)))] = std::string(Trim(line.substr(colon + 1)));
    return 1;
  });
  if (!ok) return 0;
  finish();
  *entries = merger.Take();
  return 1;
}

int ReadAirports(std::string_view airports, std::string_view countries,
                 std::vector<BookEntry>* entries, std::string* problem) {
  std::vector<Country> table;
  if (!ReadCountryTable(countries, &table, problem)) {
    *problem = "countries: " + *problem;
    return 0;
  }
  std::map<std::string, std::string> countryName;
  for (const Country& c : table) {
    if (!c.alpha2.empty()) countryName.emplace(c.alpha2, c.name);
  }
  const std::string repaired = RepairUtf8(airports);
  EntryMerger merger;
  const int ok = ForEachLine(repaired, [&](std::string_view line, std::size_t number) {
    if (Skipped(line)) return 1;
    const std::vector<std::string_view> f = Split(line, ':');
    if (f.size() != 5 || Trim(f[0]).empty() || Trim(f[1]).empty()) {
      *problem = LineProblem(number, "not \"code:airport:country:region:cities\"");
      return 0;
    }
    const std::string code(Trim(f[0]));
    const std::string name(Trim(f[1]));
    std::string country(Trim(f[2]));
    const auto named = countryName.find(country);
    if (named != countryName.end()) country = named->second + " (" + country + ")";
    std::string where = country;
    if (!Trim(f[3]).empty())
      where += where.empty() ? std::string(Trim(f[3])) : ", " + std::string(Trim(f[3]));
    std::vector<std::string> cities;
    for (const std::string_view city : Split(f[4], '|')) {
      if (!Trim(city).empty()) cities.emplace_back(Trim(city));
    }
    std::string text = name;
    if (!where.empty()) text += "\nCountry: " + where;
    if (!cities.empty()) text += "\nServes: " + Joined(cities, "; ");
    merger.Add(U16(code), U16(code), U16(text));
    for (const std::string& city : cities) {
      merger.Add(U16(city), U16(city), U16(code + "  " + name));
    }
    return 1;
  });
  if (!ok) return 0;
  *entries = merger.Take();
  return 1;
}

int ReadDialingCodes(std::string_view international, std::string_view northAmerica,
                     std::vector<BookEntry>* entries, std::string* problem) {
  EntryMerger merger;
  const std::string world = RepairUtf8(international);
  int ok = ForEachLine(world, [&](std::string_view line, std::size_t number) {
    if (Skipped(line)) return 1;
    const std::vector<std::string_view> f = Split(line, ':');
    const std::string code(Trim(f[0]));
    if (f.size() != 2 || code.empty() || Trim(f[1]).empty() ||
        code.find_first_not_of("0123456789 ") != std::string::npos) {
      *problem = "calling codes: " + LineProblem(number, "not \"code:country\"");
      return 0;
    }
    const std::string country(Trim(f[1]));
    merger.Add(U16(code), U16("+" + code), U16(country));
    merger.Add(U16(country), U16(country), U16("Country calling code: +" + code));
    return 1;
  });
  if (!ok) return 0;
  // Area codes: one entry per code listing its places by state, and one
  // per place.
  struct Area {
    std::string state;
    std::vector<std::string> places;
  };
  std::vector<std::pair<std::string, std::vector<Area>>> areas;
  std::map<std::string, std::size_t> areaAt;
  const std::string america = RepairUtf8(northAmerica);
  ok = ForEachLine(america, [&](std::string_view line, std::size_t number) {
    if (Skipped(line)) return 1;
    const std::vector<std::string_view> f = Split(line, ':');
    const std::string code(Trim(f[0]));
    if (f.size() != 4 || code.empty() || (Trim(f[1]).empty() && Trim(f[2]).empty()) ||
        code.find_first_not_of("0123456789") != std::string::npos) {
      *problem = "area codes: " + LineProblem(number, "not \"code:place:state:abbreviation\"");
      return 0;
    }
    // A code of a whole country (the Bahamas, say) names no place.
    std::string state(Trim(f[2]));
    if (!Trim(f[3]).empty()) state += " (" + std::string(Trim(f[3])) + ")";
    const std::string place(Trim(f[1]).empty() ? Trim(f[2]) : Trim(f[1]));
    if (areaAt.count(code) == 0) {
      areaAt.emplace(code, areas.size());
      areas.push_back({code, {}});
    }
    std::vector<Area>& states = areas[areaAt[code]].second;
    if (states.empty() || states.back().state != state) states.push_back({state, {}});
    states.back().places.push_back(place);
    merger.Add(U16(place), U16(place), U16(state + ": area code " + code));
    return 1;
  });
  if (!ok) return 0;
  for (const auto& [code, states] : areas) {
    std::string text = "Area code " + code + " (North America)";
    for (const Area& area : states) text += "\n" + area.state + ": " + Joined(area.places, ", ");
    merger.Add(U16(code), U16(code), U16(text));
  }
  *entries = merger.Take();
  return 1;
}

}  // namespace quill::books
