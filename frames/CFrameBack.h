#pragma once
// The portal frame. In the login view it is the launcher: a 1154 x 704 layered
// window of artwork with minimise, close and four portal buttons, carrying the
// game frame over its dark panel. In the game view it becomes the game frame's
// soft shadow: three translucent grey outlines, 6 pixels around the game window.

#include "app/PortalSite.h"
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
    // From the launcher to the shadow role, for good.
    void EnterShadowMode();
    // The painter's click callback; false consumes the click.
    bool OnPortalButton(CImageButton* button);
    // The painter's foreground callback: the shadow outlines.
    void PaintShadow(Gdiplus::Graphics& g);

    int m_inset = 6;
    int m_radius = 3;
    std::unique_ptr<Gdiplus::Pen> m_pens[3];
    Gdiplus::ARGB m_colors[3] = {0x0F8A8A8A, 0x328A8A8A, 0x648A8A8A};
    CImagePaint paint;
    CFrameGame* m_game = nullptr;
    bool m_shadowMode = false;
    PortalSite m_portal;

private:
    void CreatePens();
    HWND GameWindow() const;
};
