// Books made by code for tests: built in memory, written to a scratch
// folder, and patched byte by byte for the damaged ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "book/book_builder.h"

namespace quill::testing {

// A folder of its own for this test process, removed at exit.
std::string ScratchDir();

// Removes folder with everything in it, as far as it can; a current
// directory inside it moves to the folder's parent first.
void RemoveTree(const std::string& folder);

// Writes bytes to a fresh file in ScratchDir and returns its path.
std::string WriteScratchFile(const std::vector<std::uint8_t>& bytes,
                             const std::string& name = "book.xqb");

// Entries from "key=content" texts (ASCII), in the order given.
std::vector<BookEntry> Entries(std::initializer_list<const char*> pairs);
std::u16string U16(const std::string& ascii);

// Builds a book image; fails the test when the builder refuses.
std::vector<std::uint8_t> BuildImage(const std::vector<BookEntry>& entries,
                                     const BookLayout& layout = BookLayout{});

// Builds and writes a book; returns its path.
std::string WriteBook(const std::vector<BookEntry>& entries,
                      const BookLayout& layout = BookLayout{},
                      const std::string& name = "book.xqb");

// Builds a book of small raw blocks and breaks block 0: it becomes a stream
// that starts with a back-reference, so every read through it fails.
std::vector<std::uint8_t> ImageWithDamagedFirstBlock(const std::vector<BookEntry>& entries);

template <typename T>
void Poke(std::vector<std::uint8_t>& image, std::size_t offset, T value) {
  image.resize(std::max(image.size(), offset + sizeof(T)));
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    image[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
  }
}

template <typename T>
T Peek(const std::vector<std::uint8_t>& image, std::size_t offset) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    v |= static_cast<std::uint64_t>(image[offset + i]) << (8 * i);
  }
  return static_cast<T>(v);
}

}  // namespace quill::testing
