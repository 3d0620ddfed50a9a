#include "win/registry_key.h"

#include <cwchar>

#include "win/wide_text.h"

namespace quill {

namespace {

// The longest text value the program reads, its terminator included.
constexpr std::size_t kLongestText = 1024;

}  // namespace

ScopedRegKey OpenRegistryKey(const RegistryKey& key) {
  ScopedRegKey handle;
  if (RegOpenKeyExW(key.root, Widen(key.path).c_str(), 0, KEY_READ, handle.put()) !=
      ERROR_SUCCESS) {
    handle.release();
  }
  return handle;
}

ScopedRegKey CreateRegistryKey(const RegistryKey& key) {
  ScopedRegKey handle;
  if (RegCreateKeyExW(key.root, Widen(key.path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, handle.put(), nullptr) != ERROR_SUCCESS) {
    handle.release();
  }
  return handle;
}

bool ReadValue(HKEY key, const char* name, void* data, DWORD* size, DWORD* type) {
  const std::wstring wideName = Widen(name);
  return RegQueryValueExW(key, name != nullptr ? wideName.c_str() : nullptr, nullptr, type,
                          static_cast<BYTE*>(data), size) == ERROR_SUCCESS;
}

bool ReadExactDword(HKEY key, const char* name, DWORD* value) {
  DWORD scratch = 0;
  DWORD got = sizeof scratch;
  if (!ReadValue(key, name, &scratch, &got) || got != sizeof scratch) return false;
  *value = scratch;
  return true;
}

bool ReadText(HKEY key, const char* name, wchar_t* text, std::size_t capacity) {
  constexpr std::size_t kMostUnits = 1024;
  wchar_t scratch[kMostUnits];
  const std::size_t units = capacity < kMostUnits ? capacity : kMostUnits;
  DWORD got = static_cast<DWORD>(units * sizeof(wchar_t));
  if (!ReadValue(key, name, scratch, &got)) return false;
  const std::size_t gotUnits = got / sizeof(wchar_t);
  if (std::wmemchr(scratch, 0, gotUnits) == nullptr) return false;
  std::wmemcpy(text, scratch, gotUnits);
  return true;
}

void WriteDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExW(key, Widen(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
}

void WriteText(HKEY key, const char* name, const wchar_t* text, DWORD units) {
  RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 units * static_cast<DWORD>(sizeof(wchar_t)));
}

}  // namespace quill
