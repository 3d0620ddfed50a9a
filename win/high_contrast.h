// Whether a high-contrast theme is on. The program reads it at start and
// on every settings change; what answers can be replaced (tests: the
// platform here always says off).
#pragma once

namespace quill {

using HighContrastQuery = bool (*)();

// The answer of the query in force: the system's, unless replaced.
bool HighContrastOn();

// Replaces the query; null gives the system's back.
void SetHighContrastQuery(HighContrastQuery query);

}  // namespace quill
