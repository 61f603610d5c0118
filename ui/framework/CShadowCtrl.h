#pragma once
// A borderless layered popup that lies behind its owner window and shows a soft
// grey rim around it: three anti-aliased rounded outlines of decreasing
// transparency, rendered off screen and pushed with UpdateLayeredWindow.
// The owner moves, shows, hides and closes it.

#include "ui/framework/CLayeredBitmap.h"
#include "ui/framework/CWindowCtrl.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>

class CShadowCtrl : public CWindowCtrl {
public:
    CShadowCtrl();
    ~CShadowCtrl() override;

    /* 6 */ void OnCreate(CREATESTRUCTW* create) override;
    /* 7 */ void OnDestroy() override;
    /* 13 */ void OnShowWindow(BOOL show, UINT status) override;
    /* 16 */ virtual void UpdateShadow(int alpha);

    // A lighter grey rim (for the popup menu).
    void SetLightColors();

    // The open rounded-rectangle path of the rim outlines: four quarter arcs and
    // the four edges between them.
    static void AddRoundedOutline(Gdiplus::GraphicsPath& path, int left, int top, int right, int bottom, int radius);

    UpdateLayeredWindowFn m_updateLayeredWindow = nullptr;
    int m_inset = 6;
    int m_radius = 3;
    std::unique_ptr<Gdiplus::Pen> m_pens[3];
    Gdiplus::ARGB m_colors[3] = {0x0F8A8A8A, 0x328A8A8A, 0x648A8A8A};

private:
    void CreatePens();
};
