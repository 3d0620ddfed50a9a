// The readers of the shelf's open data, on small stand-ins of each source.
#include "books/source_readers.h"

#include <gtest/gtest.h>

#include <map>

#include "import/dictd_test_data.h"

namespace quill::books {
namespace {

using namespace std::string_literals;
using import::testing::Base64;

std::string Line(const std::string& headword, std::size_t offset, std::size_t length) {
  return headword + "\t" + Base64(offset) + "\t" + Base64(length) + "\n";
}

TEST(DictdConversionTest, ArticlesWithStrayBytesAreRepairedNotRefused) {
  const import::testing::DictdFiles files = import::testing::MakeDictd({
      {"00-database-short", "Stand-in Lexicon\n"},
      {"book", "book\n    n 1: a written work\n\n"},
      {"fa\xE7"
       "ade",
       "fa\xE7"
       "ade\r\n    the market\x92s face\n"},
      {"[incr Tcl]", "[incr Tcl]\n\n   <language>\n"},
  });
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadDictdRepaired(files.index, files.dict, &entries, &problem), 1) << problem;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, u"book");
  EXPECT_EQ(entries[0].content, u"book\n    n 1: a written work");
  EXPECT_EQ(entries[1].key, u"façade");
  EXPECT_EQ(entries[1].content, u"façade\n    the market\u2019s face");
  // Still as the source has it: the word list writer keeps it plain.
  EXPECT_EQ(entries[2].content, u"[incr Tcl]\n\n   <language>");
}

TEST(DictdConversionTest, ALongArticleSharedByHeadwordsIsGivenToTheOneItIsAbout) {
  const std::string wine = "Wine \\Wine\\, n. " + std::string(kSharedArticleBytes, 'w');
  const std::string shortOne = "Dry (of wines)";
  std::string dict = wine + shortOne;
  std::string index = Line("Birch wine", 0, wine.size()) +
                      Line("dry", wine.size(), shortOne.size()) +
                      Line("Dry wine", wine.size(), shortOne.size()) +
                      Line("Wine", 0, wine.size()) + Line("Wine press", 0, wine.size());
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadDictdRepaired(index, dict, &entries, &problem), 1) << problem;
  // The entries whose article is about them come first, in index order.
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].key, u"dry");
  EXPECT_EQ(entries[1].key, u"Wine");
  EXPECT_EQ(entries[1].content.size(), wine.size());
  EXPECT_EQ(entries[2].content, u"Birch wine\nSee: Wine");
  // A short shared article is given in full to each headword.
  EXPECT_EQ(entries[0].content, u"Dry (of wines)");
  EXPECT_EQ(entries[3].content, u"Dry (of wines)");
  EXPECT_EQ(entries[4].content, u"Wine press\nSee: Wine");

  // With no headword the article starts with, the first one has it.
  index = Line("Birch wine", 0, wine.size()) + Line("Wine press", 0, wine.size());
  entries.clear();
  ASSERT_EQ(ReadDictdRepaired(index, dict, &entries, &problem), 1) << problem;
  EXPECT_EQ(entries[0].content.size(), wine.size());
  EXPECT_EQ(entries[1].content, u"Wine press\nSee: Birch wine");

  // A headword that an article only mentions goes after its own article
  // ("book" in a long "Bell" article, listed first by the index).
  const std::string bell = "Bell, n. " + std::string(kSharedArticleBytes, 'b') + " bell, book";
  const std::string book = "Book, n. a written work";
  index = Line("Bell", 0, bell.size()) + Line("book", 0, bell.size()) +
          Line("Book", bell.size(), book.size());
  entries.clear();
  ASSERT_EQ(ReadDictdRepaired(index, bell + book, &entries, &problem), 1) << problem;
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].content, u"Book, n. a written work");
  EXPECT_EQ(entries[2].content, u"book\nSee: Bell");
}

TEST(DictdConversionTest, TheArticlesOfOneHeadwordMakeOneEntry) {
  const std::string noun = "dog /d/\nHund";
  const std::string tool = "dog /d/\nBandhaken";
  const std::string mention = "hot dog\nWurst";
  const std::string dict = tool + noun + mention;
  const std::string index = Line("dog", 0, tool.size()) + Line("dog", tool.size(), noun.size()) +
                            Line("Dog", 0, tool.size()) +
                            Line("dog", tool.size() + noun.size(), mention.size());
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadDictdRepaired(index, dict, &entries, &problem), 1) << problem;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].content, u"dog /d/\nBandhaken\n\ndog /d/\nHund\n\nhot dog\nWurst");
  EXPECT_EQ(entries[1].key, u"Dog");

  // Not beyond what one entry holds.
  const std::string big(kMaxMergedUnits - 10, 'x');
  entries.clear();
  ASSERT_EQ(ReadDictdRepaired(Line("x", 0, big.size()) + Line("x", 0, 20), big, &entries, &problem),
            1);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].content, u"xxxxxxxxxxxxxxxxxxxx");
}

TEST(DictdConversionTest, RefusesAnIndexThatPointsBeyondTheText) {
  std::vector<BookEntry> entries;
  std::string problem;
  EXPECT_EQ(ReadDictdRepaired(Line("a", 0, 2) + Line("b", 2, 9), "abc", &entries, &problem), 0);
  EXPECT_EQ(problem.rfind("line 2: ", 0), 0u) << problem;
  EXPECT_EQ(ReadDictdRepaired("no tabs here\n", "", &entries, &problem), 0);
  EXPECT_FALSE(problem.empty());
}

TEST(ThesaurusTest, MeaningsFollowTheirWord) {
  const std::string text =
      "UTF-8\n"
      "book|2\n"
      "(noun)|volume|product (generic term)\n"
      "(verb)|reserve|hold\n"
      "caf\xE9|1\n"
      "(noun)|coffee shop\n";
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadThesaurus(text, &entries, &problem), 1) << problem;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].content,
            u"book\n(noun) volume, product (generic term)\n(verb) reserve, hold");
  EXPECT_EQ(entries[1].key, u"café");

  EXPECT_EQ(ReadThesaurus("UTF-8\nbook|3\n(noun)|volume\n", &entries, &problem), 0);
  EXPECT_EQ(problem.rfind("line 2: ", 0), 0u) << problem;
  EXPECT_EQ(ReadThesaurus("UTF-8\nbook|x\n", &entries, &problem), 0);
  EXPECT_EQ(problem.rfind("line 2: ", 0), 0u) << problem;
}

const char kCountries[] =
    "# UN Code number: 2 letter ISO abbrev : 3 letter ISO abbrev : name : capital\n"
    "250:FR:FRA:France:Paris\n"
    "830:::Channel Islands:\n"
    "840:US:USA:United States:Washington\n";

TEST(WorldTablesTest, CountriesWithTheirCapitalsCodesAndTimeZones) {
  const char zones[] =
      "# comment\n"
      "FR\t+4852+00220\tEurope/Paris\n"
      "US\t+404251-0740023\tAmerica/New_York\tEastern (most areas)\n"
      "US\t+415100-0873900\tAmerica/Chicago\tCentral (most areas)\n";
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadCountries(kCountries, zones, &entries, &problem), 1) << problem;
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0].content,
            u"France\nCapital: Paris\nISO 3166 codes: FR, FRA, 250\nTime zone: Europe/Paris");
  EXPECT_EQ(entries[1].content, u"Channel Islands\nISO 3166 codes: 830");
  EXPECT_EQ(entries[2].content,
            u"United States\nCapital: Washington\nISO 3166 codes: US, USA, "
            u"840\nTime zones: America/New_York, America/Chicago");
  EXPECT_EQ(entries[3].content, u"Paris\nCapital of France");

  EXPECT_EQ(ReadCountries("250:FR:France:Paris\n", zones, &entries, &problem), 0);
  EXPECT_EQ(problem, "line 1: not \"number:ISO 2:ISO 3:name:capital\"");
}

TEST(WorldTablesTest, CityRecords) {
  const char text[] =
      "ID          : 1\nType        : City\nPopulation  : 210700\nName        : Aberdeen\n"
      " Country    : UK\n Region     : Scotland\n Longitude  : -2.083\n Latitude   :   57.150\n"
      " Elevation  : \n//\n"
      "Type        : Mountain\nName        : Mont Blanc\n Elevation  : 4807\n///\n";
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadCities(text, &entries, &problem), 1) << problem;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].content,
            u"Aberdeen\nCountry: UK\nRegion: Scotland\nPopulation: "
            u"210,700\nLatitude: 57.150\nLongitude: -2.083");
  EXPECT_EQ(entries[1].content, u"Mont Blanc\nType: Mountain\nElevation: 4807 m");
  EXPECT_EQ(ReadCities("Name : x\nno colon\n", &entries, &problem), 0);
  EXPECT_EQ(problem.rfind("line 2: ", 0), 0u) << problem;
}

TEST(WorldTablesTest, AirportsByCodeAndByCity) {
  const char text[] =
      "# Airport Code:Airport:Country Code:Geographic subdivision:Major city or cities serving\n"
      "CDG:Charles de Gaulle:FR::Paris\n"
      "ORY:Orly:FR::Paris\n"
      "EWR:Newark Liberty:US:NJ:Newark, NJ|New York, NY\n";
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadAirports(text, kCountries, &entries, &problem), 1) << problem;
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[0].content, u"CDG\nCharles de Gaulle\nCountry: France (FR)\nServes: Paris");
  EXPECT_EQ(entries[1].content, u"Paris\nCDG  Charles de Gaulle\nORY  Orly");
  EXPECT_EQ(
      entries[3].content,
      u"EWR\nNewark Liberty\nCountry: United States (US), NJ\nServes: Newark, NJ; New York, NY");
  EXPECT_EQ(ReadAirports("CDG:Charles de Gaulle:FR\n", kCountries, &entries, &problem), 0);
  EXPECT_FALSE(problem.empty());
}

TEST(WorldTablesTest, CallingCodesAndAreaCodesShareKeys) {
  const char calling[] = "# Country Code : Country\n\n1:North America\n212:Morocco\n33:France\n";
  const char areas[] =
      "# Area Code : City : State/Province : State/Province Abbrev.\n"
      "212:New York City:New York:NY\n212:Manhattan:New York:NY\n242::Bahamas:\n";
  std::vector<BookEntry> entries;
  std::string problem;
  ASSERT_EQ(ReadDialingCodes(calling, areas, &entries, &problem), 1) << problem;
  std::map<std::u16string, std::u16string> byKey;
  for (const BookEntry& e : entries) byKey[e.key] = e.content;
  EXPECT_EQ(byKey[u"212"],
            u"+212\nMorocco\nArea code 212 (North America)\n"
            u"New York (NY): New York City, Manhattan");
  EXPECT_EQ(byKey[u"France"], u"France\nCountry calling code: +33");
  EXPECT_EQ(byKey[u"Manhattan"], u"Manhattan\nNew York (NY): area code 212");
  EXPECT_EQ(byKey[u"Bahamas"], u"Bahamas\nBahamas: area code 242");
  EXPECT_EQ(ReadDialingCodes("x1:Nowhere\n", "", &entries, &problem), 0);
  EXPECT_EQ(problem, "calling codes: line 1: not \"code:country\"");
  EXPECT_EQ(ReadDialingCodes("", "212:a:b\n", &entries, &problem), 0);
  EXPECT_EQ(problem, "area codes: line 1: not \"code:place:state:abbreviation\"");
}

}  // namespace
}  // namespace quill::books
