#include "SkinTestSupport.h"

#include "ui/framework/DibSection.h"

#include <filesystem>

namespace skintest {

PixelSurface::PixelSurface(int width, int height) : m_width(width), m_height(height)
{
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDib32(m_dc, width, height, DibRows::TopDown, &bits);
    m_bits = static_cast<DWORD*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
}

PixelSurface::~PixelSurface()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

std::unique_ptr<Gdiplus::Graphics> PixelSurface::Graphics() const
{
    GdiFlush();
    return std::make_unique<Gdiplus::Graphics>(m_dc);
}

bool PixelSurface::SameAs(const PixelSurface& other) const
{
    GdiFlush();
    if (m_width != other.m_width || m_height != other.m_height)
        return false;
    for (int i = 0; i < m_width * m_height; ++i) {
        if (m_bits[i] != other.m_bits[i])
            return false;
    }
    return true;
}

std::vector<DWORD> ImagePixels(Gdiplus::Image* image)
{
    std::vector<DWORD> pixels;
    if (!image)
        return pixels;
    const int w = static_cast<int>(image->GetWidth());
    const int h = static_cast<int>(image->GetHeight());
    Gdiplus::Bitmap bitmap(w, h, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&bitmap);
        g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        g.DrawImage(image, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
    }
    Gdiplus::BitmapData data;
    Gdiplus::Rect all(0, 0, w, h);
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return pixels;
    pixels.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) + y * data.Stride);
        std::copy(row, row + w, pixels.begin() + static_cast<size_t>(y) * w);
    }
    bitmap.UnlockBits(&data);
    return pixels;
}

namespace {
std::vector<LayeredPush> g_pushes;

BOOL WINAPI CaptureUpdateLayeredWindow(HWND hwnd, HDC screen, POINT* destination, SIZE* size, HDC source,
                                       POINT* sourcePoint, COLORREF key, BLENDFUNCTION* blend, DWORD flags)
{
    LayeredPush push;
    push.hwnd = hwnd;
    if (destination)
        push.destination = *destination;
    if (size)
        push.size = *size;
    if (blend)
        push.blend = *blend;
    push.flags = flags;
    GdiFlush();
    DIBSECTION dib = {};
    HGDIOBJ bitmap = GetCurrentObject(source, OBJ_BITMAP);
    if (bitmap && GetObjectW(bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBits) {
        const int w = dib.dsBm.bmWidth;
        const int h = dib.dsBm.bmHeight;
        const bool bottomUp = dib.dsBmih.biHeight > 0;
        push.pixels.resize(static_cast<size_t>(w) * h);
        const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
        for (int y = 0; y < h; ++y) {
            const DWORD* row = bits + static_cast<size_t>(bottomUp ? h - 1 - y : y) * w;
            std::copy(row, row + w, push.pixels.begin() + static_cast<size_t>(y) * w);
        }
    }
    g_pushes.push_back(std::move(push));
    UpdateLayeredWindowFn real = FindUpdateLayeredWindow();
    return real ? real(hwnd, screen, destination, size, source, sourcePoint, key, blend, flags) : FALSE;
}
} // namespace

LayeredCapture::LayeredCapture() { g_pushes.clear(); }
LayeredCapture::~LayeredCapture() { g_pushes.clear(); }
UpdateLayeredWindowFn LayeredCapture::Function() { return &CaptureUpdateLayeredWindow; }
const std::vector<LayeredPush>& LayeredCapture::Pushes() const { return g_pushes; }
void LayeredCapture::Reset() { g_pushes.clear(); }

LRESULT TestImageWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        // The system's drag loop would wait for a real button release.
        ++dragRequests;
        return 1;
    }
    if (msg == kRunMessage && onRunMessage) {
        onRunMessage();
        return 1;
    }
    return CImageCtrl::HandleMessage(msg, wParam, lParam);
}

bool TestImageWindow::OnButtonDown(CImageButton* button)
{
    events.push_back("down " + std::to_string(button ? button->id : -1));
    return true;
}

bool TestImageWindow::OnButtonClick(CImageButton* button)
{
    events.push_back("click " + std::to_string(button ? button->id : -1));
    return clickAnswer;
}

bool TestImageWindow::OnButtonHover(CImageButton* button)
{
    events.push_back("hover " + std::to_string(button ? button->id : -1));
    return true;
}

bool TestImageWindow::OnButtonRightDown(CImageButton* button)
{
    events.push_back("rdown " + std::to_string(button ? button->id : -1));
    return true;
}

bool TestImageWindow::OnButtonRightClick(CImageButton* button)
{
    events.push_back("rclick " + std::to_string(button ? button->id : -1));
    return true;
}

void TestImageWindow::OnPaintForeground(Gdiplus::Graphics&) { ++foregroundPaints; }

HWND TestImageWindow::CreatePopup(int x, int y, int width, int height, DWORD extraStyle)
{
    return Create(0, nullptr, L"", WS_POPUP | WS_VISIBLE | extraStyle, x, y, width, height, nullptr);
}

int TestImageWindow::Count(const std::string& event) const
{
    int n = 0;
    for (const auto& e : events)
        n += e == event;
    return n;
}

void MouseMove(HWND hwnd, int x, int y)
{
    POINT screen = {x, y};
    ClientToScreen(hwnd, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    test::PumpPending();
}

void MouseMessage(HWND hwnd, UINT msg, int x, int y)
{
    WPARAM keys = 0;
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK)
        keys = MK_LBUTTON;
    else if (msg == WM_RBUTTONDOWN)
        keys = MK_RBUTTON;
    SendMessageW(hwnd, msg, keys, MAKELPARAM(x, y));
    test::PumpPending();
}

void Click(HWND hwnd, int x, int y)
{
    MouseMove(hwnd, x, y);
    MouseMessage(hwnd, WM_LBUTTONDOWN, x, y);
    MouseMessage(hwnd, WM_LBUTTONUP, x, y);
}

} // namespace skintest
