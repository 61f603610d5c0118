#pragma once
// The skinned top-level window: no system caption, drawn entirely by its
// embedded painter, whose button and paint events arrive as the virtual
// operations 16-22. It can hit-test its border as resize edges, clip its
// corners, keep a minimum size, maximise to the work area, carry its own icons
// and run a nested modal loop.

#include "ui/framework/CWindowCtrl.h"
#include "ui/framework/Scoped.h"
#include "ui/skin/CImagePaint.h"

#include <windows.h>
#include <gdiplus.h>

class CImageCtrl : public CWindowCtrl {
public:
    CImageCtrl();
    /* 0 */ ~CImageCtrl() override;
    /* 5 */ LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Button and paint events of the painter; false from a button event stops
    // the painter's own handling of it.
    /* 16 */ virtual bool OnButtonDown(CImageButton* button);
    /* 17 */ virtual bool OnButtonClick(CImageButton* button);
    /* 18 */ virtual bool OnButtonHover(CImageButton* button);
    /* 19 */ virtual bool OnButtonRightDown(CImageButton* button);
    /* 20 */ virtual bool OnButtonRightClick(CImageButton* button);
    /* 21 */ virtual void OnPaintBackground(Gdiplus::Graphics& g);
    /* 22 */ virtual void OnPaintForeground(Gdiplus::Graphics& g);

    // A nested message loop until this window is gone; false when it is
    // already running or called on another thread than the window's.
    bool RunModalLoop();
    // The window keeps its own copy of the icon; the caller may destroy its one.
    void SetIcon(HICON icon, bool big);
    // The icon of group 128 in the program's resources at the given size.
    bool SetIconFromResource(int size, bool big);
    void GetWindowRect(RECT* out);
    // minWidth x minHeight, each side at most the work area's of the monitor.
    SIZE MinimumSizeOn(HMONITOR monitor) const;

    CImagePaint paint;
    ScopedIcon smallIcon;
    ScopedIcon bigIcon;
    int minWidth = 0;
    int minHeight = 0;
    bool resizable = false;
    // The resize edges' depth at 96 DPI; the painter's scale applies.
    int borderHeight = 3;
    int borderWidth = 3;
    bool clipCorners = false;
    bool modalRunning = false;
    int result = IDCANCEL;

private:
    LRESULT HitTest(int screenX, int screenY);
    void ApplyCornerRegion();
    void ApplyMinMaxInfo(MINMAXINFO* info);
};
