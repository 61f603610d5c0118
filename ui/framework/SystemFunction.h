#pragma once
// Functions of system libraries that the client needs only now and then (the
// shell's, WinINet's), found on first use instead of imported. An imported
// library is loaded and initialised, with everything it imports in turn,
// before the program's first line runs, at every start; one found here is
// loaded the first time it is needed, from the system folder (a copy beside
// the program is never taken), and then stays loaded for the rest of the
// process, as an imported one would.

#include <windows.h>

// Loads a library of the system folder by its bare name, for the process's
// life or until the caller frees it. Where the loader can be told to (Windows 8
// on, and Windows 7 with the update that brings AddDllDirectory), what the
// library itself loads by name comes from the system folder too, never from
// the program's folder or the current one; elsewhere the library is loaded by
// its full path. Null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* library);

// The address of name in the system library, or null when the library cannot
// be loaded or does not have it: the caller treats that as the call failing.
FARPROC FindSystemFunction(const wchar_t* library, const char* name);

// The same, typed: Fn is the function's pointer type, for example
// decltype(&ShellExecuteW), which names the function without importing it.
template <class Fn> Fn SystemFunction(const wchar_t* library, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(FindSystemFunction(library, name)));
}
