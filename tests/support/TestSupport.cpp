#include "support/TestSupport.h"

#include "app/gameApp.h"
#include "ui/framework/DibSection.h"
#include "ui/framework/ScopedGdi.h"

#include <gdiplus.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

// A crash fails the test program: it ends with the exception's code. Left to
// itself, Wine starts its debugger, which ends the program with exit code 0,
// and the crash would count as a pass.
LONG WINAPI EndWithTheExceptionCode(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    std::fprintf(stderr, "unhandled exception 0x%08lX at %p\n", record->ExceptionCode, record->ExceptionAddress);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), record->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

const struct CrashesFailTheProgram {
    CrashesFailTheProgram() { SetUnhandledExceptionFilter(&EndWithTheExceptionCode); }
} crashesFailTheProgram;

} // namespace

namespace test {

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpPending();
        if (done())
            return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return done();
        // Wake for any message; re-check at least every 10 ms for conditions
        // that other threads change without sending us a message.
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 10));
        MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
}

ThreadManager::ThreadManager()
{
    m_attached = m_manager.AttachThread();
    g_hInstance = GetModuleHandleW(nullptr);
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &input, nullptr);
}

ThreadManager::~ThreadManager()
{
    if (m_attached)
        CAppManager::DetachThread(m_manager.m_threadId);
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
}

TempFolder::TempFolder()
{
    static LONG counter = 0;
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    m_path = std::wstring(base) + L"vorn-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
             std::to_wstring(InterlockedIncrement(&counter));
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
    CreateDirectoryW(m_path.c_str(), nullptr);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    // Never throws: a path the file functions cannot follow is left behind.
    std::filesystem::recursive_directory_iterator it(m_path, ignored), end;
    for (; it != end; it.increment(ignored))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove_all(m_path, ignored);
}

std::wstring ProgramFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

bool CopyProgram(const std::wstring& name, const std::wstring& toFolder)
{
    return CopyFileW((ProgramFolder() + L"\\" + name).c_str(), (toFolder + L"\\" + name).c_str(), FALSE);
}

std::wstring ReadIni(const std::wstring& path, const wchar_t* section, const wchar_t* key)
{
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"", value, 1024, path.c_str());
    return value;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

ChildProcess::~ChildProcess()
{
    if (m_info.hProcess) {
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_info.hProcess, 1);
            WaitForSingleObject(m_info.hProcess, 5000);
        }
        CloseHandle(m_info.hProcess);
    }
    if (m_info.hThread)
        CloseHandle(m_info.hThread);
}

bool ChildProcess::Start(const std::wstring& exePath, const std::wstring& arguments, bool suspended)
{
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    const std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\'));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          suspended ? CREATE_SUSPENDED : 0, nullptr, folder.c_str(), &startup, &m_info);
}

bool ChildProcess::WaitForExit(DWORD timeoutMs)
{
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_info.hProcess)
        GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

HWND ChildProcess::WaitForWindow(const wchar_t* className, DWORD timeoutMs)
{
    HWND found = nullptr;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!found) {
        for (HWND hwnd : TopLevelWindows(m_info.dwProcessId, className)) {
            if (IsWindowVisible(hwnd)) {
                found = hwnd;
                break;
            }
        }
        if (found || GetTickCount64() >= deadline)
            break;
        // Wakes early when the process ends instead of showing a window.
        if (WaitForSingleObject(m_info.hProcess, 20) == WAIT_OBJECT_0)
            break;
    }
    return found;
}

namespace {
struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    if (owner == search->processId && (!search->className || wcscmp(name, search->className) == 0))
        search->found.push_back(hwnd);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindows(DWORD processId, const wchar_t* className)
{
    WindowSearch search{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT WindowRect(HWND hwnd)
{
    RECT r = {};
    GetWindowRect(hwnd, &r);
    return r;
}

std::vector<DWORD> ScreenPixels(const RECT& r)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    void* bits = nullptr;
    ScopedGetDC screen(nullptr);
    ScopedMemoryDC memory(screen.Get());
    ScopedGdiObject<HBITMAP> bitmap(CreateDib32(screen.Get(), w, h, DibRows::TopDown, &bits));
    std::vector<DWORD> pixels;
    if (bitmap.Get() && memory.Get()) {
        ScopedSelectObject select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, w, h, screen.Get(), r.left, r.top, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + w * h);
    }
    return pixels;
}

} // namespace test

namespace test {

namespace {
std::string PortalDir()
{
    char dir[1024] = {};
    return GetEnvironmentVariableA("VORN_PORTAL_DIR", dir, sizeof(dir)) ? dir : "";
}

} // namespace

std::wstring UnixToWindowsPath(const std::string& unixPath)
{
    std::wstring path = L"Z:";
    for (char c : unixPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

std::wstring PortalHost()
{
    const std::string dir = PortalDir();
    if (dir.empty())
        return {};
    std::string port = ReadWholeFile(UnixToWindowsPath(dir + "/port"));
    while (!port.empty() && (port.back() == '\n' || port.back() == '\r'))
        port.pop_back();
    if (port.empty())
        return {};
    return L"127.0.0.1:" + std::wstring(port.begin(), port.end());
}

std::vector<std::string> PortalRequests()
{
    std::vector<std::string> lines;
    const std::string dir = PortalDir();
    if (dir.empty())
        return lines;
    const std::string log = ReadWholeFile(UnixToWindowsPath(dir + "/requests.log"));
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        lines.push_back(log.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace test

namespace test {

std::wstring ArtifactFolder()
{
    // Test programs live in build/bin; artefacts go beside that folder.
    std::wstring folder = test::ProgramFolder();
    folder = folder.substr(0, folder.find_last_of(L'\\')) + L"\\artifacts";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

namespace {
bool PngEncoder(CLSID* clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    if (bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, bytes, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}
} // namespace

bool SaveScreenRect(const RECT& r, const std::wstring& path)
{
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, previous);
    bool saved = false;
    {
        Gdiplus::Bitmap image(bitmap, nullptr);
        CLSID png;
        saved = PngEncoder(&png) && image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

} // namespace test

namespace test {

namespace {
constexpr const wchar_t* kOpenCommandKeys[] = {L"Software\\Classes\\http\\shell\\open\\command",
                                               L"Software\\Classes\\https\\shell\\open\\command"};

std::wstring ReadDefaultValue(const wchar_t* key)
{
    wchar_t value[1024] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, nullptr, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS)
        return {};
    return value;
}

bool WriteDefaultValue(const wchar_t* key, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}
} // namespace

UrlCapture::UrlCapture()
{
    m_log = m_folder.File(L"urls.log");
    SetEnvironmentVariableW(L"VORN_URL_LOG", m_log.c_str());
    const std::wstring command = L"\"" + ProgramFolder() + L"\\url_recorder.exe\" \"%1\"";
    m_ready = true;
    for (const wchar_t* key : kOpenCommandKeys) {
        m_previous.emplace_back(key, ReadDefaultValue(key));
        m_ready = WriteDefaultValue(key, command) && m_ready;
    }
}

UrlCapture::~UrlCapture()
{
    for (const auto& [key, old] : m_previous) {
        if (old.empty())
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        else
            WriteDefaultValue(key.c_str(), old);
    }
    SetEnvironmentVariableW(L"VORN_URL_LOG", nullptr);
}

std::vector<std::wstring> UrlCapture::Urls() const
{
    std::vector<std::wstring> urls;
    const std::string bytes = ReadWholeFile(m_log);
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(start, end - start);
        wchar_t wide[4096] = {};
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), wide, 4095);
        urls.emplace_back(wide);
        start = end + 1;
    }
    return urls;
}

bool UrlCapture::WaitFor(size_t count, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Urls().size() >= count; }, timeoutMs);
}

} // namespace test

namespace test {

std::string ReadWholeFile(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

UiThread::UiThread()
{
    m_thread = CreateThread(nullptr, 0, UiThreadMain, &manager, 0, nullptr);
    ready = m_thread && manager.WaitUntilReady(CHtmlAppManager::kReadyTimeoutMs, m_thread);
}

bool UiThread::Stop()
{
    if (!m_thread)
        return true;
    PostThreadMessageW(manager.m_threadId, WM_QUIT, 0, 0);
    const bool ended = PumpUntil([&] { return WaitForSingleObject(m_thread, 0) == WAIT_OBJECT_0; }, 10000);
    CloseHandle(m_thread);
    m_thread = nullptr;
    return ended;
}

} // namespace test

namespace test {

void FreshPlayerSettings::Forget()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Morvane网页版");
    std::error_code ignored;
    const std::wstring folder = ScreenshotFolder();
    if (!folder.empty())
        std::filesystem::remove_all(folder, ignored);
}

std::wstring FreshPlayerSettings::ScreenshotFolder()
{
    PWSTR pictures = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &pictures)) && pictures)
        folder = std::wstring(pictures) + L"\\Morvane网页版";
    CoTaskMemFree(pictures);
    return folder;
}

std::vector<std::wstring> FreshPlayerSettings::Screenshots()
{
    std::vector<std::wstring> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(ScreenshotFolder(), error))
        if (entry.path().extension() == L".png")
            names.push_back(entry.path().filename().wstring());
    return names;
}

SIZE PngSize(const std::wstring& path)
{
    // The signature, then the IHDR chunk: length, type, width and height big-endian.
    const std::string bytes = ReadWholeFile(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return {0, 0};
    const auto number = [&](size_t at) {
        LONG value = 0;
        for (size_t i = at; i < at + 4; ++i)
            value = (value << 8) | static_cast<unsigned char>(bytes[i]);
        return value;
    };
    return {number(16), number(20)};
}

size_t Picture::Differences(const Picture& other) const
{
    if (width != other.width || height != other.height)
        return std::max(pixels.size(), other.pixels.size());
    size_t count = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        count += pixels[i] != other.pixels[i];
    return count;
}

Picture ReadPicture(const std::wstring& path)
{
    Picture picture;
    Gdiplus::Bitmap bitmap(path.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return picture;
    const int width = static_cast<int>(bitmap.GetWidth());
    const int height = static_cast<int>(bitmap.GetHeight());
    Gdiplus::Rect all(0, 0, width, height);
    Gdiplus::BitmapData data = {};
    if (width <= 0 || height <= 0 ||
        bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        for (int x = 0; x < width; ++x)
            picture.pixels[static_cast<size_t>(y) * width + x] = row[x] & 0xFFFFFF;
    }
    bitmap.UnlockBits(&data);
    return picture;
}

ScreenMarker::ScreenMarker(const RECT& r) : m_brush(CreateSolidBrush(kColour))
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"vorn_test_marker";
    RegisterClassW(&windowClass); // fails harmlessly when registered already
    m_hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"vorn_test_marker", L"", WS_POPUP,
                             r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    if (!m_hwnd)
        return;
    SetClassLongPtrW(m_hwnd, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(m_brush));
    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    UpdateWindow(m_hwnd);
    PumpPending();
}

ScreenMarker::~ScreenMarker()
{
    if (m_hwnd)
        DestroyWindow(m_hwnd);
    if (m_brush)
        DeleteObject(m_brush);
}

} // namespace test
