#pragma once
// The portal frame. In the login view it is the launcher: a 1154 x 704 layered
// window of artwork with minimise, close and four portal buttons, carrying the
// game frame over its dark panel. In the game view it becomes the game frame's
// soft shadow: three translucent grey outlines, 6 pixels around the game window.
// Those are lengths at 96 DPI: the launcher is drawn at its monitor's scale, or
// at the largest smaller one at which it fits the monitor's work area.

#include "app/PortalSite.h"
#include "ui/framework/ShadowRim.h"
#include "ui/framework/CWindowCtrl.h"
#include "ui/skin/CImagePaint.h"

#include <gdiplus.h>

#include <memory>
#include <vector>

class CFrameGame;

class CFrameBack : public CWindowCtrl {
public:
    static constexpr int kWidth = 1154;
    static constexpr int kHeight = 704;
    // Where the game frame lies over the launcher's dark panel.
    static constexpr int kPageLeft = 377;
    static constexpr int kPageTop = 208;
    static constexpr int kPageWidth = 600;
    static constexpr int kPageHeight = 386;

    static constexpr int kMinimizeId = 20;
    static constexpr int kCloseId = 1002;
    static constexpr int kHomeId = 1003;
    static constexpr int kForumId = 1004;
    static constexpr int kServiceId = 1005;
    static constexpr int kPayId = 1006;
    static constexpr int kArtworkId = 1007;

    CFrameBack();
    /* 0 */ ~CFrameBack() override;
    /* 5 */ LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    /* 6 */ void OnCreate(CREATESTRUCTW* create) override;
    /* 7 */ void OnDestroy() override;
    /* 8 */ void OnMove(int x, int y) override;

    // The resource ids of the launcher's images, to decode ahead of OnCreate.
    static std::vector<int> ArtworkIds();
    // The scale of a launcher on the monitor: the monitor's, or the largest
    // smaller one at which the whole launcher fits its work area (never less
    // than 96 DPI).
    static DpiScale ScaleOn(HMONITOR monitor);
    // The same for a monitor at dpi (the one Windows says it moves to).
    static DpiScale ScaleOn(HMONITOR monitor, int dpi);
    // The monitor the launcher starts on: the primary one.
    static HMONITOR StartMonitor();
    // Where the game frame lies over the launcher, relative to its corner.
    RECT PageArea() const;
    // From the launcher to the shadow role, for good.
    void EnterShadowMode();
    // The painter's click callback; false consumes the click.
    bool OnPortalButton(CImageButton* button);
    // The painter's foreground callback: the shadow outlines.
    void PaintShadow(Gdiplus::Graphics& g);

    ShadowRim m_rim;
    CImagePaint paint;
    CFrameGame* m_game = nullptr;
    bool m_shadowMode = false;
    PortalSite m_portal;

private:
    // The artwork and its buttons at the painter's scale, anew.
    void AddLauncherItems();
    // Moves to a monitor of another DPI (WM_DPICHANGED).
    void OnDpiChanged(int dpi, const RECT& suggested);
    HWND GameWindow() const;
};
