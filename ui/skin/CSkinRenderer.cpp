#include "ui/skin/CSkinRenderer.h"

#include "ui/framework/Scoped.h"
#include "ui/skin/CSanDC.h"

namespace {
// A surface above this many pixels (a whole window's, after a resize) is not
// kept: passes that large are rare, and small ones need only a small surface.
constexpr long long kKeptSurfacePixels = 128 * 1024;
} // namespace

void CSkinRenderer::Paint(HDC target, const RECT& area, bool opaque, const Scene& scene)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (!target || width <= 0 || height <= 0)
        return;
    {
        CSanDC pass(target, m_surface, area);
        if (!pass.hMemDC)
            return;
        SetBkMode(pass.hMemDC, TRANSPARENT);
        // A surface kept from a larger pass holds more than the area: drawing
        // stops at the area's edges, for GDI+ and for what is blended through
        // GDI alike. (A clip costs each drawing call a little.)
        SelectClipRgn(pass.hMemDC, nullptr);
        if (m_surface.Width() > width || m_surface.Height() > height)
            IntersectClipRect(pass.hMemDC, 0, 0, width, height);
        if (!opaque)
            PatBlt(pass.hMemDC, 0, 0, width, height, BLACKNESS); // what is left there from the last pass goes
        Gdiplus::Graphics g(pass.hMemDC);
        // The area's top-left corner lies at the surface's origin.
        g.TranslateTransform(static_cast<Gdiplus::REAL>(-area.left), static_cast<Gdiplus::REAL>(-area.top));
        scene(g, area);
    }
    if (static_cast<long long>(m_surface.Width()) * m_surface.Height() > kKeptSurfacePixels)
        m_surface.Release();
}

bool CSkinRenderer::PushLayered(HWND hwnd, UpdateLayeredWindowFn update, BYTE alpha, bool keep, const Scene& scene)
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    bool fresh = false;
    if (!m_layered || m_layered->Width() != width || m_layered->Height() != height) {
        m_layered.reset(); // the old image goes before the new one is made
        ScopedGetDC windowDC(hwnd);
        m_layered = std::make_unique<CLayeredBitmap>(windowDC.Get(), width, height);
        fresh = true;
    }
    if (!m_layered->Valid()) {
        m_layered.reset();
        return false;
    }
    if (!fresh)
        m_layered->Clear(); // a new DIB section's memory comes from the system zeroed
    {
        Gdiplus::Graphics g(m_layered->DC());
        scene(g, client);
    }
    const bool pushed = m_layered->Push(update, hwnd, alpha) != FALSE;
    if (!keep)
        m_layered.reset();
    return pushed;
}

void CSkinRenderer::Release()
{
    m_surface.Release();
    m_layered.reset();
}
