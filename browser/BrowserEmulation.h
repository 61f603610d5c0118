#pragma once
// Without a browser-emulation value for its executable, the WebBrowser control
// renders pages in its oldest document mode. Before the first control is
// created, the client gives its own executable name such a value (per user),
// unless the user or an administrator has set one already.

#include <windows.h>

namespace browser_emulation {

constexpr const wchar_t* kKeyPath =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
// The control's most modern document mode, whatever the page declares.
constexpr DWORD kModernMode = 11001;

// File name of the running executable ("vorn.exe" for the client).
bool OwnExecutableName(wchar_t* name, DWORD capacity);

// Writes kModernMode for exeName under HKCU unless a value exists under HKCU or
// HKLM already. True when a value for exeName is in place afterwards.
bool Ensure(const wchar_t* exeName);
// The same for the running executable.
bool EnsureForThisProgram();

} // namespace browser_emulation
