// Files as xqb sees them: paths arrive as UTF-8 and are handed to the C
// library and to BookFile in the platform's own form.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "book/book_builder.h"

namespace quill {

// The path in the form OpenFile and BookFile take: UTF-8 on every system
// (on Windows they hand it to the wide file functions). Returns 0 when the
// path is not valid UTF-8.
int NativePath(const std::string& utf8, std::string* native);

// fopen and remove for a UTF-8 path.
std::FILE* OpenFile(const std::string& native, const char* mode);
int RemoveFile(const std::string& native);

bool FileExists(const std::string& native);

// The size of an open file, or 0 when the system does not tell it.
std::uint64_t OpenFileSize(std::FILE* file);

bool IsFolder(const std::string& native);

// What tells one file from every other, whatever path names it: its volume
// and its number there. Its size comes along.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  std::uint64_t size = 0;
  bool operator==(const FileIdentity& other) const {
    return volume == other.volume && index == other.index;
  }
};

// The identity of the file at native: true, or false when it cannot be
// opened.
bool IdentifyFile(const std::string& native, FileIdentity* identity);

// The names (UTF-8) of the files directly in a folder, in no given order;
// folders in it are left out. Returns 1, or 0 with the reason in *why.
int ListFolder(const std::string& native, std::vector<std::string>* names, std::string* why);

// A path to a file in a folder, with the system's separator unless the
// folder already ends in one.
std::string JoinPath(const std::string& folder, const std::string& name);

// Reads a whole file. Returns 1, or 0 with the reason in *why.
int ReadWholeFile(const std::string& native, std::vector<std::uint8_t>* bytes, std::string* why);

// Writes bytes to a scratch file beside path and then moves it into
// path's place, so that a failed write leaves neither half a file nor a
// damaged earlier one. Returns 1, or 0 with the reason in *why.
int WriteFileReplacing(const std::string& native, const std::vector<std::uint8_t>& bytes,
                       std::string* why);

// A book written to a file as it is made: under a scratch name beside the
// path, moved into the path's place by Commit. Destroyed uncommitted, it
// removes the scratch file, so that a failed or refused build leaves
// neither half a book nor a damaged earlier one.
class BookFileSink : public BookSink {
 public:
  explicit BookFileSink(const std::string& native);
  ~BookFileSink() override;
  BookFileSink(const BookFileSink&) = delete;
  BookFileSink& operator=(const BookFileSink&) = delete;

  // Creates the scratch file. 1, or 0 with the reason in Why().
  int Open();
  int Append(const std::uint8_t* bytes, std::size_t n) override;
  int WriteHeader(const std::uint8_t* bytes, std::size_t n) override;
  // Closes the file and moves it into place. 1, or 0 with the reason in
  // Why() (the scratch file is gone then too).
  int Commit();
  // Why the last step failed: the system's words.
  const std::string& Why() const { return why_; }

 private:
  int Fail();

  std::string native_;
  std::string scratch_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  std::string why_;
};

// Moves a file over another, replacing it: 1, or 0 with errno or the
// system's error set.
int MoveReplacing(const std::string& from, const std::string& to, std::string* why);

}  // namespace quill
