#include "import/tsv_reader.h"

#include <cstring>

#include "book/utf.h"

namespace quill::import {

namespace {

std::string LineProblem(std::size_t line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

std::string BadUtf8(std::size_t line, std::size_t column) {
  return LineProblem(line, "text is not valid UTF-8 (byte " + std::to_string(column) +
                               " of the line)");
}

// Decodes the content text[begin, end) of a line that starts at lineStart,
// resolving escapes.
int ReadContent(const char* text, std::size_t lineStart, std::size_t begin, std::size_t end,
                std::size_t line, std::u16string* out, std::string* problem) {
  std::size_t p = begin;
  while (p < end) {
    const void* found = std::memchr(text + p, '\\', end - p);
    const std::size_t slash = found != nullptr ? static_cast<std::size_t>(
                                                     static_cast<const char*>(found) - text)
                                               : end;
    std::size_t bad = 0;
    if (!AppendUtf16(text + p, slash - p, out, &bad)) {
      *problem = BadUtf8(line, p + bad - lineStart + 1);
      return 0;
    }
    if (slash == end) break;
    if (slash + 1 == end) {
      *problem = LineProblem(line, "the content ends with a lone backslash (write \\\\ for one)");
      return 0;
    }
    switch (text[slash + 1]) {
      case 'n':
        out->push_back(u'\n');
        break;
      case 't':
        out->push_back(u'\t');
        break;
      case 'r':
        out->push_back(u'\r');
        break;
      case '\\':
        out->push_back(u'\\');
        break;
      default: {
        const auto c = static_cast<unsigned char>(text[slash + 1]);
        const std::string shown = (c >= 0x20 && c < 0x7F) ? std::string(1, static_cast<char>(c)) : "?";
        *problem = LineProblem(line, "unknown escape \"\\" + shown +
                                         "\" in the content (known: \\n \\t \\r \\\\)");
        return 0;
      }
    }
    p = slash + 2;
  }
  return 1;
}

}  // namespace

int ReadTsv(const std::uint8_t* bytes, std::size_t n, std::vector<BookEntry>* entries,
            std::vector<std::size_t>* lines, std::string* problem) {
  const char* text = reinterpret_cast<const char*>(bytes);
  std::size_t p = 0;
  if (n >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0) p = 3;
  std::size_t line = 0;
  while (p < n) {
    ++line;
    const auto [lineStart, end] = NextLine(text, n, &p);
    if (end == lineStart) continue;

    if (std::memchr(text + lineStart, 0, end - lineStart) != nullptr) {
      *problem = LineProblem(line, "the line holds a NUL character");
      return 0;
    }
    const void* tab = std::memchr(text + lineStart, '\t', end - lineStart);
    if (tab == nullptr) {
      *problem = LineProblem(line, "no tab between key and content");
      return 0;
    }
    const std::size_t keyEnd = static_cast<std::size_t>(static_cast<const char*>(tab) - text);
    BookEntry entry;
    std::size_t bad = 0;
    if (!AppendUtf16(text + lineStart, keyEnd - lineStart, &entry.key, &bad)) {
      *problem = BadUtf8(line, bad + 1);
      return 0;
    }
    if (!ReadContent(text, lineStart, keyEnd + 1, end, line, &entry.content, problem)) return 0;
    entries->push_back(std::move(entry));
    lines->push_back(line);
  }
  return 1;
}

int AppendEscapedContent(const char16_t* text, std::size_t units, std::string* out) {
  int whole = 1;
  std::size_t run = 0;  // start of the stretch not yet written
  for (std::size_t i = 0; i < units; ++i) {
    const char* escape = nullptr;
    switch (text[i]) {
      case u'\n':
        escape = "\\n";
        break;
      case u'\t':
        escape = "\\t";
        break;
      case u'\r':
        escape = "\\r";
        break;
      case u'\\':
        escape = "\\\\";
        break;
      case 0:
        whole = 0;
        break;
      default:
        break;
    }
    if (escape == nullptr) continue;
    if (AppendUtf8(text + run, i - run, out) != 0) whole = 0;
    out->append(escape);
    run = i + 1;
  }
  if (AppendUtf8(text + run, units - run, out) != 0) whole = 0;
  return whole;
}

}  // namespace quill::import
