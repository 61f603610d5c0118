#include "uninstall/RegistryCleanup.h"

#include "uninstall/ProductTexts.h"
#include "uninstall/ScopedRegKey.h"

void MarkCompatibilityHandled(const std::wstring& removerPath)
{
    ScopedRegKey key;
    if (removerPath.empty() || !key.Open(HKEY_CURRENT_USER, product::kCompatibilityKey, KEY_READ | KEY_WRITE))
        return;
    const DWORD handled = 1;
    RegSetValueExW(key.Get(), removerPath.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&handled),
                   sizeof(handled));
}

void DeleteUninstallEntry()
{
    ScopedRegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, product::kUninstallKey, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS))
        return;
    // RegDeleteKeyW leaves an entry that has subkeys of its own; the installer
    // writes none.
    RegDeleteKeyW(key.Get(), product::kCaption);
}

void DeleteLocalDumpsKey()
{
    // On 32-bit Windows both flags name the one view there is; the second pass
    // then finds nothing.
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        ScopedRegKey key;
        if (!key.Open(HKEY_LOCAL_MACHINE, product::kLocalDumpsKey, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | view))
            continue;
        DWORD made = 0;
        DWORD size = sizeof(made);
        const bool madeByInstaller = RegGetValueW(key.Get(), product::kClientExe, product::kLocalDumpsMadeValue,
                                                  RRF_RT_REG_DWORD, nullptr, &made, &size) == ERROR_SUCCESS &&
                                     made == 1;
        if (RegDeleteKeyExW(key.Get(), product::kClientExe, view, 0) != ERROR_SUCCESS || !madeByInstaller)
            continue;
        DWORD subKeys = 0;
        DWORD values = 0;
        if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
            subKeys == 0 && values == 0) {
            key.Close();
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, product::kLocalDumpsKey, view, 0);
        }
    }
}

void DeleteBrowserEmulationValue()
{
    ScopedRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, product::kBrowserEmulationKey, KEY_SET_VALUE))
        return;
    RegDeleteValueW(key.Get(), product::kClientExe);
}

void DeleteUserSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, product::kUserSettingsKey); }
