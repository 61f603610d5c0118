#include "ui/framework/CLayeredBitmap.h"

#include "ui/framework/DibSection.h"

UpdateLayeredWindowFn FindUpdateLayeredWindow()
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<UpdateLayeredWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "UpdateLayeredWindow")));
}

CLayeredBitmap::CLayeredBitmap(HDC reference, int width, int height) : m_width(width), m_height(height), m_dc(reference)
{
    if (width <= 0 || height <= 0 || !m_dc.Get())
        return;
    void* bits = nullptr;
    // A new DIB section is all zero bytes: fully transparent.
    m_bitmap.Reset(CreateDib32(m_dc.Get(), width, height, DibRows::BottomUp, &bits));
    if (!m_bitmap.Get())
        return;
    m_previous = SelectObject(m_dc.Get(), m_bitmap.Get());
    m_bits = bits;
    SetBkMode(m_dc.Get(), TRANSPARENT);
}

CLayeredBitmap::~CLayeredBitmap()
{
    if (m_previous && m_previous != HGDI_ERROR)
        SelectObject(m_dc.Get(), m_previous);
}

void CLayeredBitmap::Clear()
{
    if (!m_bits)
        return;
    GdiFlush(); // drawing still queued for the bitmap lands before it is wiped
    ZeroMemory(m_bits, static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4);
}

BOOL CLayeredBitmap::Push(UpdateLayeredWindowFn update, HWND hwnd, BYTE alpha) const
{
    if (!update || !Valid())
        return FALSE;
    RECT window = {};
    ::GetWindowRect(hwnd, &window);
    POINT destination = {window.left, window.top};
    SIZE size = {m_width, m_height};
    POINT source = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    ScopedGetDC screen(nullptr);
    return update(hwnd, screen.Get(), &destination, &size, m_dc.Get(), &source, 0, &blend, ULW_ALPHA);
}
