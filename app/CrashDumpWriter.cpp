#include "app/CrashDumpWriter.h"

#include <dbghelp.h>

#include <atomic>

namespace {

// The system calls the filter without any context of ours, so the one installed
// writer is found here.
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

class ScopedFileHandle {
public:
    explicit ScopedFileHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedFileHandle() { Close(); }
    ScopedFileHandle(const ScopedFileHandle&) = delete;
    ScopedFileHandle& operator=(const ScopedFileHandle&) = delete;
    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    void Close()
    {
        if (Valid())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};

class ScopedFind {
public:
    ScopedFind(const wchar_t* pattern, WIN32_FIND_DATAW* found) : m_find(FindFirstFileW(pattern, found)) {}
    ~ScopedFind()
    {
        if (Valid())
            FindClose(m_find);
    }
    ScopedFind(const ScopedFind&) = delete;
    ScopedFind& operator=(const ScopedFind&) = delete;
    bool Valid() const { return m_find != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW* found) { return FindNextFileW(m_find, found) != FALSE; }

private:
    HANDLE m_find;
};

class ScopedLibrary {
public:
    explicit ScopedLibrary(const wchar_t* path) : m_module(LoadLibraryW(path)) {}
    ~ScopedLibrary()
    {
        if (m_module)
            FreeLibrary(m_module);
    }
    ScopedLibrary(const ScopedLibrary&) = delete;
    ScopedLibrary& operator=(const ScopedLibrary&) = delete;
    FARPROC Find(const char* name) const { return m_module ? GetProcAddress(m_module, name) : nullptr; }

private:
    HMODULE m_module;
};

} // namespace

CrashDumpWriter::CrashDumpWriter()
{
    if (!PreparePaths())
        return;
    m_dumpDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_dumpDone)
        return;
    CrashDumpWriter* none = nullptr;
    if (!g_installedWriter.compare_exchange_strong(none, this))
        return;
    m_previous = SetUnhandledExceptionFilter(&CrashDumpWriter::OnUnhandledException);
    m_installed = true;
}

CrashDumpWriter::~CrashDumpWriter()
{
    if (m_installed) {
        SetUnhandledExceptionFilter(m_previous);
        g_installedWriter = nullptr;
    }
    if (m_dumpDone)
        CloseHandle(m_dumpDone);
}

bool CrashDumpWriter::PreparePaths()
{
    // LOCALAPPDATA is set for every user from Vista on; reading it keeps the shell
    // out of start-up.
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", m_folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    m_baseLength = length;
    while (m_baseLength && m_folder[m_baseLength - 1] == L'\\')
        m_folder[--m_baseLength] = L'\0';
    if (m_baseLength == 0)
        return false;

    TextBuffer folder(m_folder + m_baseLength, MAX_PATH - m_baseLength);
    if (!folder.Append(L"\\") || !folder.Append(kSubFolder))
        return false;
    if (m_baseLength + folder.Length() + kLongestDumpName >= MAX_PATH)
        return false;

    // The system's own dbghelp.dll by its full path: a copy beside the program
    // must never be the one loaded.
    const UINT systemLength = GetSystemDirectoryW(m_dbghelpPath, MAX_PATH);
    if (systemLength == 0 || systemLength >= MAX_PATH)
        return false;
    TextBuffer dbghelp(m_dbghelpPath + systemLength, MAX_PATH - systemLength);
    return dbghelp.Append(L"\\dbghelp.dll");
}

LONG WINAPI CrashDumpWriter::OnUnhandledException(EXCEPTION_POINTERS* exception)
{
    if (CrashDumpWriter* writer = g_installedWriter.load())
        writer->HandleCrash(exception);
    // Handing the exception on lets the system's own last handler do what it does
    // without us: Windows Error Reporting (or an attached debugger) sees the crash,
    // and the process ends with the exception's code as its exit code.
    return EXCEPTION_CONTINUE_SEARCH;
}

void CrashDumpWriter::HandleCrash(EXCEPTION_POINTERS* exception)
{
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    if (self == m_writerThread)
        return; // writing the dump crashed: nothing more to do here
    const LONG first = InterlockedCompareExchange(&m_crashedThread, self, 0);
    if (first == self)
        return; // a crash inside this filter, on the thread that crashed first
    if (first != 0) {
        // Another thread crashed first and its dump is being written; this thread
        // waits for it, so that the process does not end half-way through.
        WaitForSingleObject(m_dumpDone, kWriteTimeoutMs);
        return;
    }

    // The dump is written on a fresh thread with a whole stack of its own: the
    // crashed thread may have no stack left (a stack overflow), and dbghelp needs
    // plenty. The crashed thread only waits, and records itself in the dump as the
    // thread of the exception.
    DumpRequest request{this, exception, GetCurrentThreadId()};
    if (HANDLE thread = CreateThread(nullptr, 0, &CrashDumpWriter::WriterThread, &request, 0, nullptr)) {
        WaitForSingleObject(thread, kWriteTimeoutMs);
        CloseHandle(thread);
    } else if (exception->ExceptionRecord->ExceptionCode != EXCEPTION_STACK_OVERFLOW) {
        WriteDump(request);
    }
    SetEvent(m_dumpDone);
}

DWORD WINAPI CrashDumpWriter::WriterThread(LPVOID param)
{
    const DumpRequest& request = *static_cast<DumpRequest*>(param);
    InterlockedExchange(&request.writer->m_writerThread, static_cast<LONG>(GetCurrentThreadId()));
    return request.writer->WriteDump(request) ? 0 : 1;
}

bool CrashDumpWriter::WriteDump(const DumpRequest& request) const
{
    // dbghelp is loaded only now: a client that never crashes never maps it.
    const ScopedLibrary dbghelp(m_dbghelpPath);
    const auto writeDump =
        reinterpret_cast<decltype(&MiniDumpWriteDump)>(reinterpret_cast<void*>(dbghelp.Find("MiniDumpWriteDump")));
    if (!writeDump)
        return false;

    CreateFolders();
    wchar_t path[MAX_PATH];
    if (!FormatDumpPath(path, MAX_PATH))
        return false;
    ScopedFileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return false;

    // The exception's records live in this process: ClientPointers FALSE.
    MINIDUMP_EXCEPTION_INFORMATION exception = {};
    exception.ThreadId = request.crashedThreadId;
    exception.ExceptionPointers = request.exception;
    exception.ClientPointers = FALSE;
    const BOOL written = writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.Get(), MiniDumpNormal, &exception,
                                   nullptr, nullptr);
    file.Close();
    if (!written) {
        DeleteFileW(path); // a cut-off dump only misleads
        return false;
    }
    PruneOldDumps();
    return true;
}

void CrashDumpWriter::CreateFolders() const
{
    // Level by level below %LOCALAPPDATA%; a level that is there already fails
    // harmlessly.
    wchar_t level[MAX_PATH];
    TextBuffer copy(level, MAX_PATH);
    if (!copy.Append(m_folder))
        return;
    for (size_t i = m_baseLength + 1; level[i]; ++i) {
        if (level[i] == L'\\') {
            level[i] = L'\0';
            CreateDirectoryW(level, nullptr);
            level[i] = L'\\';
        }
    }
    CreateDirectoryW(level, nullptr);
}

bool CrashDumpWriter::FormatDumpPath(wchar_t* path, size_t capacity) const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    TextBuffer text(path, capacity);
    return text.Append(m_folder) && text.Append(L"\\") && text.Append(kDumpPrefix) && text.AppendNumber(now.wYear, 4) &&
           text.AppendNumber(now.wMonth, 2) && text.AppendNumber(now.wDay, 2) && text.Append(L"-") &&
           text.AppendNumber(now.wHour, 2) && text.AppendNumber(now.wMinute, 2) && text.AppendNumber(now.wSecond, 2) &&
           text.Append(L"-") && text.AppendNumber(GetCurrentProcessId()) && text.Append(kDumpSuffix);
}

void CrashDumpWriter::PruneOldDumps() const
{
    wchar_t pattern[MAX_PATH];
    TextBuffer patternText(pattern, MAX_PATH);
    if (!patternText.Append(m_folder) || !patternText.Append(L"\\*") || !patternText.Append(kDumpSuffix))
        return;

    // Deletes the oldest dump while there are more than kKeptDumps; one that
    // cannot be deleted ends the pruning.
    for (;;) {
        WIN32_FIND_DATAW found;
        ScopedFind find(pattern, &found);
        if (!find.Valid())
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
        } while (find.Next(&found));
        if (count <= kKeptDumps)
            return;

        wchar_t path[MAX_PATH];
        TextBuffer pathText(path, MAX_PATH);
        if (!pathText.Append(m_folder) || !pathText.Append(L"\\") || !pathText.Append(oldest) || !DeleteFileW(path))
            return;
    }
}
