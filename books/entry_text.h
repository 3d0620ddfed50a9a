// Text handling shared by the converters that turn open dictionary data
// into shelf books: repairing stray bytes, the phonetic first line, and
// writing entries as a word list for `xqb build`.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "book/book_builder.h"

namespace quill::books {

// The reader takes a content's first line as a transcription when one of
// its first units, index 0 to this, is "[".
inline constexpr std::size_t kLastPhoneticBracketIndex = 5;

// UTF-8 as it stands, with each byte that does not belong to a well-formed
// sequence read as Windows-1252 instead (the usual stray byte in these
// texts: a curly apostrophe or an accented letter), and NUL bytes dropped.
std::string RepairUtf8(std::string_view bytes);

// The same, straight to UTF-16.
std::u16string RepairedUtf16(std::string_view bytes);

// True when the reader would take the content's first line as a
// transcription.
bool ReadsAsPhonetic(const std::u16string& content);

// Makes a content that has no transcription read as plain text: a "["
// among its first units is moved past them with leading spaces. Returns 1
// when the content was changed.
int KeepFirstLinePlain(std::u16string* content);

// "[" transcription "]", the separator (U+000A, which xqb turns into the
// book's own), then the content.
std::u16string WithPhoneticLine(const std::string& transcription, const std::u16string& content);

// Entries in the order their keys first came, where a key that comes again
// adds lines to the entry it already has.
class EntryMerger {
 public:
  // Adds text as lines of key's entry; a new entry starts with firstLine
  // (when not empty) before it.
  void Add(const std::u16string& key, const std::u16string& firstLine, const std::u16string& text);
  std::vector<BookEntry> Take();

 private:
  std::vector<BookEntry> entries_;
  std::map<std::u16string, std::size_t> where_;
};

struct TsvReport {
  std::size_t entries = 0;
  std::size_t phonetic = 0;   // entries whose first line is a transcription
  std::size_t keptPlain = 0;  // contents moved so as not to read as one
  std::size_t dropped = 0;    // entries whose key is empty
};

// Writes entries as xqb's word list (key, tab, escaped content). Contents
// that do not start with one of the transcriptions made here are kept
// plain; keys get tabs and line breaks as spaces. Returns 1, or 0 when a
// text cannot be written (a lone surrogate).
int WriteTsv(const std::vector<BookEntry>& entries, const std::vector<bool>& phonetic,
             std::string* out, TsvReport* report);

}  // namespace quill::books
