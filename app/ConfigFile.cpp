#include "app/ConfigFile.h"

#include <climits>
#include <strsafe.h>

int ParseIniInt(const wchar_t* text)
{
    if (!text)
        return 0;
    const wchar_t* p = text;
    while (*p == L' ' || *p == L'\t')
        ++p;
    bool negative = false;
    if (*p == L'+' || *p == L'-') {
        negative = *p == L'-';
        ++p;
    }
    // Accumulate in 64 bits and stop growing once past the 32-bit range.
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        value = value * 10 + (*p - L'0');
        if (value > limit) {
            value = limit;
            for (; *p >= L'0' && *p <= L'9'; ++p) {
            }
            break;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

ConfigFile::ConfigFile(const wchar_t* folder)
{
    // An empty folder would make "\\Config.ini", the root of the current drive.
    m_usable =
        folder && *folder && SUCCEEDED(StringCchPrintfW(m_path, kPathCapacity, L"%ls\\%ls", folder, L"Config.ini"));
    if (!m_usable)
        m_path[0] = L'\0';
}

void ConfigFile::ReadText(const wchar_t* section, const wchar_t* key, wchar_t (&value)[kIniValueCapacity]) const
{
    ZeroMemory(value, sizeof(value));
    if (m_usable)
        GetPrivateProfileStringW(section, key, L"", value, kIniValueCapacity, m_path);
}

bool ConfigFile::ReadWholeText(const wchar_t* section, const wchar_t* key, wchar_t (&value)[kIniValueCapacity]) const
{
    ZeroMemory(value, sizeof(value));
    if (!m_usable)
        return false;
    // One character more than fits: a value that fills it was longer than the buffer.
    wchar_t wider[kIniValueCapacity + 1] = {};
    const DWORD length = GetPrivateProfileStringW(section, key, L"", wider, kIniValueCapacity + 1, m_path);
    if (length >= kIniValueCapacity)
        return false;
    StringCchCopyW(value, kIniValueCapacity, wider);
    return true;
}

int ConfigFile::ReadInt(const wchar_t* section, const wchar_t* key) const
{
    wchar_t value[kIniValueCapacity];
    ReadText(section, key, value);
    return ParseIniInt(value);
}

bool ConfigFile::WriteText(const wchar_t* section, const wchar_t* key, const wchar_t* value) const
{
    return m_usable && WritePrivateProfileStringW(section, key, value, m_path);
}

bool ConfigFile::WriteInt(const wchar_t* section, const wchar_t* key, int value) const
{
    wchar_t text[kIniValueCapacity];
    StringCchPrintfW(text, kIniValueCapacity, L"%d", value);
    return WriteText(section, key, text);
}
