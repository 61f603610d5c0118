// A module that does nothing: tests load copies of it from chosen folders.

#include <windows.h>

extern "C" __declspec(dllexport) int ModuleProbe() { return 1; }
