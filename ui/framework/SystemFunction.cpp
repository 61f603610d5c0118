#include "ui/framework/SystemFunction.h"

#include <strsafe.h>

FARPROC FindSystemFunction(const wchar_t* library, const char* name)
{
    if (!library || !name)
        return nullptr;
    // Loaded already (by an earlier call, or by another library that imports
    // it): no second reference is taken.
    HMODULE module = GetModuleHandleW(library);
    if (!module) {
        wchar_t path[MAX_PATH];
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return nullptr;
        if (FAILED(StringCchPrintfW(path + length, MAX_PATH - length, L"\\%s", library)))
            return nullptr;
        // Never freed: the library stays for the process's life, and whatever it
        // started (the shell's threads, WinINet's cache) may still use its code.
        module = LoadLibraryW(path);
    }
    return module ? GetProcAddress(module, name) : nullptr;
}
