#include "ui/skin/CPaintSurface.h"

#include <algorithm>

CPaintSurface::~CPaintSurface() { Release(); }

HDC CPaintSurface::Fit(HDC reference, int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    if (m_dc && width <= m_width && height <= m_height)
        return m_dc->Get();
    if (!m_dc) {
        m_dc = std::make_unique<ScopedMemoryDC>(reference);
        if (!m_dc->Get()) {
            m_dc.reset();
            return nullptr;
        }
    }
    // Never smaller than before in either direction, so that passes of other
    // shapes do not make it again and again.
    const int newWidth = std::max(width, m_width);
    const int newHeight = std::max(height, m_height);
    ScopedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(reference, newWidth, newHeight));
    if (!bitmap.Get())
        return nullptr;
    const HGDIOBJ previous = SelectObject(m_dc->Get(), bitmap.Get());
    if (!previous || previous == HGDI_ERROR)
        return nullptr;
    if (!m_previous)
        m_previous = previous;        // what the DC held when it was new; put back before it goes
    m_bitmap.Reset(bitmap.Release()); // the old bitmap is no longer selected: it goes
    m_width = newWidth;
    m_height = newHeight;
    return m_dc->Get();
}

void CPaintSurface::Release()
{
    if (m_dc && m_previous)
        SelectObject(m_dc->Get(), m_previous);
    m_previous = nullptr;
    m_bitmap.Reset();
    m_dc.reset();
    m_width = 0;
    m_height = 0;
}
