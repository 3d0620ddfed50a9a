#include "panels/history_store.h"

namespace quill {

std::int32_t LoadCapacity(const HistoryKey& key) {
  DWORD value = 0;
  bool read = false;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(key.root, key.path, 0, KEY_READ, &handle) == ERROR_SUCCESS) {
    DWORD size = sizeof value;
    read = RegQueryValueExA(handle, "HistoryRecord", nullptr, nullptr,
                            reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS;
    RegCloseKey(handle);
  }
  if (!read) {
    StoreCapacity(kDefaultHistoryCapacity, key);
    return kDefaultHistoryCapacity;
  }
  return static_cast<std::int32_t>(value);
}

void StoreCapacity(std::int32_t count, const HistoryKey& key) {
  if (count < 10) count = 10;
  HKEY handle = nullptr;
  if (RegCreateKeyExA(key.root, key.path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const DWORD value = static_cast<DWORD>(count);
  RegSetValueExA(handle, "HistoryRecord", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                 sizeof value);
  RegCloseKey(handle);
}

}  // namespace quill
