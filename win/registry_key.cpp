#include "win/registry_key.h"

#include <cstring>

namespace quill {

namespace {

// The longest text value the program reads, its terminator included.
constexpr std::size_t kLongestText = 1024;

}  // namespace

ScopedRegKey OpenRegistryKey(const RegistryKey& key) {
  ScopedRegKey handle;
  if (RegOpenKeyExA(key.root, key.path, 0, KEY_READ, handle.put()) != ERROR_SUCCESS) {
    handle.release();
  }
  return handle;
}

ScopedRegKey CreateRegistryKey(const RegistryKey& key) {
  ScopedRegKey handle;
  if (RegCreateKeyExA(key.root, key.path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, handle.put(), nullptr) != ERROR_SUCCESS) {
    handle.release();
  }
  return handle;
}

bool ReadValue(HKEY key, const char* name, void* data, DWORD* size, DWORD* type) {
  return RegQueryValueExA(key, name, nullptr, type, static_cast<BYTE*>(data), size) ==
         ERROR_SUCCESS;
}

bool ReadExactDword(HKEY key, const char* name, DWORD* value) {
  DWORD scratch = 0;
  DWORD got = sizeof scratch;
  if (!ReadValue(key, name, &scratch, &got) || got != sizeof scratch) return false;
  *value = scratch;
  return true;
}

bool ReadText(HKEY key, const char* name, char* text, std::size_t capacity) {
  char scratch[kLongestText];
  DWORD got = static_cast<DWORD>(capacity < sizeof scratch ? capacity : sizeof scratch);
  if (!ReadValue(key, name, scratch, &got)) return false;
  if (std::memchr(scratch, 0, got) == nullptr) return false;
  std::memcpy(text, scratch, got);
  return true;
}

void WriteDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void WriteText(HKEY key, const char* name, const char* text, DWORD size) {
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), size);
}

}  // namespace quill
