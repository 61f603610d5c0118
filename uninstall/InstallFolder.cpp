#include "uninstall/InstallFolder.h"

#include "uninstall/KnownFolders.h"
#include "uninstall/ProductTexts.h"
#include "uninstall/ProgramPaths.h"

#include <windows.h>

namespace {

// A drive root, a share root or a folder where a volume is mounted: deleting
// its contents would empty a whole volume.
bool IsVolumeRoot(const std::wstring& folder)
{
    const std::wstring withSlash = folder.back() == L'\\' ? folder : folder + L"\\";
    wchar_t volume[MAX_PATH] = {};
    if (!GetVolumePathNameW(withSlash.c_str(), volume, MAX_PATH))
        return true;
    return CompareStringOrdinal(volume, -1, withSlash.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool HoldsProtectedFolder(const std::wstring& folder)
{
    for (const std::wstring& protectedFolder : ProtectedFolders()) {
        if (IsSameOrInside(protectedFolder, folder))
            return true;
    }
    return false;
}

bool HoldsClientProgram(const std::wstring& folder)
{
    const std::wstring client = folder + L"\\" + product::kClientExe;
    const DWORD attributes = GetFileAttributesW(client.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool IsRemovableInstallFolder(const std::wstring& folder)
{
    const std::wstring normalized = NormalizedFolder(folder);
    if (normalized.empty() || IsVolumeRoot(normalized))
        return false;
    return !HoldsProtectedFolder(normalized) && HoldsClientProgram(normalized);
}
