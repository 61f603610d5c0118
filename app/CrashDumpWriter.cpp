#include "app/CrashDumpWriter.h"

#include "ui/framework/Scoped.h"
#include "ui/framework/SystemFunction.h"

#include <dbghelp.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>

namespace {

// The system and the runtime call the handlers without any context of ours, so
// the one installed writer is found here.
std::atomic<CrashDumpWriter*> g_installedWriter{nullptr};

constexpr const wchar_t* kDumpPrefix = L"vorn-";
constexpr const wchar_t* kDumpSuffix = L".dmp";
// "vorn-20261208-101500-4294967295.dmp" and the backslash before it.
constexpr size_t kLongestDumpName = 1 + 35;

// Bounded text building in a caller's buffer, with no heap and no locale: the
// crash path must not depend on either.
class TextBuffer {
public:
    TextBuffer(wchar_t* buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity)
    {
        if (m_capacity)
            m_buffer[0] = L'\0';
    }
    bool Append(const wchar_t* text)
    {
        for (; *text; ++text) {
            if (!Put(*text))
                return false;
        }
        return true;
    }
    // Decimal digits, zero-padded on the left to at least minDigits.
    bool AppendNumber(unsigned long value, int minDigits = 1)
    {
        wchar_t digits[10];
        int count = 0;
        do {
            digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
            value /= 10;
        } while (value && count < 10);
        for (int pad = count; pad < minDigits; ++pad) {
            if (!Put(L'0'))
                return false;
        }
        while (count) {
            if (!Put(digits[--count]))
                return false;
        }
        return true;
    }
    size_t Length() const { return m_length; }

private:
    bool Put(wchar_t c)
    {
        if (m_length + 1 >= m_capacity)
            return false;
        m_buffer[m_length++] = c;
        m_buffer[m_length] = L'\0';
        return true;
    }

    wchar_t* m_buffer;
    size_t m_capacity;
    size_t m_length = 0;
};

// "*.dmp" also finds names such as "a.dmpx" through their short 8.3 names on
// Windows; only real ".dmp" files count as dumps.
bool HasDumpSuffix(const wchar_t* name)
{
    size_t length = 0;
    while (name[length])
        ++length;
    if (length < 4)
        return false;
    const wchar_t* tail = name + length - 4;
    for (int i = 0; i < 4; ++i) {
        wchar_t c = tail[i];
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kDumpSuffix[i])
            return false;
    }
    return true;
}

// folder becomes base\kSubFolder, or stays empty when that leaves no room for
// a dump's name.
void NameDumpFolder(wchar_t* folder, const wchar_t* base)
{
    TextBuffer text(folder, MAX_PATH);
    if (!text.Append(base)) {
        folder[0] = L'\0';
        return;
    }
    size_t length = text.Length();
    while (length && folder[length - 1] == L'\\')
        folder[--length] = L'\0';
    TextBuffer rest(folder + length, MAX_PATH - length);
    if (length == 0 || !rest.Append(L"\\") || !rest.Append(CrashDumpWriter::kSubFolder) ||
        length + rest.Length() + kLongestDumpName >= MAX_PATH)
        folder[0] = L'\0';
}

// Every level of folder from the drive (or share) down, since %LOCALAPPDATA%
// itself may not exist yet. A level that is there already, and the drive
// itself, fail harmlessly.
void CreateFolderChain(const wchar_t* folder)
{
    wchar_t level[MAX_PATH];
    TextBuffer copy(level, MAX_PATH);
    if (!copy.Append(folder))
        return;
    for (size_t i = 1; level[i]; ++i) {
        if (level[i] == L'\\' && level[i - 1] != L'\\' && level[i - 1] != L':') {
            level[i] = L'\0';
            CreateDirectoryW(level, nullptr);
            level[i] = L'\\';
        }
    }
    CreateDirectoryW(level, nullptr);
}

bool FormatDumpPath(const wchar_t* folder, wchar_t* path, size_t capacity)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    TextBuffer text(path, capacity);
    return text.Append(folder) && text.Append(L"\\") && text.Append(kDumpPrefix) && text.AppendNumber(now.wYear, 4) &&
           text.AppendNumber(now.wMonth, 2) && text.AppendNumber(now.wDay, 2) && text.Append(L"-") &&
           text.AppendNumber(now.wHour, 2) && text.AppendNumber(now.wMinute, 2) && text.AppendNumber(now.wSecond, 2) &&
           text.Append(L"-") && text.AppendNumber(GetCurrentProcessId()) && text.Append(kDumpSuffix);
}

void PruneOldDumps(const wchar_t* folder)
{
    wchar_t pattern[MAX_PATH];
    TextBuffer patternText(pattern, MAX_PATH);
    if (!patternText.Append(folder) || !patternText.Append(L"\\*") || !patternText.Append(kDumpSuffix))
        return;

    // Deletes the oldest dump while there are more than kKeptDumps; one that
    // cannot be deleted ends the pruning.
    for (;;) {
        WIN32_FIND_DATAW found;
        const ScopedFind find(FindFirstFileW(pattern, &found));
        if (!find)
            return;
        int count = 0;
        FILETIME oldestTime = {};
        wchar_t oldest[MAX_PATH] = {};
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !HasDumpSuffix(found.cFileName))
                continue;
            if (++count == 1 || CompareFileTime(&found.ftLastWriteTime, &oldestTime) < 0) {
                oldestTime = found.ftLastWriteTime;
                TextBuffer name(oldest, MAX_PATH);
                name.Append(found.cFileName);
            }
        } while (FindNextFileW(find.Get(), &found));
        if (count <= CrashDumpWriter::kKeptDumps)
            return;

        wchar_t path[MAX_PATH];
        TextBuffer pathText(path, MAX_PATH);
        if (!pathText.Append(folder) || !pathText.Append(L"\\") || !pathText.Append(oldest) || !DeleteFileW(path))
            return;
    }
}

} // namespace

CrashDumpWriter::CrashDumpWriter(DWORD writeTimeoutMs) : m_timeoutMs(writeTimeoutMs)
{
    // LOCALAPPDATA is set for every user from Vista on; reading it keeps the
    // shell out of start-up.
    wchar_t base[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        NameDumpFolder(m_folders[0], base);
    length = GetTempPathW(MAX_PATH, base);
    if (length > 0 && length < MAX_PATH)
        NameDumpFolder(m_folders[1], base);
    if (!m_folders[0][0] && !m_folders[1][0])
        return;

    m_ready.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_requested.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    m_dumpDone.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_ready || !m_requested || !m_dumpDone)
        return;
    CrashDumpWriter* none = nullptr;
    if (!g_installedWriter.compare_exchange_strong(none, this))
        return;
    m_thread.Reset(CreateThread(nullptr, 0, &CrashDumpWriter::WriterThread, this, 0, &m_threadId));
    if (!m_thread) {
        g_installedWriter = nullptr;
        return;
    }
    m_previousFilter = SetUnhandledExceptionFilter(&CrashDumpWriter::OnUnhandledException);
    m_previousTerminate = std::set_terminate(&CrashDumpWriter::OnTerminate);
    m_previousAbort = std::signal(SIGABRT, &CrashDumpWriter::OnAbortSignal);
    m_installed = true;
}

CrashDumpWriter::~CrashDumpWriter()
{
    if (m_installed) {
        SetUnhandledExceptionFilter(m_previousFilter);
        std::set_terminate(m_previousTerminate);
        std::signal(SIGABRT, m_previousAbort == SIG_ERR ? SIG_DFL : m_previousAbort);
        g_installedWriter = nullptr;
    }
    if (m_thread) {
        // Idle, the thread ends at once. One still busy with a dump that its
        // crash stopped waiting for may finish it yet (reading a process can
        // take dbghelp seconds, longer for a 64-bit one): it gets the full
        // write time-out, however short the crash's wait was. One stuck for
        // good must not outlive the buffers it writes from.
        SetEvent(m_requested.Get());
        if (WaitForSingleObject(m_thread.Get(), std::max(m_timeoutMs, kWriteTimeoutMs)) == WAIT_TIMEOUT)
            TerminateThread(m_thread.Get(), 1);
    }
    // The thread has ended: its handle and the events go with the members.
}

bool CrashDumpWriter::WaitUntilReady(DWORD timeoutMs) const
{
    return m_ready && WaitForSingleObject(m_ready.Get(), timeoutMs) == WAIT_OBJECT_0;
}

LONG WINAPI CrashDumpWriter::OnUnhandledException(EXCEPTION_POINTERS* exception)
{
    if (CrashDumpWriter* writer = g_installedWriter.load())
        writer->HandleCrash(*exception->ExceptionRecord, *exception->ContextRecord);
    // Handing the exception on lets the system's own last handler do what it does
    // without us: Windows Error Reporting (or an attached debugger) sees the crash,
    // and the process ends with the exception's code as its exit code.
    return EXCEPTION_CONTINUE_SEARCH;
}

void CrashDumpWriter::OnTerminate()
{
    TerminateHandler next = nullptr;
    if (CrashDumpWriter* writer = g_installedWriter.load()) {
        writer->DumpHere(kTerminateCode);
        next = writer->m_previousTerminate;
    }
    // Then as without the writer: the runtime's own handler reports the
    // exception and aborts. The abort that follows writes no second dump.
    if (next)
        next();
    std::abort();
}

void CrashDumpWriter::OnAbortSignal(int signal)
{
    SignalHandler next = SIG_DFL;
    if (CrashDumpWriter* writer = g_installedWriter.load()) {
        writer->DumpHere(kAbortCode);
        if (writer->m_previousAbort != SIG_ERR)
            next = writer->m_previousAbort;
    }
    // The signal goes on to the handler that was there before, by default
    // the runtime's, which ends the process with exit code 3. Returning to
    // abort, when that handler ignores it, ends it the same way.
    std::signal(signal, next);
    std::raise(signal);
}

void CrashDumpWriter::DumpHere(DWORD code)
{
    CONTEXT context = {};
    RtlCaptureContext(&context);
    EXCEPTION_RECORD record = {};
    record.ExceptionCode = code;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
#ifdef _WIN64
    record.ExceptionAddress = reinterpret_cast<void*>(context.Rip);
#else
    record.ExceptionAddress = reinterpret_cast<void*>(context.Eip);
#endif
    HandleCrash(record, context);
}

void CrashDumpWriter::HandleCrash(const EXCEPTION_RECORD& record, const CONTEXT& context)
{
    // This may run on a thread with almost no stack left (a stack overflow) or
    // holding the loader's or the heap's lock: it copies, signals and waits,
    // and calls nothing that could need more.
    const DWORD self = GetCurrentThreadId();
    if (self == m_threadId)
        return; // writing the dump crashed: nothing more to do here
    const LONG first = InterlockedCompareExchange(&m_claimedBy, static_cast<LONG>(self), 0);
    if (first == static_cast<LONG>(self))
        return; // a second end of the thread whose dump is written (abort after terminate)
    if (first == 0) {
        m_record = record;
        m_record.ExceptionRecord = nullptr; // a chained record lies on the crashed stack
        m_context = context;
        m_crashedThreadId = self;
        SetEvent(m_requested.Get());
    }
    // A thread that crashes while another's dump is written waits for it too,
    // so that the process does not end half-way through. After the time-out
    // the writer only ever reads its own copies.
    WaitForSingleObject(m_dumpDone.Get(), m_timeoutMs);
}

DWORD WINAPI CrashDumpWriter::WriterThread(LPVOID param)
{
    CrashDumpWriter& writer = *static_cast<CrashDumpWriter*>(param);
    // Loaded now, long before any crash: at a crash the loader may be locked.
    // What dbghelp loads in turn comes from the system folder too.
    const ScopedLibrary dbghelp(LoadSystemLibrary(L"dbghelp.dll"));
    const FARPROC writeDump = dbghelp ? GetProcAddress(dbghelp.Get(), "MiniDumpWriteDump") : nullptr;
    if (writeDump)
        SetEvent(writer.m_ready.Get());
    WaitForSingleObject(writer.m_requested.Get(), INFINITE);
    // Woken without a crash: the writer is going away.
    if (writer.m_crashedThreadId == 0)
        return 0;
    const bool written = writer.WriteDump(writeDump);
    SetEvent(writer.m_dumpDone.Get());
    return written ? 0 : 1;
}

bool CrashDumpWriter::WriteDump(FARPROC function)
{
    const auto writeDump = reinterpret_cast<decltype(&MiniDumpWriteDump)>(reinterpret_cast<void*>(function));
    if (!writeDump)
        return false;

    // The first folder that takes a new file; the next one only when the first
    // cannot be made or written.
    const wchar_t* folder = nullptr;
    wchar_t path[MAX_PATH];
    ScopedFile file;
    for (const wchar_t* candidate : m_folders) {
        if (!candidate[0])
            continue;
        CreateFolderChain(candidate);
        if (!FormatDumpPath(candidate, path, MAX_PATH))
            continue;
        file.Reset(
            CreateFileW(path, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) {
            folder = candidate;
            break;
        }
    }
    if (!folder)
        return false;
    // The file is deleted when its handle closes until the dump is complete: a
    // dump that never finishes (dbghelp stuck on a lock the crashed thread
    // holds, the process ended after the time-out) leaves no cut-off file,
    // which would only mislead and push a good dump out of the newest five.
    FILE_DISPOSITION_INFO disposition = {TRUE};
    SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof(disposition));

    // The exception's copies live in this process: ClientPointers FALSE.
    EXCEPTION_POINTERS pointers = {&m_record, &m_context};
    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = m_crashedThreadId;
    exception.ExceptionPointers = &pointers;
    exception.ClientPointers = FALSE;
    const BOOL written =
        writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), MiniDumpNormal, &exception, nullptr, nullptr);
    if (written) {
        disposition.DeleteFile = FALSE;
        SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof(disposition));
    }
    file.Close();
    if (!written) {
        DeleteFileW(path); // where the file could not be marked for deletion
        return false;
    }
    PruneOldDumps(folder);
    return true;
}
