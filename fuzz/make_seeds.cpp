// Writes the seed corpus of the fuzz targets: small stored buffers and small
// books of every shape the reader knows. Run after changing the format:
//   build/native/fuzz/make_seeds fuzz/corpus
#include <cstdio>
#include <string>
#include <vector>

#include "book/book_builder.h"
#include "book/compressor.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Write(const std::string& path, const Bytes& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

Bytes Utf16(const std::string& ascii) {
  Bytes out;
  for (const char c : ascii) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(0);
  }
  return out;
}

Bytes Book(const std::vector<quill::BookEntry>& entries, quill::BookLayout layout) {
  Bytes image;
  std::string error;
  if (!quill::BuildBookImage(entries, layout, &image, &error)) {
    std::fprintf(stderr, "make_seeds: %s\n", error.c_str());
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds CORPUS_DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;

  // Decoder seeds: a capacity byte, then a stored buffer.
  const std::vector<Bytes> stored = {
      {0x01, 0x01, 0x61, 0x00, 0x62, 0x00, 0x80, 0x41},
      {0x01, 0x01, 0x02, 0x78, 0x79, 0x80, 0x24, 0x41, 0x00},
      {0x01, 0x01, 0x01, 0xE9, 0x00},
      {0x01, 0x00, 0x61, 0x00},
      {0x02, 0x01, 0x7A, 0x80, 0x1F},
      {0x00, 0x01, 0x41, 0x42},
      {0x01, 0x01, 0x41, 0x80, 0x20},
  };
  for (std::size_t i = 0; i < stored.size(); ++i) {
    ok &= Write(dir + "/decode/seed-" + std::to_string(i), stored[i]);
  }
  const Bytes text = Utf16("the book of books: a book, a look, a nook; the book again");
  Bytes compressed = quill::EncodeStored(text.data(), text.size());
  compressed.insert(compressed.begin(), 0x04);
  ok &= Write(dir + "/decode/seed-text", compressed);

  // Book seeds.
  std::vector<quill::BookEntry> entries = {
      {u"Alpha", u"[5'lf5]\nfirst letter"}, {u"apple", u"a fruit"}, {u"Apple", u"a company"},
      {u"beta", u"second|letter"},          {u"book", u"[bUk]\npages"}, {u"gamma", u""},
  };
  quill::SortEntries(entries);
  quill::BookLayout layout;
  layout.title = u"Seed";
  ok &= Write(dir + "/open_book/compressed", Book(entries, layout));
  layout.blockBytes = 24;
  ok &= Write(dir + "/open_book/many-blocks", Book(entries, layout));
  layout.compressBlocks = false;
  layout.compressIndexes = false;
  ok &= Write(dir + "/open_book/raw", Book(entries, layout));
  layout.lineSeparator = 0x7C;
  ok &= Write(dir + "/open_book/bar-separator", Book(entries, layout));
  ok &= Write(dir + "/open_book/empty", Book({}, quill::BookLayout{}));
  Bytes cut = Book(entries, quill::BookLayout{});
  cut.resize(cut.size() - 3);
  ok &= Write(dir + "/open_book/cut", cut);
  Bytes header(512, 0);
  header[0] = 'X';
  header[1] = 'Q';
  header[2] = 'B';
  ok &= Write(dir + "/open_book/header-only", header);
  return ok ? 0 : 1;
}
