#pragma once
// Renders a skinned window. A window paint pass draws only its update
// rectangle, into an off-screen surface kept between passes, and copies it to
// the window: its cost follows the changed area, not the window. A layered
// window is rendered whole into a 32-bit DIB and pushed with
// UpdateLayeredWindow; that image is kept for the next push while the owner
// asks for it.

#include "ui/framework/CLayeredBitmap.h"
#include "ui/skin/CPaintSurface.h"

#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <memory>

class CSkinRenderer {
public:
    // Draws what meets the area (client coordinates) on g, in client
    // coordinates: the Graphics puts them where the surface holds them.
    using Scene = std::function<void(Gdiplus::Graphics& g, const RECT& area)>;

    CSkinRenderer() = default;
    CSkinRenderer(const CSkinRenderer&) = delete;
    CSkinRenderer& operator=(const CSkinRenderer&) = delete;

    // Paints the area of a window DC through the kept surface. opaque: the
    // scene covers every pixel of the area; otherwise it is drawn on black.
    void Paint(HDC target, const RECT& area, bool opaque, const Scene& scene);
    // Renders the client area of the window into the layered image and pushes
    // it. With keep the image stays for the next push (a new one is made only
    // when the size changed); otherwise its memory goes at once.
    bool PushLayered(HWND hwnd, UpdateLayeredWindowFn update, BYTE alpha, bool keep, const Scene& scene);
    // The layered image while it is kept, else null.
    const CLayeredBitmap* LayeredImage() const { return m_layered.get(); }
    // The surface of window passes, for a look at its size.
    const CPaintSurface& Surface() const { return m_surface; }
    // Both images go.
    void Release();

private:
    CPaintSurface m_surface;
    std::unique_ptr<CLayeredBitmap> m_layered;
};
