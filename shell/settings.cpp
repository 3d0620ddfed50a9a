#include "shell/settings.h"

#include <cstring>

namespace quill {

namespace {

// Opens (creating it when missing) the settings key with full access, as
// the program always does, also for reading.
HKEY OpenKey(const SettingsKey& key) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(key.root, key.path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return nullptr;
  }
  return handle;
}

// A rectangle edge is read only when the value is exactly 4 bytes long;
// anything else leaves the edge as it was.
bool ReadLong(HKEY key, const char* name, LONG* value) {
  LONG scratch = 0;
  DWORD got = sizeof scratch;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&scratch), &got) !=
          ERROR_SUCCESS ||
      got != sizeof scratch) {
    return false;
  }
  *value = scratch;
  return true;
}

// A path is read only when it fits and ends within the buffer.
bool ReadPath(HKEY key, const char* name, char* path) {
  char scratch[kSettingsPathBytes];
  DWORD got = sizeof scratch;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(scratch), &got) !=
      ERROR_SUCCESS) {
    return false;
  }
  if (std::memchr(scratch, 0, got) == nullptr) return false;
  std::memcpy(path, scratch, got);
  return true;
}

void WriteLong(HKEY key, const char* name, LONG value) {
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

int LoadStartSettings(const SettingsKey& key, RECT* rect, char* bookPath) {
  HKEY handle = OpenKey(key);
  if (handle == nullptr) return 0;
  int read = 0;
  if (ReadLong(handle, "Pos_X", &rect->left)) read |= 1;
  if (ReadLong(handle, "Pos_Y", &rect->top)) read |= 2;
  if (ReadLong(handle, "Pos_Right", &rect->right)) read |= 4;
  if (ReadLong(handle, "Pos_Bottom", &rect->bottom)) read |= 8;
  if (ReadPath(handle, "XQB_PATH", bookPath)) read |= 16;
  RegCloseKey(handle);
  return read;
}

RECT LoadCurrentRect(const SettingsKey& key) {
  RECT rect = {0, 0, 0, 0};
  HKEY handle = OpenKey(key);
  if (handle != nullptr) {
    ReadLong(handle, "Now_LEFT", &rect.left);
    ReadLong(handle, "Now_TOP", &rect.top);
    ReadLong(handle, "Now_BOTTOM", &rect.bottom);
    ReadLong(handle, "Now_RIGHT", &rect.right);
    RegCloseKey(handle);
  }
  if (rect.bottom == 0) rect.bottom = 400;
  if (rect.right == 0) rect.right = 600;
  return rect;
}

void LoadInstallFolder(const SettingsKey& key, char* folder) {
  HKEY handle = OpenKey(key);
  if (handle == nullptr) return;
  ReadPath(handle, "InstallPath", folder);
  RegCloseKey(handle);
}

void SaveCurrentRect(const SettingsKey& key, const RECT& rect) {
  HKEY handle = OpenKey(key);
  if (handle == nullptr) return;
  WriteLong(handle, "Now_LEFT", rect.left);
  WriteLong(handle, "Now_TOP", rect.top);
  WriteLong(handle, "Now_BOTTOM", rect.bottom);
  WriteLong(handle, "Now_RIGHT", rect.right);
  RegCloseKey(handle);
}

void SaveExitSettings(const SettingsKey& key, const RECT& rect, const char* bookPath) {
  HKEY handle = OpenKey(key);
  if (handle == nullptr) return;
  WriteLong(handle, "Pos_X", rect.left);
  WriteLong(handle, "Pos_Y", rect.top);
  WriteLong(handle, "Pos_Right", rect.right);
  WriteLong(handle, "Pos_Bottom", rect.bottom);
  RegSetValueExA(handle, "XQB_PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(bookPath),
                 static_cast<DWORD>(kSettingsPathBytes));
  RegCloseKey(handle);
}

}  // namespace quill
