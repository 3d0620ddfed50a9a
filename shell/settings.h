// The settings store: the main window's rectangles, the last book and the
// installation folder, as registry values under one key.
#pragma once

#include <windows.h>

#include <cstddef>

#include "book/buffer_sizes.h"
#include "win/registry_key.h"

namespace quill {

static_assert(kPathUnits == MAX_PATH);

// Where the settings live. The program uses kQuillpadSettings; tests point
// a window at a key of their own.
using SettingsKey = RegistryKey;
inline const SettingsKey kQuillpadSettings = {HKEY_LOCAL_MACHINE, "Software\\Orvelle\\Quillpad"};

// What LoadStartSettings found stored.
struct StartSettings {
  bool left = false;
  bool top = false;
  bool right = false;
  bool bottom = false;
  bool path = false;
};

// Reads the exit rectangle (Pos_X, Pos_Y, Pos_Right, Pos_Bottom) into rect
// and XQB_PATH into bookPath (kPathUnits). A missing value, or one
// that does not fit its destination, leaves it unchanged; so does a path
// without its terminator, which would otherwise name a cut path.
StartSettings LoadStartSettings(const SettingsKey& key, RECT* rect, wchar_t* bookPath);

// The rectangle last stored by SaveCurrentRect (Now_*), with 600 and 400
// for a missing right and bottom edge and 0 for the others.
RECT LoadCurrentRect(const SettingsKey& key);

// Whether copying a word twice looks it up: ClipboardLookup, a REG_DWORD;
// 0 turns it off, anything else or a missing value leaves it on.
bool LoadClipboardLookup(const SettingsKey& key);

// Reads InstallPath into folder (kPathUnits); unchanged when absent.
void LoadInstallFolder(const SettingsKey& key, wchar_t* folder);

// Stores the window rectangle as the current rectangle (Now_*). The key is
// created non-volatile when missing, so that what is stored in it later,
// the last book included, survives a restart of the system.
void SaveCurrentRect(const SettingsKey& key, const RECT& rect);

// Stores the exit rectangle and XQB_PATH (the whole kPathUnits buffer).
void SaveExitSettings(const SettingsKey& key, const RECT& rect, const wchar_t* bookPath);

}  // namespace quill
