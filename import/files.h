// Files as xqb sees them: paths arrive as UTF-8 and are handed to the C
// library and to BookFile in the platform's own form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quill::xqb {

// The path in the form fopen and BookFile take: the UTF-8 itself on POSIX,
// the ANSI code page on Windows. Returns 0 when the path cannot be said so.
int NativePath(const std::string& utf8, std::string* native);

bool FileExists(const std::string& native);

// Reads a whole file. Returns 1, or 0 with the reason in *why.
int ReadWholeFile(const std::string& native, std::vector<std::uint8_t>* bytes, std::string* why);

// Writes bytes to a scratch file beside path and then moves it into
// path's place, so that a failed write leaves neither half a file nor a
// damaged earlier one. Returns 1, or 0 with the reason in *why.
int WriteFileReplacing(const std::string& native, const std::vector<std::uint8_t>& bytes,
                       std::string* why);

// Moves a file over another, replacing it: 1, or 0 with errno or the
// system's error set.
int MoveReplacing(const std::string& from, const std::string& to, std::string* why);

}  // namespace quill::xqb
