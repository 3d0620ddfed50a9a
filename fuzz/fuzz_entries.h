// Entry points shared by the libFuzzer targets and the corpus replay test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::fuzz {

// Decodes the input as a stored buffer into destinations of several sizes.
int DecodeOne(const std::uint8_t* data, std::size_t size);

// Opens the input as a book file, reads every entry, and runs lookups and
// finds on it.
int OpenBookOne(const std::uint8_t* data, std::size_t size);

// Opens the input as a book, collects its keys, and offers words for
// misses close to them and for the input's last bytes; double-clicks every
// place of its first entry.
int OffersOne(const std::uint8_t* data, std::size_t size);

// Reads the input as a word list; checks that every content written back
// as dump writes it reads the same, and survives the compressor.
int ReadTsvOne(const std::uint8_t* data, std::size_t size);

// Reads the input as a dictd database: an .index text and its .dict text,
// plain or gzip-compressed.
int ReadDictdOne(const std::uint8_t* data, std::size_t size);

// Reads the input as a StarDict dictionary: its .ifo, .idx, .syn and .dict,
// the .idx and .dict plain, gzip or dictzip.
int ReadStarDictOne(const std::uint8_t* data, std::size_t size);

// Reads the input as a DSL dictionary's text.
int ReadDslOne(const std::uint8_t* data, std::size_t size);

// Turns the input into readable text as one of the markup kinds, and
// checks that the text is tidy.
int ConvertMarkupOne(const std::uint8_t* data, std::size_t size);

}  // namespace quill::fuzz
