#include "panels/history_store.h"

namespace quill {

namespace {

constexpr char kCapacityValue[] = "HistoryRecord";

}  // namespace

std::int32_t LoadCapacity(const HistoryKey& key) {
  DWORD value = 0;
  bool read = false;
  if (const ScopedRegKey handle = OpenRegistryKey(key)) {
    DWORD size = sizeof value;
    read = ReadValue(handle, kCapacityValue, &value, &size);
  }
  if (!read) {
    StoreCapacity(kDefaultHistoryCapacity, key);
    return kDefaultHistoryCapacity;
  }
  return static_cast<std::int32_t>(value);
}

void StoreCapacity(std::int32_t count, const HistoryKey& key) {
  if (count < kMinStoredHistoryCapacity) count = kMinStoredHistoryCapacity;
  if (const ScopedRegKey handle = CreateRegistryKey(key)) {
    WriteDword(handle, kCapacityValue, static_cast<DWORD>(count));
  }
}

}  // namespace quill
