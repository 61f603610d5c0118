#pragma once
// The few Windows declarations the client's pure logic uses, for building that
// logic natively (with AddressSanitizer and UndefinedBehaviorSanitizer, which
// the cross toolchain lacks). Private-profile reads and writes go to an
// in-memory store the native checks fill; everything else is plain C++.

#include <cstdint>
#include <cstring>
#include <cwchar>

using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using HRESULT = std::int32_t;
using WCHAR = wchar_t;
using LPCWSTR = const wchar_t*;
using LPWSTR = wchar_t*;
using LONG = std::int32_t;

struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};

#define TRUE 1
#define FALSE 0
#define S_OK ((HRESULT)0)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define ZeroMemory(p, n) std::memset((p), 0, (n))

#define MOD_ALT 0x0001
#define MOD_CONTROL 0x0002
#define MOD_SHIFT 0x0004
#define MOD_WIN 0x0008
#define VK_F1 0x70
#define VK_F24 0x87

// As the system does: at most size - 1 characters and a terminator; the number
// copied, which is size - 1 when the value was cut.
DWORD GetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer, DWORD size, LPCWSTR path);
BOOL WritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR path);
