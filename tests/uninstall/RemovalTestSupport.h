#pragma once
// Shared by the remover's tests. The remover's test program runs in a throw-away
// copy of the Wine prefix (wine-run-scratch), so whatever the installer and the
// remover write or delete here ends with that copy.

#include "support/TestSupport.h"

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <vector>

namespace removal {

inline constexpr wchar_t kCaption[] = L"Morvane网页版";
inline constexpr wchar_t kUninstallEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvane网页版";
inline constexpr wchar_t kCompatibilityKey[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
inline constexpr wchar_t kBrowserEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
inline constexpr wchar_t kUserSettingsKey[] = L"Software\\Morvane网页版";
inline constexpr wchar_t kLocalDumpsKey[] = L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";
inline constexpr wchar_t kClientLocalDumpsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps\\vorn.exe";

inline constexpr DWORD kInstallTimeoutMs = 60000;
inline constexpr DWORD kRemoverTimeoutMs = 30000;
// The final delete runs on after the remover has ended.
inline constexpr DWORD kFinalDeleteTimeoutMs = 30000;

// Folders and paths as the installer and the remover use them.
std::wstring ShellFolderPath(int csidl);
std::wstring DefaultInstallFolder();
std::wstring DesktopShortcut();
std::wstring StartMenuFolder();

// Files.
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// Waits, bounded, until nothing is left at path.
bool WaitUntilGone(const std::wstring& path, DWORD timeoutMs);
// Every file and folder below folder, as paths relative to it, sorted.
std::vector<std::wstring> EntriesBelow(const std::wstring& folder);
bool MakeFolders(const std::wstring& folder);
bool WriteText(const std::wstring& path, const std::string& text);
std::string ReadText(const std::wstring& path);
// The target of a shell shortcut (.lnk); empty when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& shortcut);
// A directory link as Wine makes one: a Unix symbolic link, which Wine reports
// as FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY.
bool MakeDirectoryLink(const std::wstring& link, const std::wstring& target);

// Registry.
bool KeyExists(HKEY root, const std::wstring& path);
std::optional<std::wstring> RegString(HKEY root, const std::wstring& path, const std::wstring& name);
std::optional<DWORD> RegDword(HKEY root, const std::wstring& path, const std::wstring& name);
// A REG_EXPAND_SZ value as it is stored, unexpanded.
std::optional<std::wstring> RegExpandString(HKEY root, const std::wstring& path, const std::wstring& name);
// The names of a key's values and of its subkeys, sorted.
std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& path);
std::vector<std::wstring> RegSubKeyNames(HKEY root, const std::wstring& path);
bool SetRegDword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD value);
bool CreateKey(HKEY root, const std::wstring& path);
void DeleteKeyTree(HKEY root, const std::wstring& path);

// The installer is a 32-bit program: a 64-bit build of the tests may run where
// 32-bit programs cannot (no 32-bit system files), and then skips what needs it.
bool InstallerCanRun();
#define SKIP_WITHOUT_INSTALLER()                                                                                       \
    if (!removal::InstallerCanRun())                                                                                   \
    GTEST_SKIP() << "this system runs no 32-bit programs, and the installer is one"

// Runs vorn-setup.exe silently, into folder when one is given; its exit code,
// or STILL_ACTIVE when it did not end in time.
DWORD RunInstaller(const std::wstring& folder = L"");

// Puts a copy of the stand-in client program into folder under the given name.
bool CopyStandIn(const std::wstring& folder, const std::wstring& name = L"vorn.exe");
// Puts a copy of the remover into folder.
bool CopyRemover(const std::wstring& folder);

// Ids of the running processes with this program file name.
std::vector<DWORD> ProcessesNamed(const wchar_t* exeFile);
// Whether a hidden command interpreter runs (the remover's final delete).
bool InterpreterRuns();

// The remover started as its own process, as a user starts it.
class RemoverProcess {
public:
    // Starts folder\Uninstall.exe. Only copies inside the prefix's own drive C:
    // are ever started: the one in the build folder sits beside a real vorn.exe.
    bool Start(const std::wstring& folder);
    // The remover's question box, once it shows.
    HWND WaitForQuestion(DWORD timeoutMs);
    bool WaitForExit(DWORD timeoutMs) { return m_process.WaitForExit(timeoutMs); }
    DWORD ExitCode() const { return m_process.ExitCode(); }
    DWORD Id() const { return m_process.Id(); }

private:
    test::ChildProcess m_process;
};

// Starts the remover in folder and waits for its end; its exit code, or
// STILL_ACTIVE when it did not end in time (a question box it should not show).
DWORD RunRemover(const std::wstring& folder);

// The texts of a dialog's child controls, in order.
std::vector<std::wstring> ControlTexts(HWND dialog);

} // namespace removal
