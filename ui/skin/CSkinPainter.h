#pragma once
// What the painters of skinned windows share: the painted window, its
// background brush, the paint passes through a renderer that keeps their
// surfaces (WM_PAINT for the update rectangle, and WM_ERASEBKGND painting a
// resized window whole at once), and the tracking that reports the pointer
// resting and leaving.

#include "ui/framework/DpiScale.h"
#include "ui/skin/CSkinRenderer.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

class CSkinPainter {
public:
    CSkinPainter(const CSkinPainter&) = delete;
    CSkinPainter& operator=(const CSkinPainter&) = delete;

    // The background is filled with this colour from the next paint pass on.
    void SetBackgroundColor(Gdiplus::ARGB color);

    // WM_MOUSEMOVE: asks once for WM_MOUSEHOVER after a short rest and for WM_MOUSELEAVE.
    void TrackPointer();
    // WM_MOUSEHOVER: from now on only the pointer's leaving is watched.
    void OnPointerRests();
    // Watches only for the pointer leaving; tracking says whether that is armed.
    void WatchLeaving();
    // No more hover or leave messages.
    void StopTracking();

    // Set by the owner when it sees WM_NCCREATE.
    HWND hwnd = nullptr;
    // The window's scale: images added from now on are loaded for it.
    DpiScale scale;
    bool fillBackground = true;
    std::unique_ptr<Gdiplus::SolidBrush> backgroundBrush;
    // The colour of the brush made at creation when none was set.
    Gdiplus::ARGB backgroundColor = 0xFFFAFAFA;
    // TrackMouseEvent is armed: WM_MOUSELEAVE (and maybe WM_MOUSEHOVER) will come.
    bool tracking = false;
    // The client rectangle the last erase pass saw.
    RECT lastClientRect = {};
    CSkinRenderer renderer;

protected:
    CSkinPainter() = default;
    ~CSkinPainter() = default;

    RECT ClientRect() const;
    // The brush of backgroundColor, unless a brush is set or the colour is
    // fully transparent.
    void MakeDefaultBackgroundBrush();
    bool FillsBackground() const { return fillBackground && backgroundBrush; }
    void FillBackground(Gdiplus::Graphics& g, const RECT& area) const;
    // WM_PAINT: the update rectangle, drawn by the scene.
    void PaintUpdate(const CSkinRenderer::Scene& scene);
    // Paints the part of the client area at once through a DC of the window
    // (not through an invalidation and a later WM_PAINT, whose system calls
    // cost more than a button's pixels); a hidden or minimised window is only
    // invalidated.
    void PaintNow(const RECT& rect, const CSkinRenderer::Scene& scene);
    // WM_ERASEBKGND: when the client size changed, the whole client area is
    // painted into the DC at once (when paint is set), so a resized window
    // never shows an unpainted background; otherwise WM_PAINT follows.
    void PaintWhenResized(HDC dc, bool paint, const CSkinRenderer::Scene& scene);
};
