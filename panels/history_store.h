// Where the history's capacity is kept: HistoryRecord in the registry.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win/registry_key.h"

namespace quill {

using HistoryKey = RegistryKey;
inline const HistoryKey kHistorySettings = {HKEY_LOCAL_MACHINE, "Software\\Orvelle\\Quill"};
inline constexpr std::int32_t kDefaultHistoryCapacity = 100;
// The least capacity StoreCapacity stores.
inline constexpr std::int32_t kMinStoredHistoryCapacity = 10;

// The stored capacity as read (a value shorter than 4 bytes zero-extended,
// no bounds applied); when it cannot be read, 100, which is stored back.
std::int32_t LoadCapacity(const HistoryKey& key = kHistorySettings);

// Stores count, raised to kMinStoredHistoryCapacity when below, as
// HistoryRecord.
void StoreCapacity(std::int32_t count, const HistoryKey& key = kHistorySettings);

}  // namespace quill
