// Readers of the open data the shelf books are made from, each giving the
// entries of one book (keys not yet sorted). Every reader takes the whole
// text of its files and returns 1, or 0 with a message naming the file's
// line in *problem; stray bytes that are not UTF-8 are read as
// Windows-1252 (see RepairUtf8).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "book/book_builder.h"

namespace quill::books {

// A dictd database: its .index text and its .dict text (already
// inflated). One entry per headword with its article, as xqb reads
// dictd databases, but with stray bytes repaired instead of refused. An
// article longer than kSharedArticleBytes that several headwords share
// (a whole family of compounds, say) is given to the first of them; the
// others refer to it ("See: headword"), which keeps such a book within
// what the format can hold. The articles of one headword make one entry,
// those that start with it (are about it) first, as long as the entry stays
// within kMaxMergedUnits.
inline constexpr std::uint64_t kSharedArticleBytes = 1024;
inline constexpr std::size_t kMaxMergedUnits = 30000;

int ReadDictdRepaired(std::string_view index, std::string_view dict,
                      std::vector<BookEntry>* entries, std::string* problem);

// A MyThes thesaurus (.dat): a line naming the encoding, then per word a
// line "word|count" followed by count lines "(pos)|synonym|synonym...".
int ReadThesaurus(std::string_view text, std::vector<BookEntry>* entries, std::string* problem);

// Country facts from a table of lines "UN number:ISO 2:ISO 3:name:capital"
// and the time-zone table (tab-separated: country codes, position, zone).
// One entry per country, and one per capital naming its country.
int ReadCountries(std::string_view countries, std::string_view zones,
                  std::vector<BookEntry>* entries, std::string* problem);

// A city database of records of "Field : value" lines ended by "//".
int ReadCities(std::string_view text, std::vector<BookEntry>* entries, std::string* problem);

// Airports from lines "code:name:country code:region:city|city", the
// country codes named through the country table above. One entry per
// code and one per city served.
int ReadAirports(std::string_view airports, std::string_view countries,
                 std::vector<BookEntry>* entries, std::string* problem);

// Telephone codes: country calling codes ("code:country") and North
// American area codes ("area code:city:state:state abbreviation"). One
// entry per code, per country and per city.
int ReadDialingCodes(std::string_view international, std::string_view northAmerica,
                     std::vector<BookEntry>* entries, std::string* problem);

}  // namespace quill::books
