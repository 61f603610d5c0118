#include "frames/Screenshot.h"

#include "ui/framework/ScopedGdi.h"
#include "ui/framework/SystemFunction.h"

#include <gdiplus.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>
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
    const auto knownFolder =
        SystemFunction<decltype(&SHGetKnownFolderPath)>(L"shell32.dll", "SHGetKnownFolderPath");
    const HRESULT found =
        knownFolder ? knownFolder(FOLDERID_Pictures, KF_FLAG_CREATE, nullptr, &pictures) : E_NOTIMPL;
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

std::wstring Save(const RECT& screenRect)
{
    const int width = screenRect.right - screenRect.left;
    const int height = screenRect.bottom - screenRect.top;
    CLSID png = {};
    if (width <= 0 || height <= 0 || !PngEncoder(&png))
        return L"";

    // What the screen shows, other programs' windows over the page included:
    // the picture is what the player saw.
    ScopedGetDC screen(nullptr);
    ScopedMemoryDC memory(screen.Get());
    ScopedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!screen.Get() || !memory.Get() || !bitmap.Get())
        return L"";
    {
        ScopedSelectObject select(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), screenRect.left, screenRect.top,
                    SRCCOPY | CAPTUREBLT))
            return L"";
    }

    const std::wstring folder = Folder();
    wchar_t temporary[MAX_PATH] = {};
    if (folder.empty() || !GetTempFileNameW(folder.c_str(), L"shot", 0, temporary))
        return L"";
    Gdiplus::Bitmap picture(bitmap.Get(), nullptr);
    std::wstring path;
    if (picture.GetLastStatus() == Gdiplus::Ok && picture.Save(temporary, &png, nullptr) == Gdiplus::Ok)
        path = NameAfterTheTime(folder, temporary);
    if (path.empty())
        DeleteFileW(temporary);
    return path;
}

} // namespace screenshot
