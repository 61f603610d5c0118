#include "uninstall/KnownFolders.h"

#include "uninstall/ProgramPaths.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace {

constexpr int kProtectedShellFolders[] = {
    CSIDL_WINDOWS,
    CSIDL_SYSTEM,
    CSIDL_SYSTEMX86,
    CSIDL_FONTS,
    CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86,
    CSIDL_PROGRAM_FILES_COMMON,
    CSIDL_PROGRAM_FILES_COMMONX86,
    CSIDL_PROFILE,
    CSIDL_DESKTOPDIRECTORY,
    CSIDL_COMMON_DESKTOPDIRECTORY,
    CSIDL_PERSONAL,
    CSIDL_COMMON_DOCUMENTS,
    CSIDL_MYMUSIC,
    CSIDL_MYPICTURES,
    CSIDL_MYVIDEO,
    CSIDL_FAVORITES,
    CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,
    CSIDL_COMMON_APPDATA,
    CSIDL_STARTMENU,
    CSIDL_COMMON_STARTMENU,
    CSIDL_PROGRAMS,
    CSIDL_COMMON_PROGRAMS,
    CSIDL_STARTUP,
    CSIDL_COMMON_STARTUP,
    CSIDL_TEMPLATES,
};

// Downloads has no CSIDL_ value.
std::wstring DownloadsFolder()
{
    PWSTR path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, KF_FLAG_DONT_VERIFY, nullptr, &path)) && path)
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring EnvironmentFolder(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value) : std::wstring();
}

std::wstring TempFolder()
{
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    return length > 0 && length <= MAX_PATH ? std::wstring(path) : std::wstring();
}

} // namespace

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE))
        return {};
    return path;
}

std::vector<std::wstring> ProtectedFolders()
{
    std::vector<std::wstring> folders;
    for (int csidl : kProtectedShellFolders)
        folders.push_back(ShellFolder(csidl));
    folders.push_back(DownloadsFolder());
    folders.push_back(TempFolder());
    // A 32-bit program on 64-bit Windows sees "Program Files (x86)" as its
    // program files; the 64-bit one is named only by the environment.
    folders.push_back(EnvironmentFolder(L"ProgramW6432"));
    folders.push_back(EnvironmentFolder(L"SystemRoot"));

    std::vector<std::wstring> normalized;
    for (const std::wstring& folder : folders) {
        std::wstring path = NormalizedFolder(folder);
        if (!path.empty())
            normalized.push_back(std::move(path));
    }
    return normalized;
}
