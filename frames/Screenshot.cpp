#include "frames/Screenshot.h"

#include "ui/framework/ComPtr.h"
#include "ui/framework/DibSection.h"
#include "ui/framework/Scoped.h"
#include "ui/framework/SystemFunction.h"

#include <gdiplus.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>
#include <utility>
#include <vector>

namespace screenshot {

namespace {

constexpr const wchar_t* kSubfolder = L"Morvane网页版";
// More pictures than this in one second is no player's doing.
constexpr int kMaxNamesPerSecond = 100;

// The PNG encoder of GDI+.
bool PngEncoder(CLSID* clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType && wcscmp(encoders[i].MimeType, L"image/png") == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

// Gives the finished picture at temporary its name: this second's, or with
// " (2)", " (3)"... when taken. The move never replaces a file, so two pictures
// never share a name, and a picture only ever appears whole under its name.
std::wstring NameAfterTheTime(const std::wstring& folder, const std::wstring& temporary)
{
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    wchar_t stamp[32] = {};
    swprintf(stamp, 32, L"%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    for (int n = 1; n <= kMaxNamesPerSecond; ++n) {
        std::wstring path = folder + L"\\截图 " + stamp;
        if (n > 1)
            path += L" (" + std::to_wstring(n) + L")";
        path += L".png";
        if (MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return path;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return L"";
    }
    return L"";
}

// The folder the pictures go to (created when missing); empty when the user
// has no Pictures folder.
std::wstring Folder()
{
    PWSTR pictures = nullptr;
    const auto knownFolder = SystemFunction<decltype(&SHGetKnownFolderPath)>(L"shell32.dll", "SHGetKnownFolderPath");
    const HRESULT found = knownFolder ? knownFolder(FOLDERID_Pictures, KF_FLAG_CREATE, nullptr, &pictures) : E_NOTIMPL;
    std::wstring folder;
    if (SUCCEEDED(found) && pictures)
        folder = std::wstring(pictures) + L"\\" + kSubfolder;
    CoTaskMemFree(pictures);
    if (folder.empty())
        return L"";
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS)
            return L"";
    }
    return folder;
}

} // namespace

std::vector<BYTE> Capture(const RECT& screenRect)
{
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    CLSID png = {};
    if (width <= 0 || height <= 0 || !PngEncoder(&png))
        return {};

    // What the screen shows, other programs' windows over the page included:
    // the picture is what the player saw. Copied into pixels of our own, which
    // GDI+ encodes once the bitmap is out of the DC again.
    void* pixels = nullptr;
    ScopedGetDC screen(nullptr);
    ScopedMemoryDC memory(screen.Get());
    ScopedGdiObject<HBITMAP> dib(CreateDib32(screen.Get(), width, height, DibRows::TopDown, &pixels));
    if (!screen.Get() || !memory.Get() || !dib.Get() || !pixels)
        return {};
    {
        ScopedSelectObject select(memory.Get(), dib.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), screenRect.left, screenRect.top,
                    SRCCOPY | CAPTUREBLT))
            return {};
    }
    GdiFlush();

    Gdiplus::Bitmap picture(width, height, width * 4, PixelFormat32bppRGB, static_cast<BYTE*>(pixels));
    ComPtr<IStream> stream;
    if (picture.GetLastStatus() != Gdiplus::Ok || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())) ||
        picture.Save(stream.Get(), &png, nullptr) != Gdiplus::Ok)
        return {};
    HGLOBAL memoryBlock = nullptr;
    STATSTG stat = {};
    if (FAILED(GetHGlobalFromStream(stream.Get(), &memoryBlock)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
        stat.cbSize.QuadPart == 0 || stat.cbSize.QuadPart > GlobalSize(memoryBlock))
        return {};
    const auto* bytes = static_cast<const BYTE*>(GlobalLock(memoryBlock));
    if (!bytes)
        return {};
    std::vector<BYTE> encoded(bytes, bytes + stat.cbSize.QuadPart);
    GlobalUnlock(memoryBlock);
    return encoded;
}

std::wstring Store(const std::vector<BYTE>& png)
{
    const std::wstring folder = Folder();
    wchar_t temporary[MAX_PATH] = {};
    if (png.empty() || folder.empty() || !GetTempFileNameW(folder.c_str(), L"shot", 0, temporary))
        return L"";
    bool written = false;
    ScopedFile file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        DWORD count = 0;
        written =
            WriteFile(file.Get(), png.data(), static_cast<DWORD>(png.size()), &count, nullptr) && count == png.size();
        written = file.Close() && written;
    }
    const std::wstring path = written ? NameAfterTheTime(folder, temporary) : L"";
    if (path.empty())
        DeleteFileW(temporary);
    return path;
}

} // namespace screenshot

ScreenshotStore::ScreenshotStore() : store(&screenshot::Store), m_finished(std::make_shared<Finished>()) {}

struct ScreenshotStore::Job {
    std::shared_ptr<Finished> finished;
    StoreFunction store;
    std::vector<BYTE> png;
    HWND window;
    UINT message;
};

DWORD WINAPI ScreenshotStore::StoreThread(LPVOID param)
{
    const std::unique_ptr<Job> job(static_cast<Job*>(param));
    std::wstring path;
    {
        // The shell's folder look-up may use COM.
        const ScopedComApartment com(COINIT_APARTMENTTHREADED);
        path = job->store ? job->store(job->png) : std::wstring();
    }
    {
        std::lock_guard<std::mutex> lock(job->finished->lock);
        job->finished->paths.push_back(std::move(path));
    }
    PostMessageW(job->window, job->message, 0, 0);
    return 0;
}

bool ScreenshotStore::Start(std::vector<BYTE> png, HWND window, UINT message)
{
    auto job = std::make_unique<Job>(Job{m_finished, store, std::move(png), window, message});
    // Nobody waits for the thread: its handle goes at once.
    const ScopedHandle thread(CreateThread(nullptr, 0, &ScreenshotStore::StoreThread, job.get(), 0, nullptr));
    if (!thread)
        return false;
    job.release(); // the thread's from here on
    return true;
}

std::vector<std::wstring> ScreenshotStore::TakeFinished()
{
    std::lock_guard<std::mutex> lock(m_finished->lock);
    return std::exchange(m_finished->paths, {});
}
