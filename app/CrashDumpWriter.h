#pragma once
// Leaves a minidump behind when the process dies of an unhandled exception on
// any of its threads, of std::terminate or of abort, so that a crash on a
// user's machine can be read afterwards.
//
// While the object lives it is the process's unhandled-exception filter, its
// terminate handler and its SIGABRT handler. At a crash it writes
// "vorn-<date>-<time>-<process id>.dmp" into %LOCALAPPDATA%\Morvane网页版\CrashDumps
// (the temporary folder's Morvane网页版\CrashDumps when that cannot be made),
// keeps the newest kKeptDumps dumps there, and lets the process end as it would
// without it.
//
// A crashing process may hold the loader lock or a heap lock, and may have a
// broken heap or no stack left: the crashed thread itself only copies its
// exception into the writer, wakes the writer's thread and waits for it. That
// thread is started with the object and loads dbghelp before any crash; it
// works out every path in fixed buffers and uses no heap of ours.

#include "ui/framework/Scoped.h"

#include <windows.h>

class CrashDumpWriter {
public:
    static constexpr int kKeptDumps = 5;
    static constexpr const wchar_t* kSubFolder = L"Morvane网页版\\CrashDumps";
    // How long a crash waits for its dump; only a dump that deadlocks takes this long.
    static constexpr DWORD kWriteTimeoutMs = 30000;
    // The exception codes recorded for the dumps of std::terminate and abort,
    // which raise no exception of their own.
    static constexpr DWORD kTerminateCode = 0xE0000001;
    static constexpr DWORD kAbortCode = 0xE0000002;

    // Installs the handlers and starts the writer's thread. Nothing is installed
    // when no dump folder can be named, when the thread cannot be started, or
    // when another writer is installed already.
    explicit CrashDumpWriter(DWORD writeTimeoutMs = kWriteTimeoutMs);
    // Puts the previous handlers back and ends the writer's thread.
    ~CrashDumpWriter();
    CrashDumpWriter(const CrashDumpWriter&) = delete;
    CrashDumpWriter& operator=(const CrashDumpWriter&) = delete;

    bool Installed() const { return m_installed; }
    // Waits until the writer's thread has loaded what it writes with; false when
    // that failed or did not happen in time. A crash before then is written all
    // the same, unless the crashed thread holds the loader's lock.
    bool WaitUntilReady(DWORD timeoutMs) const;

private:
    using TerminateHandler = void (*)();
    using SignalHandler = void (*)(int);

    static LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception);
    static void OnTerminate();
    static void OnAbortSignal(int signal);
    void DumpHere(DWORD code);
    void HandleCrash(const EXCEPTION_RECORD& record, const CONTEXT& context);

    static DWORD WINAPI WriterThread(LPVOID param);
    // Writes the crash in the writer's copies with dbghelp's MiniDumpWriteDump.
    bool WriteDump(FARPROC writeDump);

    // Where dumps go: m_folders[0] is below %LOCALAPPDATA%, m_folders[1] below
    // the temporary folder; an empty one is not used.
    wchar_t m_folders[2][MAX_PATH] = {};
    DWORD m_timeoutMs;

    // The crash being written: copies made by the crashed thread, so that the
    // writer never reads the crashed thread's stack through a pointer, even
    // after that thread has stopped waiting.
    EXCEPTION_RECORD m_record = {};
    CONTEXT m_context = {};
    DWORD m_crashedThreadId = 0;

    ScopedHandle m_thread;
    DWORD m_threadId = 0;
    ScopedHandle m_ready;          // set once dbghelp is loaded
    ScopedHandle m_requested;      // set when a crash is to be written, or at the end
    ScopedHandle m_dumpDone;       // set once the first crash's dump is finished
    volatile LONG m_claimedBy = 0; // the thread whose crash is written (the first one)

    LPTOP_LEVEL_EXCEPTION_FILTER m_previousFilter = nullptr;
    TerminateHandler m_previousTerminate = nullptr;
    SignalHandler m_previousAbort = nullptr;
    bool m_installed = false;
};
