#include "uninstall/Shortcuts.h"

#include "uninstall/FolderTree.h"
#include "uninstall/KnownFolders.h"
#include "uninstall/ProductTexts.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>

namespace {

bool Exists(const std::wstring& path, DWORD& attributes)
{
    attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

// The shell's "taskbarunpin" verb works on the shortcut file. Systems without
// the verb just fail it; no error box is shown either way.
void UnpinFromTaskbar(const std::wstring& shortcut)
{
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    execute.lpVerb = L"taskbarunpin";
    execute.lpFile = shortcut.c_str();
    execute.nShow = SW_SHOW;
    ShellExecuteExW(&execute);
}

void RemoveDesktopShortcut()
{
    const std::wstring desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    if (desktop.empty())
        return;
    const std::wstring shortcut = desktop + L"\\" + product::kCaption + L".lnk";
    DWORD attributes = 0;
    if (!Exists(shortcut, attributes) || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    UnpinFromTaskbar(shortcut);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(shortcut.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    DeleteFileW(shortcut.c_str());
}

void RemoveStartMenuFolder()
{
    const std::wstring programs = ShellFolder(CSIDL_PROGRAMS);
    if (programs.empty())
        return;
    const std::wstring folder = programs + L"\\" + product::kCaption;
    DWORD attributes = 0;
    if (Exists(folder, attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFolderTree(folder);
}

} // namespace

void RemoveShortcuts()
{
    RemoveDesktopShortcut();
    RemoveStartMenuFolder();
}
