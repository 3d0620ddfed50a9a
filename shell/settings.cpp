#include "shell/settings.h"

namespace quill {

namespace {

// The four edges of a stored rectangle, in RECT's order.
struct RectNames {
  const char* left;
  const char* top;
  const char* right;
  const char* bottom;
};
constexpr RectNames kExitRectNames = {"Pos_X", "Pos_Y", "Pos_Right", "Pos_Bottom"};
constexpr RectNames kCurrentRectNames = {"Now_LEFT", "Now_TOP", "Now_RIGHT", "Now_BOTTOM"};

// A rectangle edge is read only when the value is exactly 4 bytes long;
// anything else leaves the edge as it was.
bool ReadLong(HKEY key, const char* name, LONG* value) {
  DWORD read = 0;
  if (!ReadExactDword(key, name, &read)) return false;
  *value = static_cast<LONG>(read);
  return true;
}

// Reads the edges that are stored.
StartSettings ReadRect(HKEY key, const RectNames& names, RECT* rect) {
  StartSettings read;
  read.left = ReadLong(key, names.left, &rect->left);
  read.top = ReadLong(key, names.top, &rect->top);
  read.right = ReadLong(key, names.right, &rect->right);
  read.bottom = ReadLong(key, names.bottom, &rect->bottom);
  return read;
}

void WriteRect(HKEY key, const RectNames& names, const RECT& rect) {
  WriteDword(key, names.left, static_cast<DWORD>(rect.left));
  WriteDword(key, names.top, static_cast<DWORD>(rect.top));
  WriteDword(key, names.right, static_cast<DWORD>(rect.right));
  WriteDword(key, names.bottom, static_cast<DWORD>(rect.bottom));
}

}  // namespace

StartSettings LoadStartSettings(const SettingsKey& key, RECT* rect, wchar_t* bookPath) {
  const ScopedRegKey handle = CreateRegistryKey(key);
  if (!handle) return {};
  StartSettings read = ReadRect(handle, kExitRectNames, rect);
  read.path = ReadText(handle, "XQB_PATH", bookPath, kPathUnits);
  return read;
}

RECT LoadCurrentRect(const SettingsKey& key) {
  RECT rect = {0, 0, 0, 0};
  if (const ScopedRegKey handle = CreateRegistryKey(key)) ReadRect(handle, kCurrentRectNames, &rect);
  if (rect.bottom == 0) rect.bottom = 400;
  if (rect.right == 0) rect.right = 600;
  return rect;
}

bool LoadClipboardLookup(const SettingsKey& key) {
  DWORD value = 1;
  if (const ScopedRegKey handle = OpenRegistryKey(key)) {
    if (!ReadExactDword(handle, "ClipboardLookup", &value)) value = 1;
  }
  return value != 0;
}

void LoadInstallFolder(const SettingsKey& key, wchar_t* folder) {
  if (const ScopedRegKey handle = CreateRegistryKey(key)) {
    static_cast<void>(ReadText(handle, "InstallPath", folder, kPathUnits));
  }
}

void SaveCurrentRect(const SettingsKey& key, const RECT& rect) {
  if (const ScopedRegKey handle = CreateRegistryKey(key)) WriteRect(handle, kCurrentRectNames, rect);
}

void SaveExitSettings(const SettingsKey& key, const RECT& rect, const wchar_t* bookPath) {
  const ScopedRegKey handle = CreateRegistryKey(key);
  if (!handle) return;
  WriteRect(handle, kExitRectNames, rect);
  WriteText(handle, "XQB_PATH", bookPath, static_cast<DWORD>(kPathUnits));
}

}  // namespace quill
