// The real client started as its own process in a throw-away install folder.

#include "app/gameApp.h"
#include "support/TestSupport.h"
#include "ui/framework/SystemFunction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 20000;
constexpr UINT WM_FRAMECOMMAND = 2277;
constexpr WPARAM FRAME_CMD_CLOSE = 5557;

class InstalledClient {
public:
    explicit InstalledClient(const test::TempFolder& folder) : m_folder(folder)
    {
        installed = test::CopyProgram(L"vorn.exe", folder.Path());
    }
    bool Start()
    {
        if (!installed || !m_process.Start(m_folder.File(L"vorn.exe")))
            return false;
        frame = m_process.WaitForWindow(L"zarvoostrel", kStartTimeoutMs);
        return frame != nullptr;
    }
    // Closes the frame as a user would and waits for the process to end.
    bool CloseAndWait(UINT msg = WM_CLOSE, WPARAM wParam = 0)
    {
        PostMessageW(frame, msg, wParam, 0);
        return m_process.WaitForExit(kExitTimeoutMs);
    }
    DWORD ExitCode() const { return m_process.ExitCode(); }
    bool Running() { return !m_process.WaitForExit(0); }

    bool installed = false;
    HWND frame = nullptr;

private:
    const test::TempFolder& m_folder;
    test::ChildProcess m_process;
};

std::wstring Ini(const test::TempFolder& folder, const wchar_t* section, const wchar_t* key)
{
    return test::ReadIni(folder.File(L"Config.ini"), section, key);
}

// One full run of the client in the folder: start, close, exit code 0.
void RunOnce(const test::TempFolder& folder)
{
    InstalledClient client(folder);
    ASSERT_TRUE(client.Start()) << "the client showed no frame window";
    ASSERT_TRUE(client.CloseAndWait()) << "the client did not end after its frame was closed";
    EXPECT_EQ(client.ExitCode(), 0u);
}

// What the system reads from a program's file before its first line runs:
// the libraries it imports (lower case), which are loaded with what they
// import in turn, and the header's flags.
struct ProgramImage {
    std::vector<std::string> imports;
    WORD characteristics = 0;
    WORD dllCharacteristics = 0;
};

ProgramImage ReadProgramImage(const std::wstring& path)
{
    const std::string file = test::ReadWholeFile(path);
    auto at = [&](size_t offset, size_t size) { return offset + size <= file.size() ? file.data() + offset : nullptr; };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    const auto* nt =
        dos ? reinterpret_cast<const IMAGE_NT_HEADERS*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS))) : nullptr;
    if (!nt || nt->Signature != IMAGE_NT_SIGNATURE)
        return {};
    ProgramImage image;
    image.characteristics = nt->FileHeader.Characteristics;
    image.dllCharacteristics = nt->OptionalHeader.DllCharacteristics;
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& section = sections[i];
            if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
                return rva - section.VirtualAddress + section.PointerToRawData;
        }
        return file.size();
    };
    std::vector<std::string>& names = image.imports;
    const DWORD table = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t entry = offsetOf(table);; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* import =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(entry, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        const char* name = import && import->Name ? at(offsetOf(import->Name), 1) : nullptr;
        if (!name)
            break;
        std::string lower(name, strnlen(name, file.size() - offsetOf(import->Name)));
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        names.push_back(lower);
    }
    return image;
}

} // namespace

TEST(StartupProcess, SystemLibrariesLoadOnlyWhenFirstNeededAndOnlyFromTheSystem)
{
    const ProgramImage image = ReadProgramImage(test::ProgramFolder() + L"\\vorn.exe");
    const std::vector<std::string>& imports = image.imports;
    ASSERT_NE(std::find(imports.begin(), imports.end(), "gdiplus.dll"), imports.end()) << "the import table was read";
    for (const char* late : {"shell32.dll", "wininet.dll"})
        EXPECT_EQ(std::find(imports.begin(), imports.end(), late), imports.end()) << late << " is imported";

    // Found on first use, from the system folder; what is missing is a failed call.
    ASSERT_EQ(GetModuleHandleW(L"dbghelp.dll"), nullptr) << "a library this program has not loaded";
    EXPECT_NE(FindSystemFunction(L"dbghelp.dll", "MiniDumpWriteDump"), nullptr);
    wchar_t loaded[MAX_PATH] = {}, system[MAX_PATH] = {};
    GetModuleFileNameW(GetModuleHandleW(L"dbghelp.dll"), loaded, MAX_PATH);
    const UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(loaded, system, systemLength), 0) << "loaded from the system folder";
    EXPECT_EQ(FindSystemFunction(L"dbghelp.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(FindSystemFunction(L"no-such-library.dll", "ShellExecuteW"), nullptr);
    // A library that lies only beside the program is not a system library.
    const std::wstring planted = test::ProgramFolder() + L"\\planted-probe.dll";
    ASSERT_TRUE(CopyFileW((test::ProgramFolder() + L"\\module_probe.dll").c_str(), planted.c_str(), FALSE));
    EXPECT_EQ(LoadSystemLibrary(L"planted-probe.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"planted-probe.dll"), nullptr);
    DeleteFileW(planted.c_str());

    // Long sessions with a plug-in in the process may need more than 2 GB of
    // address space on 64-bit Windows, and the client runs as it is under
    // Remote Desktop.
    if (sizeof(void*) == 4) {
        EXPECT_TRUE(image.characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE) << "vorn.exe is large-address aware";
    }
    EXPECT_TRUE(image.dllCharacteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE)
        << "vorn.exe is terminal-server aware";
}

TEST(StartupProcess, ClientsStartedTogetherCountEveryStartAndKeepTheWholeFile)
{
    // Players start a client per account, often all at once: every start is
    // counted, and nothing else in the file is lost or damaged.
    test::TempFolder folder;
    ASSERT_TRUE(test::CopyProgram(L"vorn.exe", folder.Path()));
    ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Config.ini"),
                                     "[Common]\r\nUID=4242\r\nRunCount=0\r\n[Portal]\r\nHost=127.0.0.1:9\r\n"));
    constexpr int kClients = 5;
    constexpr int kRounds = 4;
    for (int round = 1; round <= kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        test::ChildProcess clients[kClients];
        for (test::ChildProcess& client : clients)
            ASSERT_TRUE(client.Start(folder.File(L"vorn.exe"), L"", true));
        for (test::ChildProcess& client : clients)
            client.Resume();
        for (test::ChildProcess& client : clients) {
            const HWND frame = client.WaitForWindow(L"zarvoostrel", kStartTimeoutMs);
            ASSERT_NE(frame, nullptr);
            PostMessageW(frame, WM_CLOSE, 0, 0);
        }
        for (test::ChildProcess& client : clients)
            ASSERT_TRUE(client.WaitForExit(kExitTimeoutMs));
        EXPECT_EQ(Ini(folder, L"Common", L"RunCount"), std::to_wstring(round * kClients));
        EXPECT_EQ(Ini(folder, L"Common", L"UID"), L"4242");
        EXPECT_EQ(Ini(folder, L"Portal", L"Host"), L"127.0.0.1:9");
        EXPECT_EQ(Ini(folder, L"GameInfo", L"Version"), L"1.15");
    }
}

TEST(StartupProcess, FreshInstallWritesVersionAndFirstRun)
{
    test::TempFolder folder;
    RunOnce(folder);
    EXPECT_EQ(Ini(folder, L"GameInfo", L"Version"), L"1.15");
    EXPECT_EQ(Ini(folder, L"Common", L"RunCount"), L"1");
    EXPECT_EQ(Ini(folder, L"Common", L"UID"), L"") << "start-up never writes the user id";
}

TEST(StartupProcess, RunCountCountsOnFromWhatTheFileHolds)
{
    struct Case {
        const char* stored;
        const wchar_t* expected;
    } cases[] = {{"7", L"8"}, {"x", L"1"}, {"-2", L"-1"}, {"2147483647", L"2147483647"}};
    for (const Case& c : cases) {
        test::TempFolder folder;
        ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Config.ini"),
                                         std::string("[Common]\r\nUID=12345\r\nRunCount=") + c.stored + "\r\n"));
        RunOnce(folder);
        EXPECT_EQ(Ini(folder, L"Common", L"RunCount"), c.expected) << "stored " << c.stored;
        EXPECT_EQ(Ini(folder, L"Common", L"UID"), L"12345");
        EXPECT_EQ(Ini(folder, L"GameInfo", L"Version"), L"1.15");
    }
}

TEST(StartupProcess, ASecondInstanceStartsAndEndsOnItsOwn)
{
    test::TempFolder folder;
    InstalledClient first(folder), second(folder);
    ASSERT_TRUE(first.Start());
    HANDLE held = OpenMutexW(SYNCHRONIZE, FALSE, L"vorn");
    EXPECT_NE(held, nullptr) << "the first instance holds the mutex";
    if (held)
        CloseHandle(held);

    ASSERT_TRUE(second.Start()) << "a second client starts normally";
    EXPECT_NE(first.frame, second.frame);
    ASSERT_TRUE(second.CloseAndWait());
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(first.Running()) << "closing the second leaves the first alone";
    EXPECT_TRUE(IsWindow(first.frame));

    ASSERT_TRUE(first.CloseAndWait());
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_EQ(Ini(folder, L"Common", L"RunCount"), L"2");
    EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, L"vorn"), nullptr) << "the mutex went with its holder";
}

TEST(StartupProcess, TheFrameCloseCommandEndsTheClient)
{
    test::TempFolder folder;
    InstalledClient client(folder);
    ASSERT_TRUE(client.Start());
    ASSERT_TRUE(client.CloseAndWait(WM_FRAMECOMMAND, FRAME_CMD_CLOSE));
    EXPECT_EQ(client.ExitCode(), 0u);
}

TEST(StartupProcess, AUiThreadHungPastTheJoinEndsTheClientBeforeAnythingIsFreed)
{
    // hung_ui_client holds its UI thread inside the control's event while the
    // frame closes, and lets it go (to use the application object) only once
    // the main thread destroys that object.
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Config.ini"), "[Portal]\r\nHost=127.0.0.1:9\r\n"));
    ASSERT_TRUE(test::CopyProgram(L"hung_ui_client.exe", folder.Path()));
    test::ChildProcess client;
    ASSERT_TRUE(client.Start(folder.File(L"hung_ui_client.exe")));
    ASSERT_TRUE(client.WaitForExit(gameApp::kUiThreadJoinMs + kStartTimeoutMs + kExitTimeoutMs))
        << "the client did not end with its UI thread hung (or the thread was never held)";
    EXPECT_EQ(client.ExitCode(), 0u) << "3: the UI thread used the destroyed application object";
    EXPECT_EQ(Ini(folder, L"Common", L"RunCount"), L"1") << "Config.ini was written before the end";
    EXPECT_EQ(Ini(folder, L"GameInfo", L"Version"), L"1.15");
}
