// crash_probe.exe: installs the client's crash dump writer and then crashes on
// purpose, as the argument says:
//   main      an access violation on the main thread
//   worker    an access violation on a second thread
// Without an argument it only installs the writer and ends with 0 (1 when the
// writer could not be installed).

#include "app/CrashDumpWriter.h"

#include <windows.h>

#include <cwchar>

namespace {

void WriteThroughNull()
{
    volatile int* volatile target = nullptr;
    *target = 1;
}

DWORD WINAPI CrashingThread(LPVOID)
{
    WriteThroughNull();
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const CrashDumpWriter writer;
    if (!writer.Installed())
        return 1;
    const wchar_t* mode = argc > 1 ? argv[1] : L"";
    if (wcscmp(mode, L"main") == 0) {
        WriteThroughNull();
    } else if (wcscmp(mode, L"worker") == 0) {
        HANDLE thread = CreateThread(nullptr, 0, &CrashingThread, nullptr, 0, nullptr);
        if (!thread)
            return 2;
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    return 0;
}
