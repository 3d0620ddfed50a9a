// Writes a book out in the forms that other tools read, for bench/compare.sh:
// its text as UTF-16LE (what the book's blocks decode to: each entry's key
// and content, in entry order), the same text as UTF-8 lines, and the book as
// a StarDict dictionary (.ifo, .idx, .dict) for sdcv.
//
//   bench_data BOOK OUTDIR NAME
//
// makes OUTDIR/NAME.utf16, OUTDIR/NAME.utf8 and OUTDIR/dic/NAME/NAME.{ifo,idx,dict}.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "book/book_file.h"
#include "book/utf.h"

namespace {

struct Article {
  std::string word;   // UTF-8
  std::uint32_t offset;
  std::uint32_t size;
};

int Die(const std::string& message) {
  std::fprintf(stderr, "bench_data: %s\n", message.c_str());
  return 1;
}

bool WriteFile(const std::string& path, const void* bytes, std::size_t n) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes, 1, n, file) == n;
  return std::fclose(file) == 0 && ok;
}

void PutBigEndian(std::string* out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>((v >> shift) & 0xFF));
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

// StarDict's order of index words: case-blind for ASCII letters, then
// byte by byte.
bool StarDictLess(const Article& a, const Article& b) {
  const std::size_t n = std::min(a.word.size(), b.word.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(AsciiLower(a.word[i]));
    const auto y = static_cast<unsigned char>(AsciiLower(b.word[i]));
    if (x != y) return x < y;
  }
  if (a.word.size() != b.word.size()) return a.word.size() < b.word.size();
  return a.word < b.word;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Die("usage: bench_data BOOK OUTDIR NAME");
  const std::string out = argv[2];
  const std::string name = argv[3];
  quill::BookFile book;
  if (book.Open(argv[1]) != 1) return Die(std::string("cannot open ") + argv[1]);
  const int count = book.EntryCount();
  const auto separator = static_cast<char16_t>(book.Header().lineSeparator & 0x7F);
  std::vector<char16_t> key(static_cast<std::size_t>(book.Header().textBufferUnits));
  std::vector<char16_t> content(key.size());

  std::string utf16;
  std::string utf8;
  std::string dict;
  std::vector<Article> articles;
  articles.reserve(static_cast<std::size_t>(count));
  for (int n = 0; n < count; ++n) {
    book.SetCurrentEntry(n);
    if (!book.ReadKey(key.data(), key.size()) || !book.ReadContent(content.data(), content.size())) {
      return Die("entry " + std::to_string(n) + " cannot be read");
    }
    std::u16string k(key.data());
    std::u16string c(content.data());
    for (const std::u16string* text : {&k, &c}) {
      for (const char16_t u : *text) {
        utf16.push_back(static_cast<char>(u & 0xFF));
        utf16.push_back(static_cast<char>(u >> 8));
      }
    }
    if (separator != 0) std::replace(c.begin(), c.end(), separator, u'\n');
    Article article{quill::ToUtf8(k), static_cast<std::uint32_t>(dict.size()), 0};
    dict += quill::ToUtf8(c);
    article.size = static_cast<std::uint32_t>(dict.size() - article.offset);
    utf8 += article.word + "\n" + dict.substr(article.offset) + "\n";
    articles.push_back(std::move(article));
  }
  book.Close();

  std::stable_sort(articles.begin(), articles.end(), StarDictLess);
  std::string idx;
  for (const Article& a : articles) {
    idx += a.word;
    idx.push_back('\0');
    PutBigEndian(&idx, a.offset);
    PutBigEndian(&idx, a.size);
  }
  const std::string ifo = "StarDict's dict ifo file\nversion=2.4.2\nwordcount=" +
                          std::to_string(articles.size()) + "\nidxfilesize=" +
                          std::to_string(idx.size()) + "\nbookname=" + name +
                          "\nsametypesequence=m\n";
  const std::string dir = out + "/dic/" + name + "/" + name;
  if (!WriteFile(out + "/" + name + ".utf16", utf16.data(), utf16.size()) ||
      !WriteFile(out + "/" + name + ".utf8", utf8.data(), utf8.size()) ||
      !WriteFile(dir + ".ifo", ifo.data(), ifo.size()) ||
      !WriteFile(dir + ".idx", idx.data(), idx.size()) ||
      !WriteFile(dir + ".dict", dict.data(), dict.size())) {
    return Die("cannot write into " + out + " (does " + out + "/dic/" + name + " exist?)");
  }
  std::printf("%d entries, %zu bytes of UTF-16 text\n", count, utf16.size());
  return 0;
}
