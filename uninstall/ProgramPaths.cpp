#include "uninstall/ProgramPaths.h"

#include <windows.h>

namespace {

// Longest path Windows hands out at all.
constexpr DWORD kLongestPath = 32768;

bool EqualIgnoringCase(const wchar_t* a, int aLength, const wchar_t* b, int bLength)
{
    return CompareStringOrdinal(a, aLength, b, bLength, TRUE) == CSTR_EQUAL;
}

std::wstring FullPath(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size())
        return {};
    full.resize(length);
    return full;
}

// Expands short (8.3) names, so "C:\PROGRA~1" compares equal to "C:\Program Files".
std::wstring LongPath(const std::wstring& path)
{
    std::wstring expanded(MAX_PATH, L'\0');
    DWORD length = GetLongPathNameW(path.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (length >= expanded.size()) {
        expanded.resize(length);
        length = GetLongPathNameW(path.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    }
    if (length == 0 || length >= expanded.size())
        return path;
    expanded.resize(length);
    return expanded;
}

} // namespace

std::wstring OwnProgramPath()
{
    for (DWORD size : {DWORD(MAX_PATH), kLongestPath}) {
        std::wstring path(size, L'\0');
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
        if (length == 0)
            return {};
        // A path that filled the buffer may have been cut: try the largest one.
        if (length < size) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

std::wstring FolderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring NormalizedFolder(const std::wstring& folder)
{
    if (folder.empty())
        return {};
    // The trailing backslash keeps "C:" from meaning the current folder of drive C.
    std::wstring full = LongPath(FullPath(folder + L"\\"));
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

bool IsSameOrInside(const std::wstring& inner, const std::wstring& outer)
{
    if (inner.empty() || outer.empty() || inner.size() < outer.size())
        return false;
    const int outerLength = static_cast<int>(outer.size());
    if (!EqualIgnoringCase(inner.c_str(), outerLength, outer.c_str(), outerLength))
        return false;
    return inner.size() == outer.size() || outer.back() == L'\\' || inner[outer.size()] == L'\\';
}
