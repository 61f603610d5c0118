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

void DeleteBrowserEmulationValue()
{
    ScopedRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, product::kBrowserEmulationKey, KEY_SET_VALUE))
        return;
    RegDeleteValueW(key.Get(), product::kClientExe);
}

void DeleteUserSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, product::kUserSettingsKey); }
