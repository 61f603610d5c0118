#pragma once
// A painter's image statics: added or updated by id, moved or stretched with
// the window's right and bottom edges, drawn in the order they were added
// (all of them below the buttons).

#include "ui/framework/DpiScale.h"
#include "ui/skin/CImageStatic.h"
#include "ui/skin/CItemList.h"

#include <windows.h>
#include <gdiplus.h>

class CStaticList : public CItemList<CImageStatic> {
public:
    // The static with this id (appended when new) shows the image with this
    // resource id over the rectangle.
    CImageStatic* Add(int imageId, int id, bool stretchEdgeSafe, const RECT& rect, int dpi = DpiScale::kBaseDpi);
    // Anchored statics follow the right and bottom edges of a width x height
    // client area: moving, or stretching when their other edge is fixed.
    // Each static that can load its image again lets it go.
    void LetGoReloadable() const;
    void Reanchor(int width, int height);
    // Draws the statics that meet the area.
    void Draw(Gdiplus::Graphics& g, const RECT& area) const;
};
