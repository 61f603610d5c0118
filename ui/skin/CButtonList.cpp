#include "ui/skin/CButtonList.h"

#include "ui/framework/PointInRect.h"

namespace {
bool Intersects(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}
} // namespace

CImageButton* CButtonList::Add(HWND owner, int id, int imgNormal, int imgHover, int imgPressed, int imgDisabled,
                               const RECT& rect, DpiScale scale)
{
    CImageButton* button = Find(id);
    if (button) {
        button->scale = scale;
        button->SetText(L"");
        button->SetRect(rect.left, rect.top, rect.right, rect.bottom);
    } else {
        button =
            Append(std::make_unique<CImageButton>(owner, id, rect.left, rect.top, rect.right, rect.bottom, L"", scale));
    }
    button->SetImages(imgNormal, imgHover, imgPressed, imgDisabled);
    return button;
}

CImageButton* CButtonList::ActiveAt(int x, int y) const
{
    for (const auto& button : m_items) {
        const bool passive = button->id >= kPassiveIdFirst && button->id <= kPassiveIdLast;
        if (!passive && button->visible && Contains(button->rect, x, y))
            return button.get();
    }
    return nullptr;
}

RECT CButtonList::VisibleAt(int x, int y) const
{
    RECT all = {};
    for (const auto& button : m_items) {
        if (button->visible && Contains(button->rect, x, y))
            UnionRect(&all, &all, &button->rect);
    }
    return all;
}

void CButtonList::Reanchor(int width, int height)
{
    for (const auto& button : m_items) {
        if (button->anchorRight == -1 && button->anchorBottom == -1)
            continue;
        RECT r = button->rect;
        const LONG w = r.right - r.left;
        const LONG h = r.bottom - r.top;
        if (button->anchorRight != -1) {
            r.right = width - button->anchorRight;
            r.left = r.right - w;
        }
        if (button->anchorBottom != -1) {
            r.bottom = height - button->anchorBottom;
            r.top = r.bottom - h;
        }
        button->SetRect(r.left, r.top, r.right, r.bottom);
    }
}

void CButtonList::Draw(Gdiplus::Graphics& g, const RECT& area, int mouseX, int mouseY, bool leftPressed) const
{
    const RECT ownRect = {};
    for (const auto& button : m_items) {
        if (Intersects(button->rect, area))
            button->Draw(g, mouseX, mouseY, leftPressed, ownRect);
    }
}
