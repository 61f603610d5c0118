// The crash dump writer inside a process that really crashes: crash_probe.exe
// installs it as the client does and crashes on purpose, with LOCALAPPDATA
// pointed at a throw-away folder. The dumps it leaves are read back here the
// way a debugger reads them.

#include "app/CrashDumpWriter.h"
#include "support/TestSupport.h"

#include <dbghelp.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <regex>

namespace {

constexpr DWORD kCrashTimeoutMs = 60000;
// "MDMP", the first four bytes of every minidump.
constexpr ULONG32 kMinidumpSignature = 0x504D444D;

// Sets an environment variable of this process (and so of the programs it
// starts) and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const std::wstring& value) : m_name(name)
    {
        wchar_t old[MAX_PATH];
        const DWORD length = GetEnvironmentVariableW(name, old, MAX_PATH);
        m_hadValue = length > 0 && length < MAX_PATH;
        if (m_hadValue)
            m_old = old;
        SetEnvironmentVariableW(name, value.c_str());
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(m_name, m_hadValue ? m_old.c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const wchar_t* m_name;
    std::wstring m_old;
    bool m_hadValue = false;
};

// What a dump says about its crash, read through its stream directory.
struct DumpFacts {
    bool signature = false;
    bool exceptionStream = false;
    DWORD threadId = 0;
    DWORD code = 0;
    ULONG64 address = 0;
    std::wstring faultingModule; // the module whose image holds the address
};

template <class T> bool ReadAt(const std::string& bytes, RVA offset, T* out)
{
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        return false;
    std::memcpy(out, bytes.data() + offset, sizeof(T));
    return true;
}

std::wstring ReadDumpString(const std::string& bytes, RVA offset)
{
    ULONG32 length = 0;
    if (!ReadAt(bytes, offset, &length) || offset + 4 + length > bytes.size())
        return L"";
    std::wstring text(length / 2, L'\0');
    std::memcpy(text.data(), bytes.data() + offset + 4, length / 2 * 2);
    return text;
}

DumpFacts ReadDump(const std::string& bytes)
{
    DumpFacts facts;
    MINIDUMP_HEADER header;
    if (!ReadAt(bytes, 0, &header) || header.Signature != kMinidumpSignature)
        return facts;
    facts.signature = true;
    MINIDUMP_LOCATION_DESCRIPTOR modules = {};
    for (ULONG32 i = 0; i < header.NumberOfStreams; ++i) {
        MINIDUMP_DIRECTORY entry;
        if (!ReadAt(bytes, header.StreamDirectoryRva + i * sizeof(entry), &entry))
            return facts;
        if (entry.StreamType == ExceptionStream) {
            MINIDUMP_EXCEPTION_STREAM stream;
            if (ReadAt(bytes, entry.Location.Rva, &stream)) {
                facts.exceptionStream = true;
                facts.threadId = stream.ThreadId;
                facts.code = stream.ExceptionRecord.ExceptionCode;
                facts.address = stream.ExceptionRecord.ExceptionAddress;
            }
        } else if (entry.StreamType == ModuleListStream) {
            modules = entry.Location;
        }
    }
    ULONG32 count = 0;
    if (facts.exceptionStream && ReadAt(bytes, modules.Rva, &count)) {
        for (ULONG32 i = 0; i < count; ++i) {
            MINIDUMP_MODULE module;
            if (!ReadAt(bytes, modules.Rva + 4 + i * sizeof(module), &module))
                break;
            if (facts.address >= module.BaseOfImage && facts.address < module.BaseOfImage + module.SizeOfImage)
                facts.faultingModule = ReadDumpString(bytes, module.ModuleNameRva);
        }
    }
    return facts;
}

bool SetWriteTime(const std::wstring& path, const SYSTEMTIME& time)
{
    FILETIME fileTime;
    if (!SystemTimeToFileTime(&time, &fileTime))
        return false;
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const BOOL set = SetFileTime(file, nullptr, nullptr, &fileTime);
    CloseHandle(file);
    return set;
}

// A throw-away %LOCALAPPDATA% (below may name folders inside it that do not
// exist yet) and crash_probe.exe run against it.
class CrashProbe {
public:
    explicit CrashProbe(const std::wstring& below = L"")
        : m_localAppDataPath(below.empty() ? m_localAppData.Path() : m_localAppData.File(below)),
          m_environment(L"LOCALAPPDATA", m_localAppDataPath)
    {}

    const std::wstring& LocalAppData() const { return m_localAppDataPath; }
    std::wstring DumpFolder() const { return m_localAppDataPath + L"\\" + CrashDumpWriter::kSubFolder; }
    // Runs the probe to its end; false when it did not end within waitMs.
    bool Run(const std::wstring& arguments, DWORD waitMs = kCrashTimeoutMs)
    {
        test::ChildProcess probe;
        if (!probe.Start(test::ProgramFolder() + L"\\crash_probe.exe", arguments))
            return false;
        if (!probe.WaitForExit(waitMs))
            return false;
        exitCode = probe.ExitCode();
        processId = probe.Id();
        mainThreadId = probe.MainThreadId();
        return true;
    }

    DWORD exitCode = 0;
    DWORD processId = 0;
    DWORD mainThreadId = 0;

private:
    test::TempFolder m_localAppData;
    std::wstring m_localAppDataPath;
    ScopedEnvironment m_environment;
};

// The .dmp files in folder, by name.
std::vector<std::wstring> DumpsIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file() && entry.path().extension() == L".dmp")
            names.push_back(entry.path().filename().wstring());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Everything in folder, by name (empty when there is no folder).
std::vector<std::wstring> EntriesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().wstring());
    return names;
}

// The one dump of processId in folder, read; a failure when there is not
// exactly one dump or it is not a minidump with an exception.
DumpFacts TheDumpOf(const std::wstring& folder, DWORD processId)
{
    const std::vector<std::wstring> dumps = DumpsIn(folder);
    EXPECT_EQ(dumps.size(), 1u) << testing::PrintToString(folder);
    if (dumps.size() != 1)
        return {};
    const std::wregex name(L"vorn-20[0-9]{6}-[0-9]{6}-" + std::to_wstring(processId) + L"\\.dmp");
    EXPECT_TRUE(std::regex_match(dumps[0], name)) << testing::PrintToString(dumps[0]);
    const DumpFacts facts = ReadDump(test::ReadWholeFile(folder + L"\\" + dumps[0]));
    EXPECT_TRUE(facts.signature) << "the file does not start with MDMP";
    EXPECT_TRUE(facts.exceptionStream) << "the dump has no exception stream";
    return facts;
}

// The code crash_probe's lock modes hand to the writer.
constexpr DWORD kHandedCode = 0xE0000BAD;

} // namespace

// One dump of what ended the process, and the end it would have had without
// the writer (exit code 0: not checked).
void ExpectOneDumpAndTheUsualEnd(const wchar_t* mode, DWORD code, DWORD exitCode, bool onMainThread)
{
    SCOPED_TRACE(testing::Message() << "crash_probe " << testing::PrintToString(std::wstring(mode)));
    CrashProbe probe;
    ASSERT_TRUE(probe.Run(mode)) << "the crashed probe did not end";
    if (exitCode) {
        EXPECT_EQ(probe.exitCode, exitCode) << "the process ends as it would without the writer";
    }

    const DumpFacts facts = TheDumpOf(probe.DumpFolder(), probe.processId);
    EXPECT_EQ(facts.code, code) << std::hex << facts.code;
    EXPECT_EQ(facts.threadId == probe.mainThreadId, onMainThread)
        << "the exception is recorded on the thread that crashed (" << facts.threadId << ")";
    EXPECT_TRUE(facts.faultingModule.ends_with(L"\\crash_probe.exe"))
        << "the exception address " << std::hex << facts.address << " lies in "
        << testing::PrintToString(facts.faultingModule);
}

TEST(CrashDump, ACrashOnAnyThreadTerminateAndAbortEachLeaveOneDumpAndTheUsualEnd)
{
    {
        CrashProbe probe;
        ASSERT_TRUE(probe.Run(L""));
        EXPECT_EQ(probe.exitCode, 0u) << "the writer was not installed, or its thread did not load dbghelp";
        EXPECT_FALSE(std::filesystem::exists(probe.DumpFolder())) << "no folder is made before a crash";
    }
    ExpectOneDumpAndTheUsualEnd(L"main", EXCEPTION_ACCESS_VIOLATION, EXCEPTION_ACCESS_VIOLATION, true);
    ExpectOneDumpAndTheUsualEnd(L"worker", EXCEPTION_ACCESS_VIOLATION, EXCEPTION_ACCESS_VIOLATION, false);
    // The filter runs with almost no stack left. What Wine does after it, with
    // or without the writer, may run out of the little there is and end the
    // process with 0 instead of the exception's code, depending only on where
    // the last frame ended: the exit code is not the writer's here.
    ExpectOneDumpAndTheUsualEnd(L"stack-overflow", EXCEPTION_STACK_OVERFLOW, 0, true);
    // Terminate: the runtime reports the exception and aborts; the abort
    // writes no second dump. Both end with exit code 3.
    ExpectOneDumpAndTheUsualEnd(L"terminate", CrashDumpWriter::kTerminateCode, 3, true);
    ExpectOneDumpAndTheUsualEnd(L"abort", CrashDumpWriter::kAbortCode, 3, true);
}

TEST(CrashDump, ACrashUnderALockTheDumpNeedsEndsAfterTheTimeOutAndALateDumpIsOfThatCrash)
{
    // The probe's own time-out, far below the client's: the probe must end well
    // before the client's time-out would let it.
    const std::wstring timeout = L" 2000";
    const DWORD waitMs = CrashDumpWriter::kWriteTimeoutMs / 2;
    {
        // The heap is locked by the crashed thread, so the writer cannot finish
        // until that thread, having stopped waiting, overwrites its stack and
        // lets the heap go. The dump written then is still of the crash.
        CrashProbe probe;
        ASSERT_TRUE(probe.Run(L"heap-lock" + timeout, waitMs)) << "the crashed thread waited past its time-out";
        EXPECT_EQ(probe.exitCode, 100u) << "100 + the dumps there were when the crashed thread stopped waiting";
        const DumpFacts facts = TheDumpOf(probe.DumpFolder(), probe.processId);
        EXPECT_EQ(facts.code, kHandedCode) << std::hex << facts.code;
        EXPECT_NE(facts.threadId, probe.mainThreadId);
        EXPECT_TRUE(facts.faultingModule.ends_with(L"\\crash_probe.exe"))
            << "the exception address " << std::hex << facts.address << " lies in "
            << testing::PrintToString(facts.faultingModule);
    }
    {
        // Under the loader's lock dbghelp cannot write the dump here; the process
        // still ends, and leaves no cut-off file behind.
        CrashProbe probe;
        ASSERT_TRUE(probe.Run(L"loader-lock" + timeout, waitMs)) << "the crashed thread waited past its time-out";
        EXPECT_EQ(probe.exitCode, kHandedCode);
        EXPECT_EQ(EntriesIn(probe.DumpFolder()), std::vector<std::wstring>{});
    }
}

TEST(CrashDump, AMissingLocalAppDataIsMadeAndAnUnusableOneFallsBackToTheTemporaryFolder)
{
    {
        // A profile whose local application data folder has not been made yet.
        CrashProbe probe(L"Users\\新用户\\AppData\\Local");
        ASSERT_TRUE(probe.Run(L"main"));
        EXPECT_EQ(probe.exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        EXPECT_EQ(TheDumpOf(probe.DumpFolder(), probe.processId).code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    }
    {
        // %LOCALAPPDATA% below a file: no folder can be made there.
        test::TempFolder temp;
        const ScopedEnvironment tmp(L"TMP", temp.Path());
        const ScopedEnvironment tempVariable(L"TEMP", temp.Path());
        CrashProbe probe(L"file\\Local");
        ASSERT_TRUE(test::WriteFileBytes(probe.LocalAppData().substr(0, probe.LocalAppData().rfind(L'\\')), "x"));
        ASSERT_TRUE(probe.Run(L"main"));
        EXPECT_EQ(probe.exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
        EXPECT_EQ(TheDumpOf(temp.File(CrashDumpWriter::kSubFolder), probe.processId).code,
                  static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
    }
}

TEST(CrashDump, KeepsTheNewestFiveDumpsAndNothingElseIsTouched)
{
    CrashProbe probe;
    const std::wstring folder = probe.DumpFolder();
    ASSERT_TRUE(std::filesystem::create_directories(folder + L"\\older"));
    // Five dumps of earlier crashes, a day apart, the first one the oldest; a
    // text file older still and a dump in a folder below are not the writer's.
    SYSTEMTIME time = {2025, 3, 0, 1, 12, 0, 0, 0};
    const std::wstring others[] = {L"notes.txt", L"older\\vorn-20250101-120000-1.dmp"};
    for (const std::wstring& other : others) {
        ASSERT_TRUE(test::WriteFileBytes(folder + L"\\" + other, "other"));
        ASSERT_TRUE(SetWriteTime(folder + L"\\" + other, time));
    }
    std::vector<std::wstring> earlier;
    for (int day = 2; day <= 6; ++day) {
        time.wDay = static_cast<WORD>(day);
        // Names that do not sort by age: only the file times count.
        earlier.push_back(L"vorn-2025030" + std::to_wstring(8 - day) + L"-120000-" + std::to_wstring(day) + L".dmp");
        ASSERT_TRUE(test::WriteFileBytes(folder + L"\\" + earlier.back(), "MDMP"));
        ASSERT_TRUE(SetWriteTime(folder + L"\\" + earlier.back(), time));
    }

    ASSERT_TRUE(probe.Run(L"main"));
    EXPECT_EQ(probe.exitCode, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));

    std::vector<std::wstring> expected(earlier.begin() + 1, earlier.end());
    const std::vector<std::wstring> dumps = DumpsIn(folder);
    for (const std::wstring& dump : dumps) {
        if (dump.ends_with(L"-" + std::to_wstring(probe.processId) + L".dmp"))
            expected.push_back(dump);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dumps, expected) << "the new dump and the four newest earlier ones stay";
    EXPECT_EQ(dumps.size(), static_cast<size_t>(CrashDumpWriter::kKeptDumps));
    for (const std::wstring& other : others)
        EXPECT_TRUE(std::filesystem::exists(folder + L"\\" + other)) << testing::PrintToString(other);
}
