// Registry keys and their values: the one way the program opens a key and
// reads or writes a value, so that every read checks size and type alike.
#pragma once

#include <windows.h>

#include <cstddef>

#include "win/scoped_win.h"

namespace quill {

// Where a group of values lives. The program uses fixed keys; tests point a
// window at keys of their own. Key and value names are ASCII; values are
// read and written with the wide functions.
struct RegistryKey {
  HKEY root;
  const char* path;
};

// Opens key for reading: the open key, or an empty owner when it is missing.
ScopedRegKey OpenRegistryKey(const RegistryKey& key);

// Opens key with full access, creating it non-volatile when missing, as the
// program does also for reading its settings: the open key or an empty owner.
ScopedRegKey CreateRegistryKey(const RegistryKey& key);

// Reads value name (null: the key's default value) into data, which has room
// for *size bytes; on success *size is the number of bytes read and *type,
// when given, the value's type. False when the value is missing or larger.
[[nodiscard]] bool ReadValue(HKEY key, const char* name, void* data, DWORD* size,
                             DWORD* type = nullptr);

// Reads a value of exactly four bytes, whatever its declared type (the
// program's own numbers are REG_DWORD; older builds wrote some as binary).
[[nodiscard]] bool ReadExactDword(HKEY key, const char* name, DWORD* value);

// Reads a text that fits text (capacity units) with its terminator, as
// UTF-16 whichever way it was written; a longer one, or one stored without
// a terminator within it, is refused and text is left as it was.
[[nodiscard]] bool ReadText(HKEY key, const char* name, wchar_t* text, std::size_t capacity);

// Stores value as the REG_DWORD name under key.
void WriteDword(HKEY key, const char* name, DWORD value);

// Stores units units of text (its terminator included) as the REG_SZ name.
void WriteText(HKEY key, const char* name, const wchar_t* text, DWORD units);

}  // namespace quill
