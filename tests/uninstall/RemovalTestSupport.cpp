#include "uninstall/RemovalTestSupport.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>

namespace removal {

namespace {

void CollectEntries(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& entries)
{
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        entries.push_back(path);
        // Links are listed, never entered: what they point to lies elsewhere.
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            CollectEntries(folder + L"\\" + name, path, entries);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// Wine's own export that names the Unix file behind a Windows path.
std::string UnixPath(const std::wstring& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(found));
    if (!toUnix)
        return {};
    char* unix = toUnix(path.c_str());
    if (!unix)
        return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

std::wstring Utf8ToWide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

BOOL CALLBACK CollectControlText(HWND control, LPARAM param)
{
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
    return TRUE;
}

class ScopedKey {
public:
    ~ScopedKey()
    {
        if (key)
            RegCloseKey(key);
    }
    HKEY key = nullptr;
};

} // namespace

std::wstring ShellFolderPath(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
    return path;
}

std::wstring DefaultInstallFolder() { return ShellFolderPath(CSIDL_PROGRAM_FILES) + L"\\" + kCaption; }

std::wstring DesktopShortcut() { return ShellFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\" + kCaption + L".lnk"; }

std::wstring StartMenuFolder() { return ShellFolderPath(CSIDL_PROGRAMS) + L"\\" + kCaption; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WaitUntilGone(const std::wstring& path, DWORD timeoutMs)
{
    return test::PumpUntil([&path] { return !Exists(path); }, timeoutMs);
}

std::vector<std::wstring> EntriesBelow(const std::wstring& folder)
{
    std::vector<std::wstring> entries;
    CollectEntries(folder, L"", entries);
    std::sort(entries.begin(), entries.end());
    return entries;
}

bool MakeFolders(const std::wstring& folder)
{
    const int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS;
}

bool WriteText(const std::wstring& path, const std::string& text) { return test::WriteFileBytes(path, text); }

std::string ReadText(const std::wstring& path) { return test::ReadWholeFile(path); }

std::wstring ShortcutTarget(const std::wstring& shortcut)
{
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            // The target's item list keeps every name in UTF-16; Wine's GetPath
            // hands out the shortcut's ANSI copy of the path instead.
            PIDLIST_ABSOLUTE items = nullptr;
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) && SUCCEEDED(link->GetIDList(&items)) &&
                SHGetPathFromIDListW(items, path))
                target = path;
            CoTaskMemFree(items);
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return target;
}

bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target)
{
    // Wine cannot make a junction itself, but it runs Unix programs.
    const std::string unixTarget = UnixPath(target);
    const std::string unixLinkFolder = UnixPath(link.substr(0, link.find_last_of(L'\\')));
    if (unixTarget.empty() || unixLinkFolder.empty())
        return false;
    const std::wstring unixLink = Utf8ToWide(unixLinkFolder) + L"/" + link.substr(link.find_last_of(L'\\') + 1);
    test::ChildProcess ln;
    if (!ln.Start(L"Z:\\bin\\ln", L"-s \"" + Utf8ToWide(unixTarget) + L"\" \"" + unixLink + L"\""))
        return false;
    // Wine's process for a Unix program may end before the program has run.
    return test::PumpUntil(
        [&link] {
            const DWORD attributes = GetFileAttributesW(link.c_str());
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        },
        10000);
}

bool KeyExists(HKEY root, const std::wstring& path)
{
    ScopedKey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key.key) == ERROR_SUCCESS;
}

std::optional<std::wstring> RegString(HKEY root, const std::wstring& path, const std::wstring& name)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

std::optional<DWORD> RegDword(HKEY root, const std::wstring& path, const std::wstring& name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

std::optional<std::wstring> RegExpandString(HKEY root, const std::wstring& path, const std::wstring& name)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

namespace {
// The names a key's values (subKeys false) or subkeys hold, sorted.
std::vector<std::wstring> RegNames(HKEY root, const std::wstring& path, bool subKeys)
{
    std::vector<std::wstring> names;
    ScopedKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, subKeys ? KEY_ENUMERATE_SUB_KEYS : KEY_QUERY_VALUE, &key.key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        const LSTATUS status = subKeys ? RegEnumKeyExW(key.key, i, name, &length, nullptr, nullptr, nullptr, nullptr)
                                       : RegEnumValueW(key.key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& path) { return RegNames(root, path, false); }

std::vector<std::wstring> RegSubKeyNames(HKEY root, const std::wstring& path) { return RegNames(root, path, true); }

bool SetRegDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value)
{
    ScopedKey key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key.key, nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

bool CreateKey(HKEY root, const std::wstring& path)
{
    ScopedKey key;
    return RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &key.key, nullptr) == ERROR_SUCCESS;
}

void DeleteKeyTree(HKEY root, const std::wstring& path)
{
    RegDeleteTreeW(root, path.c_str());
    RegDeleteKeyW(root, path.c_str());
}

bool InstallerCanRun()
{
    wchar_t system[MAX_PATH] = {};
    // Only a 64-bit system has this folder, and only one that runs 32-bit programs fills it.
    if (!GetSystemWow64DirectoryW(system, MAX_PATH))
        return true;
    const std::wstring kernel = std::wstring(system) + L"\\kernel32.dll";
    return GetFileAttributesW(kernel.c_str()) != INVALID_FILE_ATTRIBUTES;
}

DWORD RunInstaller(const std::wstring& folder)
{
    test::ChildProcess setup;
    // The installer takes /D= last and unquoted, blanks and all.
    const std::wstring arguments = folder.empty() ? L"/S" : L"/S /D=" + folder;
    if (!setup.Start(test::ProgramFolder() + L"\\vorn-setup.exe", arguments))
        return static_cast<DWORD>(-1);
    if (!setup.WaitForExit(kInstallTimeoutMs))
        return STILL_ACTIVE;
    return setup.ExitCode();
}

bool CopyStandIn(const std::wstring& folder, const std::wstring& name)
{
    return CopyFileW((test::ProgramFolder() + L"\\standin\\vorn.exe").c_str(), (folder + L"\\" + name).c_str(), FALSE);
}

bool CopyRemover(const std::wstring& folder) { return test::CopyProgram(L"Uninstall.exe", folder); }

std::vector<DWORD> ProcessesNamed(const wchar_t* exeFile)
{
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeFile) == 0)
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

bool InterpreterRuns() { return !ProcessesNamed(L"cmd.exe").empty(); }

bool RemoverProcess::Start(const std::wstring& folder)
{
    if (folder.rfind(L"C:\\", 0) != 0)
        return false;
    return m_process.Start(folder + L"\\Uninstall.exe");
}

HWND RemoverProcess::WaitForQuestion(DWORD timeoutMs)
{
    HWND question = m_process.WaitForWindow(L"#32770", timeoutMs);
    if (!question)
        return nullptr;
    wchar_t caption[256] = {};
    GetWindowTextW(question, caption, 256);
    return std::wstring(caption) == kCaption ? question : nullptr;
}

DWORD RunRemover(const std::wstring& folder)
{
    RemoverProcess remover;
    if (!remover.Start(folder))
        return static_cast<DWORD>(-1);
    if (!remover.WaitForExit(kRemoverTimeoutMs))
        return STILL_ACTIVE;
    return remover.ExitCode();
}

std::vector<std::wstring> ControlTexts(HWND dialog)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(dialog, CollectControlText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

} // namespace removal
