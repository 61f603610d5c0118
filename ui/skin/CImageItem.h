#pragma once
// One row of a vertical row list: its own text or picture sub-buttons, hover and
// selection flags, and optional embedded child windows laid out with the row.
// Owned and positioned by its row-list painter.

#include "ui/framework/CWindowCtrl.h"
#include "ui/skin/CImageButton.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

class CImagePaintEx;

class CImageItem {
public:
    // A window embedded in the row, with its rectangle relative to the row.
    struct ChildWindow {
        std::unique_ptr<CWindowCtrl> window;
        RECT layout;
    };

    CImageItem(CImagePaintEx* owner, int id, int height);
    CImageItem(const CImageItem&) = delete;
    CImageItem& operator=(const CImageItem&) = delete;

    /* 0 */ virtual ~CImageItem();
    /* 1 */ virtual void Draw(Gdiplus::Graphics& g, int left, int top, int right, int bottom);
    /* 2 */ virtual bool TrackMouse(int x, int y);
    /* 3 */ virtual void ResetMouse();
    /* 4 */ virtual void Layout(int left, int top, int right, int bottom);
    /* 5 */ virtual void OnHoverEnter();

    // The sub-button with this id; created (with its images) only when new.
    CImageButton* AddButton(int id, const wchar_t* text, int imgNormal, int imgHover, int imgPressed, int imgDisabled,
                            int left, int top, int right, int bottom);
    // Selecting a row unselects the list's previously selected row.
    void SetSelected(bool on);

    int mouseX = -1;
    int mouseY = 0;
    std::vector<std::unique_ptr<CImageButton>> buttons;
    std::vector<ChildWindow> childWindows;
    CImageButton* hotButton = nullptr;
    bool hovered = false;
    bool selected = false;
    bool visible = true;
    CImagePaintEx* owner;
    int id;
    int height;
    RECT rect = {};
};
