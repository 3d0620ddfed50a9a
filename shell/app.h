// The program's entry routine.
#pragma once

#include <windows.h>

namespace quill {

// Runs Quillpad: a single instance, the main window and its message loop.
// Returns the process exit code.
int RunApplication(HINSTANCE instance, const char* commandLine, int showCommand);

}  // namespace quill
