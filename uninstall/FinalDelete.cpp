#include "uninstall/FinalDelete.h"

#include "uninstall/ScopedHandle.h"

#include <windows.h>

namespace {

std::wstring EnvironmentValue(const wchar_t* name)
{
    std::wstring value(MAX_PATH, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (length >= value.size()) {
        value.resize(length);
        length = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    }
    if (length == 0 || length >= value.size())
        return {};
    value.resize(length);
    return value;
}

std::wstring SystemFolder()
{
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder) : std::wstring();
}

// The interpreter expands %name% even inside quotes, so such a path could turn
// into another one.
bool IsSafeForCommandLine(const std::wstring& folder)
{
    return !folder.empty() && folder.find_first_of(L"%\"") == std::wstring::npos;
}

} // namespace

std::wstring FinalDeleteCommand(const std::wstring& interpreter, const std::wstring& folder)
{
    const std::wstring quoted = L"\"" + folder + L"\"";
    // /d: no AutoRun commands from the registry; /v:off: "!" stays a plain character.
    return L"\"" + interpreter + L"\" /d /v:off /c set /p vornwait= & ping -n 2 127.0.0.1 >nul & del /F /S /Q " +
           quoted + L" & rd /S /Q " + quoted;
}

bool StartFinalDelete(const std::wstring& folder)
{
    const std::wstring interpreter = EnvironmentValue(L"ComSpec");
    if (interpreter.empty() || !IsSafeForCommandLine(folder))
        return false;

    // The command reads its input from this pipe until the last writer is gone.
    // Only this process holds the writing end, so the input ends exactly when
    // this process ends.
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0))
        return false;
    ScopedHandle input(readEnd);
    ScopedHandle output(writeEnd);
    SetHandleInformation(input.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.Get();
    std::wstring commandLine = FinalDeleteCommand(interpreter, folder);
    // Started in the system folder: a current folder inside the installation
    // would keep that folder from being removed.
    const std::wstring startFolder = SystemFolder();
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        startFolder.empty() ? nullptr : startFolder.c_str(), &startup, &started))
        return false;
    ScopedHandle process(started.hProcess);
    ScopedHandle thread(started.hThread);
    // The writing end is deliberately never closed here: Windows closes it when
    // this process ends, and that is the signal the command waits for.
    output.Release();
    return true;
}
