#include "uninstall/FolderTree.h"

#include "uninstall/ScopedFindHandle.h"

#include <windows.h>

#include <functional>

namespace {

constexpr DWORD kAttributesThatStopDeletion = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

struct FolderEntry {
    std::wstring path;
    DWORD attributes;
};

// Calls visit for every entry of the folder but "." and ".."; the search is
// closed again before this returns. False when the folder cannot be searched.
bool ForEachEntry(const std::wstring& folder, const std::function<void(const FolderEntry&)>& visit)
{
    WIN32_FIND_DATAW found = {};
    ScopedFindHandle search(FindFirstFileW((folder + L"\\*.*").c_str(), &found));
    if (!search.Valid())
        return false;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            visit({folder + L"\\" + name, found.dwFileAttributes});
    } while (FindNextFileW(search.Get(), &found));
    return true;
}

bool IsLink(DWORD attributes) { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }

void ClearBlockingAttributes(const FolderEntry& entry)
{
    if (entry.attributes & kAttributesThatStopDeletion)
        SetFileAttributesW(entry.path.c_str(), entry.attributes & ~kAttributesThatStopDeletion);
}

// RemoveDirectoryW takes away a junction or directory link itself, whatever it
// points to; DeleteFileW does the same for a file link. Neither touches the target.
void RemoveLink(const FolderEntry& link)
{
    if (link.attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryW(link.path.c_str());
    else
        DeleteFileW(link.path.c_str());
}

void DeleteEntry(const FolderEntry& entry)
{
    if (IsLink(entry.attributes)) {
        RemoveLink(entry);
    } else if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(entry.path);
    } else {
        ClearBlockingAttributes(entry);
        DeleteFileW(entry.path.c_str());
    }
}

} // namespace

void DeleteFolderTree(const std::wstring& folder)
{
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    // A folder that is itself a link loses the link, never its target's contents.
    if (IsLink(attributes)) {
        RemoveLink({folder, attributes});
        return;
    }
    if (!ForEachEntry(folder, DeleteEntry))
        return;
    ClearBlockingAttributes({folder, attributes});
    RemoveDirectoryW(folder.c_str());
}

bool HoldsLinks(const std::wstring& folder)
{
    bool found = false;
    ForEachEntry(folder, [&found](const FolderEntry& entry) {
        if (found)
            return;
        if (IsLink(entry.attributes))
            found = true;
        else if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            found = HoldsLinks(entry.path);
    });
    return found;
}
