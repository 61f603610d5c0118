#include "ProcessResources.h"

#include <filesystem>
#include <vector>

namespace test {

namespace {

struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};

struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

// Pipes and sockets (never asked for their names, which can block on a pipe),
// and disk files of the URL cache.
bool IsDownloadHandle(HANDLE handle)
{
    const DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_PIPE)
        return true;
    if (type != FILE_TYPE_DISK)
        return false;
    wchar_t path[MAX_PATH] = {};
    if (!GetFinalPathNameByHandleW(handle, path, MAX_PATH, FILE_NAME_NORMALIZED))
        return false;
    return wcsstr(path, L"\\Content.IE5\\") != nullptr;
}

BOOL CALLBACK CountOwnWindow(HWND hwnd, LPARAM count)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == GetCurrentProcessId())
        ++*reinterpret_cast<size_t*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindowTree(HWND hwnd, LPARAM count)
{
    CountOwnWindow(hwnd, count);
    EnumChildWindows(hwnd, CountOwnWindow, count);
    return TRUE;
}

// One entry of Wine's per-process GDI handle table (the PEB points to it).
struct WineGdiEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
static_assert(sizeof(WineGdiEntry) == 24, "Wine's GDI handle entry");
constexpr size_t kWineGdiEntries = 0x10000;

bool RunsUnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

size_t WineGdiObjects()
{
    if (!RunsUnderWine())
        return 0;
        // The thread's TEB holds the PEB, and the PEB the GDI handle table.
#ifdef _WIN64
    const BYTE* peb = reinterpret_cast<const BYTE*>(__readgsqword(0x60));
    constexpr size_t kGdiTableOffset = 0xF8;
#else
    const BYTE* peb = reinterpret_cast<const BYTE*>(static_cast<ULONG_PTR>(__readfsdword(0x30)));
    constexpr size_t kGdiTableOffset = 0x94;
#endif
    const auto* table = *reinterpret_cast<const WineGdiEntry* const*>(peb + kGdiTableOffset);
    if (!table)
        return 0;
    size_t used = 0;
    for (size_t i = 1; i < kWineGdiEntries; ++i)
        used += table[i].type != 0 && table[i].object != 0;
    return used;
}

} // namespace

std::vector<HANDLE> OwnHandles()
{
    std::vector<HANDLE> own;
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return own;
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<BYTE> buffer(1 << 16);
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
               kInfoLengthMismatch &&
           buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status < 0)
        return own;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    for (ULONG i = 0; i < table->count; ++i) {
        if (table->entries[i].ownerPid == GetCurrentProcessId())
            own.push_back(reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(table->entries[i].value)));
    }
    return own;
}

ProcessResources ProcessResources::Measure()
{
    ProcessResources now;
    GetProcessHandleCount(GetCurrentProcess(), &now.handles);
    now.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    now.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);

    for (HANDLE handle : OwnHandles()) {
        if (IsDownloadHandle(handle))
            ++now.downloadHandles;
        else
            ++now.kernelObjects;
    }

    EnumWindows(CountWindowTree, reinterpret_cast<LPARAM>(&now.windows));
    for (HWND hwnd = nullptr; (hwnd = FindWindowExW(HWND_MESSAGE, hwnd, nullptr, nullptr)) != nullptr;)
        CountWindowTree(hwnd, reinterpret_cast<LPARAM>(&now.windows));

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::error_code ignored;
    for (auto it = std::filesystem::directory_iterator(temp, ignored); it != std::filesystem::directory_iterator();
         it.increment(ignored))
        ++now.tempFiles;
    // Last: the walks above make GDI objects of their own the first time (kept
    // for the process), which a count taken before them would miss.
    now.wineGdiObjects = WineGdiObjects();
    return now;
}

std::string ProcessResources::Describe() const
{
    return "handles " + std::to_string(handles) + ", GDI " + std::to_string(gdiObjects) + " (Wine's table " +
           std::to_string(wineGdiObjects) + ")" + ", USER " + std::to_string(userObjects) + ", kernel objects " +
           std::to_string(kernelObjects) + ", download handles " + std::to_string(downloadHandles) + ", windows " +
           std::to_string(windows) + ", temporary files " + std::to_string(tempFiles);
}

} // namespace test
