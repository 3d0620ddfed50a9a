// Defines, once for the program, the class and interface identifiers of the
// speech service that the headers only declare.
#include <windows.h>
#include <initguid.h>
#include <sapi.h>

// The format id that goes with a WAVEFORMATEX; the headers declare it only.
extern "C" const GUID SPDFID_WaveFormatEx = {
    0xC31ADBAE, 0x527F, 0x4FF5, {0xA2, 0x30, 0xF6, 0x2B, 0xB6, 0x1F, 0xF7, 0x0C}};
