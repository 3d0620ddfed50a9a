// Defines, once for the program, the class and interface identifiers of the
// speech service that the headers only declare.
#include <windows.h>
#include <initguid.h>
#include <sapi.h>
