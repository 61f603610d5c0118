#pragma once
// A painter's image buttons: added or updated by id, kept at their distance
// from the window's right and bottom edges, hit-tested and drawn in the order
// they were added (a later button lies above an earlier one).

#include "ui/skin/CImageButton.h"
#include "ui/skin/CItemList.h"

#include <windows.h>
#include <gdiplus.h>

class CButtonList : public CItemList<CImageButton> {
public:
    // Buttons with ids in this range are drawn but never become hot or clicked.
    static constexpr int kPassiveIdFirst = 100;
    static constexpr int kPassiveIdLast = 250;

    // The button with this id gets these images and this rectangle and loses
    // its caption; without one, a new button of the owner window is appended.
    CImageButton* Add(HWND owner, int id, int imgNormal, int imgHover, int imgPressed, int imgDisabled,
                      const RECT& rect, DpiScale scale = DpiScale());
    // The first visible button at the point that can become hot, or null.
    CImageButton* ActiveAt(int x, int y) const;
    // The rectangles of the visible buttons that contain the point, united:
    // where a button draws its hover look for a mouse position (empty if none).
    RECT VisibleAt(int x, int y) const;
    // Anchored buttons keep their size and their distance from the right and
    // bottom edges of a width x height client area.
    void Reanchor(int width, int height);
    // Draws the buttons that meet the area, each in the look the mouse gives it.
    void Draw(Gdiplus::Graphics& g, const RECT& area, int mouseX, int mouseY, bool leftPressed) const;
};
