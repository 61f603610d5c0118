#pragma once
// Shared by the reliability tests: generated hostile input, the installed client
// as its own process, and what the test process holds (GDI, USER, handles).

#include "support/TestSupport.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace reliability {

// A small deterministic generator: the same seed gives the same files on every run.
class Random {
public:
    explicit Random(uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    uint32_t Below(uint32_t bound) { return bound ? Next() % bound : 0; }
    std::string Bytes(size_t count);

private:
    uint32_t m_state;
};

// UTF-16 little-endian bytes of an ASCII text, with or without the byte-order mark.
std::string Utf16(const std::string& ascii, bool bom);

// The [Portal] section that points every page at a port that refuses at once.
extern const char* const kClosedPortal;

// The client installed in a folder and started as its own process.
class InstalledClient {
public:
    explicit InstalledClient(const std::wstring& folder) : m_folder(folder) {}
    bool Install() { return test::CopyProgram(L"vorn.exe", m_folder); }
    // Starts it and waits for the game frame and the visible launcher.
    bool Start();
    // Ends it through the frame's close command and waits for its exit.
    bool CloseByCommand();
    bool WaitForExit() { return m_process.WaitForExit(kExitTimeoutMs); }
    DWORD ExitCode() const { return m_process.ExitCode(); }
    DWORD Id() const { return m_process.Id(); }

    static constexpr DWORD kStartTimeoutMs = 20000;
    static constexpr DWORD kExitTimeoutMs = 20000;
    HWND frame = nullptr;
    HWND launcher = nullptr;

private:
    std::wstring m_folder;
    test::ChildProcess m_process;
};

// Processes named vorn.exe that run now.
int RunningClients();

// Objects the test process holds. Windows counts GDI and USER objects itself;
// Wine answers 0, so there GDI objects are counted in the process's GDI handle
// table and USER objects as the process's windows.
struct GuiCounts {
    size_t gdi = 0;
    size_t user = 0;
    size_t kernel = 0;
    bool gdiCounted = false;
    static GuiCounts Measure();
};

} // namespace reliability
