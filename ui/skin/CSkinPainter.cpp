#include "ui/skin/CSkinPainter.h"

#include "ui/framework/Scoped.h"

namespace {
// A short hover time: the first rest of the pointer is reported at once.
constexpr DWORD kFirstHoverMs = 10;
} // namespace

void CSkinPainter::SetBackgroundColor(Gdiplus::ARGB color)
{
    backgroundColor = color;
    fillBackground = true;
    backgroundBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(color));
}

RECT CSkinPainter::ClientRect() const
{
    RECT client = {};
    if (hwnd)
        GetClientRect(hwnd, &client);
    return client;
}

void CSkinPainter::MakeDefaultBackgroundBrush()
{
    if (!backgroundBrush && (backgroundColor >> 24) != 0)
        backgroundBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(backgroundColor));
}

void CSkinPainter::FillBackground(Gdiplus::Graphics& g, const RECT& area) const
{
    if (!FillsBackground())
        return;
    // One pixel more on the left and top: however the pixel grid is offset,
    // every pixel of the area lies inside.
    g.FillRectangle(backgroundBrush.get(), static_cast<INT>(area.left - 1), static_cast<INT>(area.top - 1),
                    static_cast<INT>(area.right - area.left + 1), static_cast<INT>(area.bottom - area.top + 1));
}

void CSkinPainter::PaintUpdate(const CSkinRenderer::Scene& scene)
{
    if (!hwnd)
        return;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc)
        renderer.Paint(dc, ps.rcPaint, FillsBackground(), scene);
    EndPaint(hwnd, &ps);
}

void CSkinPainter::PaintNow(const RECT& rect, const CSkinRenderer::Scene& scene)
{
    if (!hwnd)
        return;
    if (!IsWindowVisible(hwnd) || IsIconic(hwnd)) {
        InvalidateRect(hwnd, &rect, TRUE);
        return;
    }
    const RECT client = ClientRect();
    RECT area;
    if (!IntersectRect(&area, &rect, &client))
        return;
    ScopedGetDC dc(hwnd);
    renderer.Paint(dc.Get(), area, FillsBackground(), scene);
}

void CSkinPainter::PaintWhenResized(HDC dc, bool paint, const CSkinRenderer::Scene& scene)
{
    const RECT client = ClientRect();
    if (EqualRect(&client, &lastClientRect))
        return;
    if (paint && hwnd && dc)
        renderer.Paint(dc, client, FillsBackground(), scene);
    lastClientRect = client;
}

void CSkinPainter::TrackPointer()
{
    if (tracking)
        return;
    TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, hwnd, kFirstHoverMs};
    tracking = TrackMouseEvent(&track) != FALSE;
}

void CSkinPainter::OnPointerRests()
{
    // Where leaving is detected by polling at the hover time, this ends the
    // fast polling that the short hover time started, so a resting pointer
    // costs nothing.
    if (tracking && hwnd)
        WatchLeaving();
}

void CSkinPainter::WatchLeaving()
{
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, HOVER_DEFAULT};
    tracking = TrackMouseEvent(&track) != FALSE;
}

void CSkinPainter::StopTracking()
{
    if (!tracking)
        return;
    TRACKMOUSEEVENT cancel = {sizeof(cancel), TME_CANCEL | TME_HOVER | TME_LEAVE, hwnd, 0};
    TrackMouseEvent(&cancel);
    tracking = false;
}
