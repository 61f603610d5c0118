#include "browser/BrowserEmulation.h"

#include "ui/framework/Scoped.h"

namespace browser_emulation {

namespace {

bool ValueExists(HKEY root, const wchar_t* exeName)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, kKeyPath, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    const ScopedRegKey key(opened);
    return RegQueryValueExW(key.Get(), exeName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

} // namespace

bool OwnExecutableName(wchar_t* name, DWORD capacity)
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const wchar_t* file = wcsrchr(path, L'\\');
    file = file ? file + 1 : path;
    const size_t fileLength = wcslen(file);
    if (fileLength == 0 || fileLength >= capacity)
        return false;
    wcscpy(name, file);
    return true;
}

bool Ensure(const wchar_t* exeName)
{
    if (!exeName || !*exeName)
        return false;
    // A value the user or an administrator chose stays as it is.
    if (ValueExists(HKEY_CURRENT_USER, exeName) || ValueExists(HKEY_LOCAL_MACHINE, exeName))
        return true;
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const ScopedRegKey key(created);
    const DWORD mode = kModernMode;
    return RegSetValueExW(key.Get(), exeName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&mode), sizeof(mode)) ==
           ERROR_SUCCESS;
}

bool EnsureForThisProgram()
{
    wchar_t name[MAX_PATH] = {};
    return OwnExecutableName(name, MAX_PATH) && Ensure(name);
}

} // namespace browser_emulation
