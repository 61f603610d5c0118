#pragma once
// The skinned popup menu: a borderless topmost tool window, 96 pixels wide
// unless its owner asks for more, whose entries are the rows of its row-list
// painter. A click on an entry is reported through the painter's row-click
// callback; the menu hides itself when it loses activation. A soft shadow
// window lies behind it and owns it.

#include "ui/framework/CShadowCtrl.h"
#include "ui/skin/CImageCtrlEx.h"

#include <memory>

class CImageMenu : public CImageCtrlEx {
public:
    static constexpr int kWidth = 96;

    CImageMenu();
    /* 0 */ ~CImageMenu() override;
    /* 5 */ LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    /* 6 */ void OnCreate(CREATESTRUCTW* create) override;
    /* 7 */ void OnDestroy() override;
    /* 8 */ void OnMove(int x, int y) override;
    /* 9 */ void OnSize(UINT type, int cx, int cy) override;
    /* 13 */ void OnShowWindow(BOOL show, UINT status) override;

    // Shows the menu with its top-left corner at the screen point (x, y); the
    // windows are created at the first popup and kept afterwards.
    void Popup(int x, int y);

    bool hideOnDeactivate = true;
    int width = kWidth;
    std::unique_ptr<CShadowCtrl> shadow;

private:
    HWND ShadowWindow() const;
    // Lays the shadow around the menu's current window rectangle.
    void FitShadow();
};
