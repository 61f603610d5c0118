#include "FloorLayeredWindow.h"

#include "ui/framework/DibSection.h"

namespace bench {

namespace {

LRESULT CALLBACK FloorWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace

int Scaled(int length)
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    return MulDiv(length, dpi > 0 ? dpi : 96, 96);
}

FloorLayeredWindow::~FloorLayeredWindow()
{
    if (m_hwnd && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    if (m_dc && m_previous)
        SelectObject(m_dc, m_previous);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
}

bool FloorLayeredWindow::Create(int x, int y)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FloorWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kFloorClass;
    RegisterClassExW(&wc);
    m_width = Scaled(kLauncherWidth);
    m_height = Scaled(kLauncherHeight);
    m_hwnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kFloorClass, L"", WS_POPUP, x, y, m_width, m_height,
                             nullptr, nullptr, wc.hInstance, nullptr);
    if (!m_hwnd)
        return false;

    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDib32(m_dc, m_width, m_height, DibRows::BottomUp, &bits);
    if (!m_dc || !m_bitmap)
        return false;
    m_previous = SelectObject(m_dc, m_bitmap);
    m_bits = bits;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int i = 0; i < m_width * m_height; ++i)
        pixels[i] = kFloorColor;
    if (!Push())
        return false;
    ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    return true;
}

void FloorLayeredWindow::SetPixels(const void* bits)
{
    GdiFlush();
    CopyMemory(m_bits, bits, static_cast<size_t>(m_width) * m_height * 4);
}

BOOL FloorLayeredWindow::Push() const
{
    RECT window = {};
    GetWindowRect(m_hwnd, &window);
    POINT destination = {window.left, window.top};
    SIZE size = {m_width, m_height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    HDC screen = GetDC(nullptr);
    const BOOL pushed = UpdateLayeredWindow(m_hwnd, screen, &destination, &size, m_dc, &source, 0, &blend, ULW_ALPHA);
    ReleaseDC(nullptr, screen);
    return pushed;
}

} // namespace bench
