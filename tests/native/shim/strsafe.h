#pragma once
// The bounded string functions the client uses, with their documented
// behaviour: the result is always terminated, cut to the buffer when too long,
// and the cut is reported.

#include "windows.h"

#include <cstdarg>
#include <vector>

#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)

inline HRESULT StringCchCopyW(wchar_t* dest, size_t capacity, const wchar_t* src)
{
    if (!dest || capacity == 0)
        return STRSAFE_E_INVALID_PARAMETER;
    size_t n = 0;
    for (; n + 1 < capacity && src[n]; ++n)
        dest[n] = src[n];
    dest[n] = L'\0';
    return src[n] ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

inline HRESULT StringCchPrintfW(wchar_t* dest, size_t capacity, const wchar_t* format, ...)
{
    if (!dest || capacity == 0)
        return STRSAFE_E_INVALID_PARAMETER;
    std::vector<wchar_t> whole(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int written = std::vswprintf(whole.data(), whole.size(), format, args);
        va_end(args);
        if (written >= 0 && static_cast<size_t>(written) < whole.size())
            break;
        whole.resize(whole.size() * 2);
    }
    return StringCchCopyW(dest, capacity, whole.data());
}
