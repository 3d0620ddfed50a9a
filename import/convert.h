// Turning a dictionary source (a word list, a dictd .index, a StarDict .ifo,
// a DSL .dsl or .dsl.dz) into a book file: what `xqb build` does and what
// the program does when a user opens a dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>


namespace quill::import {

struct ConvertRequest {
  std::string input;   // UTF-8 path of the source
  std::string output;  // UTF-8 path of the book to write
  // The book's title; the source's own name, else its file stem, when empty.
  std::u16string title;
  bool haveTitle = false;
  std::int32_t lineSeparator = 0x0A;
  // Continue a content too long for one entry in entries of the same key.
  bool split = true;
  // Cut what is still too long for a book (a key, a title; a content when
  // not split) instead of refusing the source.
  bool cut = false;
  // How far reading the source has come, now and then, in the source's own
  // units (see ReadProgress); the reading comes before the book is made.
  std::function<void(std::uint64_t done, std::uint64_t total)> reading;
  // Entries laid out so far and in all, now and then while the book is made.
  std::function<void(std::size_t done, std::size_t total)> progress;
  // Asked between the steps and while the book is made: true stops the
  // conversion, which then writes nothing.
  std::function<bool()> cancelled;
};

// A key as messages show it: UTF-8 on one line, control characters
// escaped, long keys shortened visibly.
std::string ShownKey(const std::u16string& key);

// How a conversion ended.
enum class ConvertStatus {
  kDone,       // the book is in place
  kFailed,     // reason says why; nothing was written
  kCancelled,  // request.cancelled stopped it; nothing was written
};

struct ConvertResult {
  ConvertStatus status = ConvertStatus::kFailed;
  // kFailed: one line naming the file and the entry, line or offset.
  std::string reason;
  // kFailed: the reason is a text too long for a book, which
  // ConvertRequest::cut would have cut.
  bool cuttable = false;
  // What the user is told beside the book, in order: a title cut to fit,
  // each text cut, parts of the source left out, contents split.
  std::vector<std::string> notes;
};

// Reads the source and writes the book, through a scratch file beside the
// output, so that a failed or cancelled conversion leaves no book behind.
ConvertResult ConvertToBook(const ConvertRequest& request);

}  // namespace quill::import
