#pragma once
// An open registry key, closed when the object goes.

#include <windows.h>

class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ~ScopedRegKey() { Close(); }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;

    // Opens an existing key (never creates it); true on success.
    bool Open(HKEY root, const wchar_t* path, REGSAM access)
    {
        Close();
        return RegOpenKeyExW(root, path, 0, access, &m_key) == ERROR_SUCCESS;
    }
    HKEY Get() const { return m_key; }
    void Close()
    {
        if (m_key)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};
