#include "shell/registry_key.h"

namespace quill {

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

void WriteDword(HKEY key, const char* name, DWORD value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace quill
