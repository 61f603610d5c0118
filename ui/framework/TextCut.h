#pragma once
// Copying text into a fixed buffer of wide characters: cut to what fits, always
// terminated, and never ending in the first half of a surrogate pair whose
// second half was cut off (a character the buffer cannot hold is left out
// whole). Free of system calls, so it also builds and runs natively.

#include <cstddef>

inline bool IsLeadSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Copies src (null: empty) into dest of capacity characters (terminator
// included); returns the number of characters copied.
inline size_t CopyCut(wchar_t* dest, size_t capacity, const wchar_t* src)
{
    if (!dest || capacity == 0)
        return 0;
    size_t n = 0;
    if (src) {
        while (n + 1 < capacity && src[n] != L'\0') {
            dest[n] = src[n];
            ++n;
        }
        // Cut inside a pair: its first half goes too.
        if (n > 0 && src[n] != L'\0' && IsLeadSurrogate(dest[n - 1]))
            --n;
    }
    dest[n] = L'\0';
    return n;
}

template <size_t N> size_t CopyCut(wchar_t (&dest)[N], const wchar_t* src) { return CopyCut(dest, N, src); }
