#include "support/test_books.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "book/book_format.h"

namespace quill::testing {

namespace fs = std::filesystem;

namespace {

// Whether path is root or lies inside it.
bool IsWithin(const fs::path& path, const fs::path& root) {
  std::error_code failed;
  for (fs::path at = path; !at.empty(); at = at.parent_path()) {
    if (fs::equivalent(at, root, failed)) return true;
    if (at == at.parent_path()) break;
  }
  return false;
}

// The scratch folder of the process. It goes when the process ends, after
// every test has closed its windows and books.
struct ScratchFolder {
  fs::path path;
  ScratchFolder() {
    std::random_device random;
    path = fs::temp_directory_path() /
           ("quill-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path);
  }
  ~ScratchFolder() { RemoveTree(path.string()); }
};

}  // namespace

void RemoveTree(const std::string& folder) {
  const fs::path root(folder);
  std::error_code failed;
  // The open-file dialog makes the chosen file's folder the current
  // directory, and Windows removes no folder that is a current directory.
  const fs::path current = fs::current_path(failed);
  if (!failed && IsWithin(current, root)) fs::current_path(root.parent_path(), failed);
  // Deepest first, each entry on its own: one that cannot go (a file some
  // other process still holds) keeps only itself and its folders.
  std::vector<fs::path> entries;
  for (auto it = fs::recursive_directory_iterator(root, failed);
       !failed && it != fs::recursive_directory_iterator(); it.increment(failed)) {
    entries.push_back(it->path());
  }
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) fs::remove(*entry, failed);
  fs::remove(root, failed);
}

std::string ScratchDir() {
  static ScratchFolder folder;
  return folder.path.string();
}

std::string WriteScratchFile(const std::vector<std::uint8_t>& bytes, const std::string& name) {
  static std::atomic<int> serial{0};
  const fs::path path = fs::path(ScratchDir()) / (std::to_string(serial++) + "-" + name);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

std::u16string U16(const std::string& ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

std::vector<BookEntry> Entries(std::initializer_list<const char*> pairs) {
  std::vector<BookEntry> out;
  for (const std::string pair : pairs) {
    const std::size_t eq = pair.find('=');
    if (eq == std::string::npos) {
      out.push_back({U16(pair), u""});
    } else {
      out.push_back({U16(pair.substr(0, eq)), U16(pair.substr(eq + 1))});
    }
  }
  return out;
}

std::vector<std::uint8_t> BuildImage(const std::vector<BookEntry>& entries,
                                     const BookLayout& layout) {
  std::vector<std::uint8_t> image;
  std::string error;
  EXPECT_EQ(BuildBookImage(entries, layout, &image, &error), 1) << error;
  return image;
}

std::string WriteBook(const std::vector<BookEntry>& entries, const BookLayout& layout,
                      const std::string& name) {
  return WriteScratchFile(BuildImage(entries, layout), name);
}

std::vector<std::uint8_t> ImageWithDamagedFirstBlock(const std::vector<BookEntry>& entries) {
  BookLayout layout;
  layout.blockBytes = 256;
  layout.compressIndexes = false;
  layout.compressBlocks = false;
  std::vector<std::uint8_t> image = BuildImage(entries, layout);
  const auto blockAt = Peek<std::uint32_t>(image, offsetof(BookHeader, blockIndexOffset)) + 1;
  const auto firstBlock = Peek<std::uint32_t>(image, blockAt);
  image[firstBlock] = 1;
  image[firstBlock + 1] = 0x80;
  image[firstBlock + 2] = 0x13;
  return image;
}

}  // namespace quill::testing
