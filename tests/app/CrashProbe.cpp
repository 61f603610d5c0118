// crash_probe.exe: installs the client's crash dump writer and then ends badly
// on purpose, as the first argument says:
//   main            an access violation on the main thread
//   worker          an access violation on a second thread
//   stack-overflow  endless recursion on the main thread
//   terminate       a C++ exception that nothing catches
//   abort           abort()
//   loader-lock     a crash handed over while holding the loader's lock
//   heap-lock       a crash handed over while holding the heap's lock, on a
//                   second thread, which goes on after the writer's time-out
// The second argument, when given, is the writer's time-out in milliseconds.
// Without an argument it only installs the writer and ends with 0 once the
// writer is ready (3 when it does not get ready). Exit code 1: the writer could
// not be installed or did not get ready; 2: the probe could not set its crash
// up; 100 + n: heap-lock's count of dumps (below).

#include "app/CrashDumpWriter.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <stdexcept>
#include <string>

// Not in the anonymous namespace: its symbol is a mangled C++ name, which the
// dump reader's test expects to see demangled.
__attribute__((noinline)) void WriteThroughNull()
{
    volatile int* volatile target = nullptr;
    *target = 1;
}

namespace {

// The exception that the lock modes hand over.
constexpr DWORD kHandedCode = 0xE0000BAD;

DWORD WINAPI CrashingThread(LPVOID)
{
    WriteThroughNull();
    return 0;
}

// Each call keeps a page of its own on the stack, so the end of the stack is
// reached after a few hundred calls, long before depth runs out.
__attribute__((noinline)) int Recurse(volatile char* caller, unsigned depth)
{
    volatile char frame[4096];
    frame[0] = caller ? static_cast<char>(caller[0] + 1) : 0;
    if (depth == 0)
        return frame[0];
    return Recurse(frame, depth - 1) + frame[1];
}

__attribute__((noinline)) void ThrowUncaught() { throw std::runtime_error("not caught"); }

// Hands an exception to the installed unhandled-exception filter (the
// writer's) the way the system's last handler does, with its records on this
// thread's stack. A real crash would do the same, but the system would then go
// on to start its debugger, which the locks these modes hold would freeze.
__attribute__((noinline)) void HandToFilter()
{
    const LPTOP_LEVEL_EXCEPTION_FILTER filter = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(filter);
    CONTEXT context = {};
    RtlCaptureContext(&context);
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = kHandedCode;
    record.ExceptionAddress = reinterpret_cast<void*>(&WriteThroughNull);
    EXCEPTION_POINTERS pointers = {&record, &context};
    filter(&pointers);
}

// Fills a stretch of the stack below the caller, as the calls that follow a
// returned handler do.
__attribute__((noinline)) void OverwriteStack()
{
    volatile unsigned char area[16384];
    for (size_t i = 0; i < sizeof(area); ++i)
        area[i] = 0xA5;
}

// The files in the writer's folder below %LOCALAPPDATA%.
int CountDumpFiles()
{
    wchar_t base[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    const std::wstring pattern = std::wstring(base) + L"\\" + CrashDumpWriter::kSubFolder + L"\\*.dmp";
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

// Holding the loader's lock, hands a crash over; then, the lock still held,
// ends the process with the exception's code, as the system would.
void CrashUnderLoaderLock()
{
    using LockLoaderFn = LONG(WINAPI*)(ULONG, ULONG*, ULONG_PTR*);
    const auto lock = reinterpret_cast<LockLoaderFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "LdrLockLoaderLock")));
    ULONG_PTR cookie = 0;
    if (!lock || lock(0, nullptr, &cookie) < 0)
        return;
    HandToFilter();
    TerminateProcess(GetCurrentProcess(), kHandedCode);
}

// Holding the heap's lock, which the writer needs, hands a crash over. Once the
// writer has stopped being waited for, the thread goes on using its stack and
// lets the heap go: the writer then finishes the dump of a crash whose records
// this stack no longer holds. Ends with 100 + the dumps there were when the
// handler returned.
DWORD WINAPI CrashUnderHeapLock(LPVOID)
{
    if (!HeapLock(GetProcessHeap()))
        return 2;
    HandToFilter();
    const int dumps = CountDumpFiles();
    OverwriteStack();
    HeapUnlock(GetProcessHeap());
    return 100 + dumps;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const DWORD timeoutMs = argc > 2 ? wcstoul(argv[2], nullptr, 10) : CrashDumpWriter::kWriteTimeoutMs;
    const wchar_t* mode = argc > 1 ? argv[1] : L"";
    const CrashDumpWriter writer(timeoutMs);
    if (!writer.Installed())
        return 1;

    if (!*mode) {
        // Before any crash the writer's thread runs and has dbghelp loaded.
        return writer.WaitUntilReady(30000) && GetModuleHandleW(L"dbghelp.dll") ? 0 : 3;
    } else if (wcscmp(mode, L"main") == 0) {
        WriteThroughNull();
    } else if (wcscmp(mode, L"worker") == 0 || wcscmp(mode, L"heap-lock") == 0) {
        if (wcscmp(mode, L"heap-lock") == 0 && !writer.WaitUntilReady(30000))
            return 1;
        const auto body = wcscmp(mode, L"worker") == 0 ? &CrashingThread : &CrashUnderHeapLock;
        HANDLE thread = CreateThread(nullptr, 0, body, nullptr, 0, nullptr);
        if (!thread)
            return 2;
        WaitForSingleObject(thread, INFINITE);
        DWORD exitCode = 2;
        GetExitCodeThread(thread, &exitCode);
        CloseHandle(thread);
        return static_cast<int>(exitCode);
    } else if (wcscmp(mode, L"stack-overflow") == 0) {
        return Recurse(nullptr, 0xFFFFFFFF);
    } else if (wcscmp(mode, L"terminate") == 0) {
        ThrowUncaught();
    } else if (wcscmp(mode, L"abort") == 0) {
        std::abort();
    } else if (wcscmp(mode, L"loader-lock") == 0) {
        // Both lock modes crash once the writer is ready: the crash of a
        // client that has only just started is not what they are about.
        if (!writer.WaitUntilReady(30000))
            return 1;
        CrashUnderLoaderLock();
        return 2;
    }
    return 0;
}
