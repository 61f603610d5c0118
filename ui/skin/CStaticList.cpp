#include "ui/skin/CStaticList.h"

#include "ui/skin/SkinImage.h"

CImageStatic* CStaticList::Add(int imageId, int id, bool stretchEdgeSafe, const RECT& rect, int dpi)
{
    CImageStatic* item = Find(id);
    if (!item)
        item = Append(std::make_unique<CImageStatic>());
    item->rect = rect;
    item->id = id;
    item->stretchEdgeSafe = stretchEdgeSafe;
    item->image = LoadPngResource(imageId, dpi);
    return item;
}

void CStaticList::LetGoReloadable() const
{
    for (const auto& item : m_items)
        item->LetGo();
}

void CStaticList::Reanchor(int width, int height)
{
    for (const auto& item : m_items) {
        RECT& r = item->rect;
        if (item->anchorRight != -1) {
            const LONG right = width - item->anchorRight;
            r.left = item->fixedLeft != -1 ? item->fixedLeft : r.left + (right - r.right);
            r.right = right;
        }
        if (item->anchorBottom != -1) {
            const LONG bottom = height - item->anchorBottom;
            r.top = item->fixedTop != -1 ? item->fixedTop : r.top + (bottom - r.bottom);
            r.bottom = bottom;
        }
    }
}

void CStaticList::Draw(Gdiplus::Graphics& g, const RECT& area) const
{
    const RECT ownRect = {};
    for (const auto& item : m_items) {
        RECT common;
        if (IntersectRect(&common, &item->rect, &area))
            item->Draw(g, ownRect);
    }
}
