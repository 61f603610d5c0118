#pragma once
// Fixed names the remover looks for: they must match what the installer and the
// client create.

namespace product {

// Caption of the question box, name of the shortcut, the start-menu folder and
// the installed-programs entry.
inline constexpr wchar_t kCaption[] = L"Morvane网页版";
// File name of the client program, in the install folder and in the process list.
inline constexpr wchar_t kClientExe[] = L"vorn.exe";
// The question before running clients are closed: "<caption>正在运行,是否关闭<caption>？".
inline constexpr wchar_t kCloseQuestionRunning[] = L">正在运行,是否关闭<";
inline constexpr wchar_t kCloseQuestionEnd[] = L">？";

inline constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr wchar_t kCompatibilityKey[] =
    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Persisted";
inline constexpr wchar_t kBrowserEmulationKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
// Windows Error Reporting's settings, and the value the installer leaves in the
// client's key below them when it made this key itself.
inline constexpr wchar_t kLocalDumpsKey[] = L"SOFTWARE\\Microsoft\\Windows\\Windows Error Reporting\\LocalDumps";
inline constexpr wchar_t kLocalDumpsMadeValue[] = L"CreatedLocalDumps";
// The client's own per-user settings (where the game view was left, the mute).
inline constexpr wchar_t kUserSettingsKey[] = L"Software\\Morvane网页版";

} // namespace product
