#include "import/dictd_reader.h"

#include <zlib.h>

#include <cstring>

#include "book/utf.h"

namespace quill::import {

namespace {

// Offsets and lengths above this cannot point into any file xqb reads.
constexpr std::uint64_t kMaxNumber = std::uint64_t{1} << 40;

int Base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

int ParseNumber(const char* text, std::size_t n, std::uint64_t* value) {
  if (n == 0) return 0;
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int digit = Base64Digit(text[i]);
    if (digit < 0) return 0;
    v = v * 64 + static_cast<std::uint64_t>(digit);
    if (v > kMaxNumber) return 0;
  }
  *value = v;
  return 1;
}

std::string LineProblem(std::size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

bool IsDatabaseRecord(const std::string& headword) {
  return headword.rfind("00-database-", 0) == 0 || headword.rfind("00database", 0) == 0;
}

bool IsShortName(const std::string& headword) {
  return headword == "00-database-short" || headword == "00databaseshort";
}

// The short name's article is its headword on the first line, then the
// name, maybe indented or spread over lines: one line of words is kept.
std::u16string ShortName(const std::u16string& article) {
  std::u16string text = article;
  const std::size_t firstBreak = text.find(u'\n');
  if (text.rfind(u"00", 0) == 0 && firstBreak != std::u16string::npos) {
    text.erase(0, firstBreak + 1);
  }
  std::u16string name;
  bool space = false;
  for (const char16_t u : text) {
    if (u == u' ' || u == u'\t' || u == u'\n' || u == u'\r') {
      space = !name.empty();
      continue;
    }
    if (space) name.push_back(u' ');
    space = false;
    name.push_back(u);
  }
  return name;
}

}  // namespace

int ReadDictdIndex(const std::uint8_t* bytes, std::size_t n, std::vector<DictdRecord>* records,
                   std::string* problem) {
  const char* text = reinterpret_cast<const char*>(bytes);
  std::size_t p = 0;
  std::size_t line = 0;
  while (p < n) {
    ++line;
    const auto [start, end] = NextLine(text, n, &p);
    if (end == start) continue;

    std::size_t fieldStart[4] = {};
    std::size_t fieldEnd[4] = {};
    std::size_t fields = 0;
    std::size_t f = start;
    for (;;) {
      const void* tab = std::memchr(text + f, '\t', end - f);
      const std::size_t fEnd =
          tab != nullptr ? static_cast<std::size_t>(static_cast<const char*>(tab) - text) : end;
      if (fields == 4) {
        *problem = LineProblem(line, "more than four tab-separated fields");
        return 0;
      }
      fieldStart[fields] = f;
      fieldEnd[fields] = fEnd;
      ++fields;
      if (tab == nullptr) break;
      f = fEnd + 1;
    }
    if (fields < 3) {
      *problem = LineProblem(line, "not headword, offset and length separated by tabs");
      return 0;
    }
    DictdRecord record{};
    record.line = line;
    if (!ParseNumber(text + fieldStart[1], fieldEnd[1] - fieldStart[1], &record.offset) ||
        !ParseNumber(text + fieldStart[2], fieldEnd[2] - fieldStart[2], &record.length)) {
      *problem = LineProblem(line, "offset or length is not a dictd number");
      return 0;
    }
    const std::size_t word = fields == 4 && fieldEnd[3] > fieldStart[3] ? 3 : 0;
    record.headword.assign(text + fieldStart[word], fieldEnd[word] - fieldStart[word]);
    records->push_back(std::move(record));
  }
  return 1;
}

std::uint64_t DictdTextNeeded(const std::vector<DictdRecord>& records) {
  std::uint64_t needed = 0;
  for (const DictdRecord& r : records) {
    if (r.offset + r.length > needed) needed = r.offset + r.length;
  }
  return needed;
}

int ReadDictdArticles(const std::vector<DictdRecord>& records, const std::uint8_t* dict,
                      std::size_t n, std::vector<BookEntry>* entries,
                      std::vector<std::size_t>* lines, std::u16string* title,
                      std::string* problem) {
  for (const DictdRecord& r : records) {
    BookEntry entry;
    if (!Utf8ToUtf16(r.headword, &entry.key)) {
      *problem = LineProblem(r.line, "the headword is not valid UTF-8");
      return 0;
    }
    if (r.headword.find('\0') != std::string::npos) {
      *problem = LineProblem(r.line, "the headword holds a NUL character");
      return 0;
    }
    const std::string shown = "headword \"" + r.headword + "\"";
    if (r.offset > n || r.length > n - r.offset) {
      *problem = LineProblem(r.line, shown + ": the article lies beyond the end of the " +
                                         std::to_string(n) + " bytes of dictionary text");
      return 0;
    }
    // An empty article has no bytes to look at: the text itself may be
    // empty, and then there is no buffer at all.
    std::size_t length = static_cast<std::size_t>(r.length);
    const char* article = length != 0 ? reinterpret_cast<const char*>(dict + r.offset) : "";
    while (length > 0 && (article[length - 1] == '\n' || article[length - 1] == '\r')) --length;
    if (length != 0 && std::memchr(article, 0, length) != nullptr) {
      *problem = LineProblem(r.line, shown + ": the article holds a NUL character");
      return 0;
    }
    std::size_t bad = 0;
    std::u16string content;
    if (length != 0 && !AppendUtf16(article, length, &content, &bad)) {
      *problem = LineProblem(r.line, shown + ": the article is not valid UTF-8 (byte " +
                                         std::to_string(r.offset + bad) + " of the text)");
      return 0;
    }
    // Articles written with CR LF line ends get plain line breaks.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
      if (content[i] == u'\r' && i + 1 < content.size() && content[i + 1] == u'\n') continue;
      content[kept++] = content[i];
    }
    content.resize(kept);
    if (IsDatabaseRecord(r.headword)) {
      if (IsShortName(r.headword)) *title = ShortName(content);
      continue;
    }
    entry.content = std::move(content);
    entries->push_back(std::move(entry));
    lines->push_back(r.line);
  }
  return 1;
}

}  // namespace quill::import
