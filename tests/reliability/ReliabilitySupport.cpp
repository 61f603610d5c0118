#include "ReliabilitySupport.h"

#include "tests/browser/ProcessResources.h"

#include <tlhelp32.h>

namespace reliability {

const char* const kClosedPortal = "[Portal]\r\nHost=127.0.0.1:9\r\nForumHost=127.0.0.1:9\r\nPayHost=127.0.0.1:9\r\n";

std::string Random::Bytes(size_t count)
{
    std::string bytes(count, '\0');
    for (char& b : bytes)
        b = static_cast<char>(Next() & 0xFF);
    return bytes;
}

std::string Utf16(const std::string& ascii, bool bom)
{
    std::string bytes = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (char c : ascii) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    return bytes;
}

bool InstalledClient::Start()
{
    if (!m_process.Start(m_folder + L"\\vorn.exe"))
        return false;
    frame = m_process.WaitForWindow(L"zarvoostrel", kStartTimeoutMs);
    launcher = m_process.WaitForWindow(L"zarvo_back", kStartTimeoutMs);
    return frame && launcher;
}

bool InstalledClient::CloseByCommand()
{
    PostMessageW(frame, 2277, 5557, 0);
    return WaitForExit();
}

int RunningClients()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, L"vorn.exe") == 0)
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

GuiCounts GuiCounts::Measure()
{
    GuiCounts counts;
    const test::ProcessResources resources = test::ProcessResources::Measure();
    counts.kernel = resources.kernelObjects;
    counts.gdi = resources.gdiObjects;
    counts.user = resources.userObjects;
    counts.gdiCounted = counts.gdi != 0;
    if (!counts.gdiCounted) {
        counts.gdi = resources.wineGdiObjects;
        counts.gdiCounted = counts.gdi != 0;
    }
    if (counts.user == 0)
        counts.user = resources.windows;
    return counts;
}

} // namespace reliability
