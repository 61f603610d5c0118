#include "uninstall/ClientProcesses.h"

#include "uninstall/ProductTexts.h"
#include "uninstall/ScopedHandle.h"

#include <tlhelp32.h>

namespace {

// File names on Windows ignore case, so "VORN.EXE" is the same program.
bool IsClientFileName(const wchar_t* exeFile)
{
    return CompareStringOrdinal(exeFile, -1, product::kClientExe, -1, TRUE) == CSTR_EQUAL;
}

} // namespace

std::vector<DWORD> FindClientProcesses()
{
    std::vector<DWORD> found;
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.Valid())
        return found;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (IsClientFileName(entry.szExeFile))
            found.push_back(entry.th32ProcessID);
    }
    return found;
}

void TerminateClients(const std::vector<DWORD>& processIds, DWORD waitMs)
{
    std::vector<ScopedHandle> terminated;
    for (DWORD id : processIds) {
        // Terminating needs PROCESS_TERMINATE, waiting SYNCHRONIZE; nothing more.
        ScopedHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process.Valid() && TerminateProcess(process.Get(), 0))
            terminated.push_back(std::move(process));
    }
    // TerminateProcess only starts the end; the program's files stay locked
    // until the process is really gone.
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (const ScopedHandle& process : terminated) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        WaitForSingleObject(process.Get(), left);
    }
}
