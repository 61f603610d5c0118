#include "ui/framework/SystemFunction.h"

#include <strsafe.h>

HMODULE LoadSystemLibrary(const wchar_t* library)
{
    if (!library)
        return nullptr;
    // AddDllDirectory arrived together with the LOAD_LIBRARY_SEARCH_ flags:
    // its presence is how a program tells that the flags are understood.
    static const bool searchFlags = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    if (searchFlags) {
        HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        const DWORD error = GetLastError();
        // Anything but a loader that does not know the flag is the answer.
        if (module || error != ERROR_INVALID_PARAMETER)
            return module;
    }
    wchar_t path[MAX_PATH];
    const UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    if (FAILED(StringCchPrintfW(path + length, MAX_PATH - length, L"\\%s", library)))
        return nullptr;
    return LoadLibraryW(path);
}

FARPROC FindSystemFunction(const wchar_t* library, const char* name)
{
    if (!library || !name)
        return nullptr;
    // Loaded already (by an earlier call, or by another library that imports
    // it): no second reference is taken.
    HMODULE module = GetModuleHandleW(library);
    // Never freed: the library stays for the process's life, and whatever it
    // started (the shell's threads, WinINet's cache) may still use its code.
    if (!module)
        module = LoadSystemLibrary(library);
    return module ? GetProcAddress(module, name) : nullptr;
}
