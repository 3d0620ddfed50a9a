// The registry keys the program keeps its values under (the settings, the
// history's capacity), and the one way they are opened.
#pragma once

#include <windows.h>

#include "shell/scoped_win.h"

namespace quill {

// Where a group of values lives. The program uses fixed keys; tests point a
// window at keys of their own.
struct RegistryKey {
  HKEY root;
  const char* path;
};

// Opens key for reading: the open key, or an empty owner when it is missing.
ScopedRegKey OpenRegistryKey(const RegistryKey& key);

// Opens key with full access, creating it non-volatile when missing, as the
// program does also for reading its settings: the open key or an empty owner.
ScopedRegKey CreateRegistryKey(const RegistryKey& key);

// Stores value as the REG_DWORD name under key.
void WriteDword(HKEY key, const char* name, DWORD value);

}  // namespace quill
