#pragma once
// A borderless layered popup that lies behind its owner window and shows a soft
// grey rim around it: three anti-aliased rounded outlines of decreasing
// transparency, rendered off screen and pushed with UpdateLayeredWindow.
// The owner moves, shows, hides and closes it.

#include "ui/framework/CLayeredBitmap.h"
#include "ui/framework/CWindowCtrl.h"
#include "ui/framework/ShadowRim.h"

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
    void SetLightColors() { m_rim.SetLightColors(); }

    UpdateLayeredWindowFn m_updateLayeredWindow = nullptr;
    // The rim and its scale (the owner's).
    ShadowRim m_rim;
};
