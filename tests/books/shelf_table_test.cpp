// The shelf's catalogue as the pipeline reads it, and the shelf tool run
// as books/build.sh runs it, on stand-in data, through to a book that xqb
// makes and looks words up in.
#include "books/shelf_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "books/shelf_tool.h"
#include "import/dictd_test_data.h"
#include "tools/xqb_run.h"

namespace quill::books {
namespace {

using xqb::testing::Result;
using xqb::testing::StringOutput;
using xqb::testing::Xqb;

Result Shelf(const std::vector<std::string>& args) {
  StringOutput out;
  StringOutput err;
  const int code = RunShelf(args, Console{&out, &err, nullptr});
  return {code, out.text, err.text};
}

TEST(ShelfCatalogueTest, PrintsEveryRowAsCategoryFileAndTitle) {
  const Result r = Shelf({"catalogue"});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::vector<std::string> rows;
  while (std::getline(lines, line)) rows.push_back(line);
  ASSERT_EQ(rows.size(), kShelfRowCount);
  EXPECT_EQ(rows[0], "Dictionary\tdeflex_a.xqb\tWordNet English");
  EXPECT_EQ(rows[6], "Professional\tdeflex_b.xqb\tFOLDOC Computing");
  EXPECT_EQ(rows[16].rfind("Life\t", 0), 0u);
  for (std::size_t n = 0; n < rows.size(); ++n) {
    EXPECT_EQ(rows[n],
              std::string(kShelfCategoryNames[static_cast<std::size_t>(ShelfTable[n].category)]) +
                  "\t" + ShelfTable[n].file + "\t" + ShelfTable[n].title);
  }
}

TEST(ShelfCatalogueTest, EachTitleFitsTheBookHeader) {
  // A book's own title holds 21 units; the shelf's titles are its titles.
  for (const ShelfRow& row : ShelfTable) EXPECT_LE(std::string(row.title).size(), 21u) << row.file;
}

class ShelfToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ =
        std::filesystem::temp_directory_path() /
        ("shelf_tool_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path folder_;
};

TEST_F(ShelfToolTest, DeflexBookFindsBookWithItsPhoneticLineAndDefinition) {
  const import::testing::DictdFiles wn = import::testing::MakeDictd({
      {"00-database-short", "WordNet stand-in\n"},
      {"book", "book\n    n 1: a written work or composition that has been published\n"},
      {"book of account", "book of account\n    n 1: a record of accounts\n"},
      {"[sic]", "[sic]\n    adv 1: intentionally so written\n"},
  });
  Write("wn.index", wn.index);
  const std::vector<std::uint8_t> dict(wn.dict.begin(), wn.dict.end());
  const std::vector<std::uint8_t> packed = import::testing::Gzip(dict);
  Write("wn.dict.dz", std::string(packed.begin(), packed.end()));
  Write("lexicon.out", "MNCL\n(\"book\" nil (((b uh k) 1)))\n");

  Result r =
      Shelf({"convert", "deflex", Path("wn.index"), Path("lexicon.out"), "-o", Path("a.tsv")});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_NE(r.err.find("3 entries (1 words in the lexicon, 1 entries pronounced), 1 first lines"),
            std::string::npos)
      << r.err;

  r = Xqb({"build", Path("a.tsv"), "-o", Path("deflex_a.xqb"), "--title", ShelfTable[0].title});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  r = Xqb({"lookup", Path("deflex_a.xqb"), "Book"});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(r.out,
            "found 1\nbook\n[bUk]\nbook\n"
            "    n 1: a written work or composition that has been published\n");
  r = Xqb({"lookup", Path("deflex_a.xqb"), "book of account"});
  EXPECT_EQ(r.out, "found 2\nbook of account\nbook of account\n    n 1: a record of accounts\n");
  r = Xqb({"lookup", Path("deflex_a.xqb"), "[sic]"});
  EXPECT_EQ(r.out.rfind("found 0\n[sic]\n      [sic]\n", 0), 0u) << r.out;
  r = Xqb({"info", Path("deflex_a.xqb")});
  EXPECT_NE(r.out.find("title: WordNet English\nentries: 3\n"), std::string::npos) << r.out;
}

TEST_F(ShelfToolTest, GzipInputsAndRefusals) {
  const std::string calling = "20:Egypt\n";
  const std::vector<std::uint8_t> packed =
      import::testing::Gzip(std::vector<std::uint8_t>(calling.begin(), calling.end()));
  Write("inter.phone.gz", std::string(packed.begin(), packed.end()));
  Write("na.phone", "201:Bayonne:New Jersey:NJ\n");
  Result r =
      Shelf({"convert", "dialing", Path("inter.phone.gz"), Path("na.phone"), "-o", Path("d.tsv")});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(Read("d.tsv"),
            "20\t+20\\nEgypt\nEgypt\tEgypt\\nCountry calling code: +20\n"
            "Bayonne\tBayonne\\nNew Jersey (NJ): area code 201\n"
            "201\t201\\nArea code 201 (North America)\\nNew Jersey (NJ): Bayonne\n");

  Write("bad.phone", "Egypt\n");
  r = Shelf({"convert", "dialing", Path("bad.phone"), Path("na.phone"), "-o", Path("e.tsv")});
  EXPECT_EQ(r.code, kExitFailure);
  EXPECT_NE(r.err.find("calling codes: line 1"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(folder_ / "e.tsv"));

  r = Shelf({"convert", "cities", Path("missing"), "-o", Path("c.tsv")});
  EXPECT_EQ(r.code, kExitFailure);
  EXPECT_NE(r.err.find("cannot read the file"), std::string::npos) << r.err;
  EXPECT_EQ(Shelf({"convert", "nonsense", Path("na.phone"), "-o", Path("x.tsv")}).code,
            kExitFailure);
  EXPECT_EQ(Shelf({"convert", "cities", Path("na.phone")}).code, kExitFailure);
  EXPECT_EQ(Shelf({"convert", "dialing", Path("na.phone"), "-o", Path("x.tsv")}).code,
            kExitFailure);
  EXPECT_EQ(Shelf({"catalogue", "extra"}).code, kExitFailure);
  EXPECT_EQ(Shelf({}).code, kExitFailure);
}

}  // namespace
}  // namespace quill::books
