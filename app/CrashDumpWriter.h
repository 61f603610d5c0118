#pragma once
// Leaves a minidump behind when any thread of the process dies of an unhandled
// exception, so that a crash on a user's machine can be read afterwards.
//
// While the object lives it is the process's unhandled-exception filter. At a
// crash it writes "vorn-<date>-<time>-<process id>.dmp" into
// %LOCALAPPDATA%\Morvane网页版\CrashDumps (made when the first dump is written),
// keeps the newest kKeptDumps dumps there, and lets the process end as it would
// without it. Everything the crash path needs is worked out when the object is
// made, into fixed buffers: a crashing process may have a broken heap.

#include <windows.h>

class CrashDumpWriter {
public:
    static constexpr int kKeptDumps = 5;
    static constexpr const wchar_t* kSubFolder = L"Morvane网页版\\CrashDumps";
    // How long a crash waits for its dump; only a dump that deadlocks takes this long.
    static constexpr DWORD kWriteTimeoutMs = 30000;

    // Installs the filter. Nothing is installed when %LOCALAPPDATA% is unknown or
    // too long, or when another writer is installed already.
    CrashDumpWriter();
    // Puts the previous filter back.
    ~CrashDumpWriter();
    CrashDumpWriter(const CrashDumpWriter&) = delete;
    CrashDumpWriter& operator=(const CrashDumpWriter&) = delete;

    bool Installed() const { return m_installed; }
    const wchar_t* Folder() const { return m_folder; }

private:
    struct DumpRequest {
        CrashDumpWriter* writer;
        EXCEPTION_POINTERS* exception;
        DWORD crashedThreadId;
    };

    bool PreparePaths();
    static LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception);
    void HandleCrash(EXCEPTION_POINTERS* exception);
    static DWORD WINAPI WriterThread(LPVOID param);
    bool WriteDump(const DumpRequest& request) const;
    void CreateFolders() const;
    bool FormatDumpPath(wchar_t* path, size_t capacity) const;
    void PruneOldDumps() const;

    wchar_t m_folder[MAX_PATH] = {};
    size_t m_baseLength = 0; // the part of m_folder that is %LOCALAPPDATA%
    wchar_t m_dbghelpPath[MAX_PATH] = {};
    HANDLE m_dumpDone = nullptr; // set once the first crash's dump is finished
    volatile LONG m_crashedThread = 0; // the thread whose crash is being written
    volatile LONG m_writerThread = 0;  // the thread writing it
    LPTOP_LEVEL_EXCEPTION_FILTER m_previous = nullptr;
    bool m_installed = false;
};
