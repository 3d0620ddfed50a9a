// The book shelf: the books that Quillpad knows by name, by category, in
// the order the shelf panel lists them. The panel shows these rows, and
// books/build.sh makes the books they name (it reads this table through
// `shelf catalogue`), so a title or file name is changed here and only here.
#pragma once

#include <array>
#include <cstddef>

namespace quill {

enum class ShelfCategory : int { kDictionary = 0, kProfessional = 1, kLearning = 2, kLife = 3 };

inline constexpr int kShelfCategoryCount = 4;
inline constexpr std::array<const char*, kShelfCategoryCount> kShelfCategoryNames = {
    "Dictionary", "Professional", "Learning", "Life"};

// Titles are plain ASCII, which every ANSI code page (Big5 included) shows
// as written; both limits are what the shelf's fixed buffers hold.
inline constexpr std::size_t kShelfTitleBytes = 17;
inline constexpr std::size_t kShelfFileChars = 17;

struct ShelfRow {
  ShelfCategory category;
  const char* title;  // the shelf item's text, and the book's own title
  const char* file;   // a name inside the installation folder
};

inline constexpr std::size_t kShelfRowCount = 17;

inline constexpr std::array<ShelfRow, kShelfRowCount> ShelfTable = {{
    {ShelfCategory::kDictionary, "WordNet English", "deflex_a.xqb"},
    {ShelfCategory::kDictionary, "GCIDE English", "gcide.xqb"},
    {ShelfCategory::kDictionary, "English-German", "eng_deu.xqb"},
    {ShelfCategory::kDictionary, "German-English", "deu_eng.xqb"},
    {ShelfCategory::kProfessional, "Jargon File", "jargon.xqb"},
    {ShelfCategory::kProfessional, "Computer Acronyms", "vera.xqb"},
    {ShelfCategory::kProfessional, "FOLDOC Computing", "deflex_b.xqb"},
    {ShelfCategory::kLearning, "Devil's Dict", "devil.xqb"},
    {ShelfCategory::kLearning, "Chemical Elements", "elements.xqb"},
    {ShelfCategory::kLearning, "English Thesaurus", "thesaurus.xqb"},
    {ShelfCategory::kLearning, "Pronunciation", "pronounce.xqb"},
    {ShelfCategory::kLearning, "English-French", "eng_fra.xqb"},
    {ShelfCategory::kLearning, "English-Spanish", "eng_spa.xqb"},
    {ShelfCategory::kLife, "World Countries", "countries.xqb"},
    {ShelfCategory::kLife, "World Cities", "cities.xqb"},
    {ShelfCategory::kLife, "Airport Codes", "airports.xqb"},
    {ShelfCategory::kLife, "Dialing Codes", "dialing.xqb"},
}};

// The two books the program falls back on at start-up: the first
// dictionary and the third professional book.
inline constexpr std::size_t kFirstDefaultBookRow = 0;
inline constexpr std::size_t kSecondDefaultBookRow = 6;

namespace shelf_detail {

constexpr std::size_t Length(const char* text) {
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

constexpr bool Same(const char* a, const char* b) {
  std::size_t i = 0;
  for (; a[i] != 0 && a[i] == b[i]; ++i) {
  }
  return a[i] == b[i];
}

constexpr bool PrintableAscii(const char* text) {
  for (std::size_t i = 0; text[i] != 0; ++i) {
    if (text[i] < 0x20 || text[i] > 0x7E) return false;
  }
  return true;
}

// A file name the shelf can join to a folder: no folder parts, no
// characters that Windows refuses, ending in ".xqb".
constexpr bool PlainBookFile(const char* file) {
  const std::size_t n = Length(file);
  if (n <= 4 || n > kShelfFileChars || !Same(file + n - 4, ".xqb")) return false;
  for (std::size_t i = 0; i < n; ++i) {
    const char c = file[i];
    const bool ok = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
    if (!ok) return false;
  }
  return true;
}

constexpr bool RowsValid() {
  int previous = 0;
  for (const ShelfRow& row : ShelfTable) {
    const int category = static_cast<int>(row.category);
    if (category < previous || category >= kShelfCategoryCount) return false;
    previous = category;
    const std::size_t titleBytes = Length(row.title);
    if (titleBytes == 0 || titleBytes > kShelfTitleBytes || !PrintableAscii(row.title)) {
      return false;
    }
    if (!PlainBookFile(row.file)) return false;
  }
  for (std::size_t a = 0; a < kShelfRowCount; ++a) {
    for (std::size_t b = a + 1; b < kShelfRowCount; ++b) {
      if (Same(ShelfTable[a].file, ShelfTable[b].file)) return false;
      if (Same(ShelfTable[a].title, ShelfTable[b].title)) return false;
    }
  }
  return true;
}

constexpr int RowsIn(ShelfCategory category) {
  int n = 0;
  for (const ShelfRow& row : ShelfTable) n += row.category == category ? 1 : 0;
  return n;
}

}  // namespace shelf_detail

static_assert(shelf_detail::RowsValid(),
              "shelf rows: categories in order, short ASCII titles, plain unique .xqb names");
static_assert(shelf_detail::RowsIn(ShelfCategory::kDictionary) == 4 &&
                  shelf_detail::RowsIn(ShelfCategory::kProfessional) == 3 &&
                  shelf_detail::RowsIn(ShelfCategory::kLearning) == 6 &&
                  shelf_detail::RowsIn(ShelfCategory::kLife) == 4,
              "the shelf panel has 4, 3, 6 and 4 items under its categories");
static_assert(shelf_detail::Same(ShelfTable[kFirstDefaultBookRow].file, "deflex_a.xqb") &&
                  ShelfTable[kFirstDefaultBookRow].category == ShelfCategory::kDictionary,
              "the first dictionary is the first default book");
static_assert(shelf_detail::Same(ShelfTable[kSecondDefaultBookRow].file, "deflex_b.xqb") &&
                  ShelfTable[kSecondDefaultBookRow].category == ShelfCategory::kProfessional &&
                  shelf_detail::RowsIn(ShelfCategory::kDictionary) + 2 ==
                      static_cast<int>(kSecondDefaultBookRow),
              "the third professional book is the second default book");

}  // namespace quill
