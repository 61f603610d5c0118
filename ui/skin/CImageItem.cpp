#include "ui/skin/CImageItem.h"

#include "ui/skin/CImagePaintEx.h"

#include <algorithm>

CImageItem::CImageItem(CImagePaintEx* owner, int id, int height) : owner(owner), id(id), height(height) {}

CImageItem::~CImageItem()
{
    for (ChildWindow& child : childWindows) {
        if (child.window && child.window->m_hWnd && IsWindow(child.window->m_hWnd))
            DestroyWindow(child.window->m_hWnd);
    }
}

CImageButton* CImageItem::AddButton(int buttonId, const wchar_t* text, int imgNormal, int imgHover, int imgPressed,
                                    int imgDisabled, int left, int top, int right, int bottom)
{
    for (auto& button : buttons) {
        if (button->id == buttonId)
            return button.get();
    }
    auto button = std::make_unique<CImageButton>(owner ? owner->hwnd : nullptr, buttonId, left, top, right, bottom,
                                                 text, owner ? owner->scale : DpiScale());
    button->SetImages(imgNormal, imgHover, imgPressed, imgDisabled);
    buttons.push_back(std::move(button));
    return buttons.back().get();
}

void CImageItem::SetSelected(bool on)
{
    if (on) {
        if (owner && owner->selectedRow && owner->selectedRow != this)
            owner->selectedRow->selected = false;
        selected = true;
    } else {
        selected = false;
    }
}

void CImageItem::Draw(Gdiplus::Graphics& g, int left, int top, int right, int bottom)
{
    if ((selected || hovered) && owner && owner->hoverBrush)
        g.FillRectangle(owner->hoverBrush.get(), left, top, right - left, bottom - top);

    for (auto& button : buttons) {
        if (!button->visible)
            continue;
        const RECT& b = button->rect;
        RECT box;
        box.top = top + b.top;
        if (button->anchorRight == -1) {
            box.left = b.left;
            box.right = b.right;
        } else {
            box.right = right - button->anchorRight;
            box.left = std::max<LONG>(box.right - (b.right - b.left), left);
        }
        box.right = std::min<LONG>(box.right, right);
        box.bottom = std::min<LONG>(bottom, top + b.bottom);
        button->Draw(g, mouseX, mouseY, false, box);
    }
}

bool CImageItem::TrackMouse(int x, int y)
{
    mouseX = x;
    mouseY = y;
    const RECT row = owner ? owner->RowRect(id) : RECT{};
    RECT client = {};
    if (owner && owner->hwnd)
        GetClientRect(owner->hwnd, &client);
    const POINT point = {x, y};

    for (auto& button : buttons) {
        if (!button->visible)
            continue;
        RECT box = button->rect;
        OffsetRect(&box, 0, row.top);
        if (button->anchorRight != -1) {
            box.right = client.right - button->anchorRight;
            box.left = button->rect.left + box.right - button->rect.right;
        }
        const bool inside = PtInRect(&box, point) != FALSE;
        if (hotButton) {
            if (inside) {
                if (hotButton == button.get())
                    return false;
                hotButton = button.get();
                return true;
            }
            if (hotButton == button.get()) {
                hotButton = nullptr;
                return true;
            }
        } else if (inside) {
            hotButton = button.get();
            return true;
        }
    }
    return false;
}

void CImageItem::ResetMouse()
{
    hotButton = nullptr;
    mouseX = -1;
    mouseY = 0;
}

void CImageItem::Layout(int left, int top, int right, int bottom)
{
    for (ChildWindow& child : childWindows) {
        if (!child.window || !child.window->m_hWnd || !IsWindow(child.window->m_hWnd))
            continue;
        const int x = left + child.layout.left;
        const int y = top + child.layout.top;
        const int r = std::min<int>(right, left + child.layout.right);
        const int b = std::min<int>(bottom, top + child.layout.bottom);
        MoveWindow(child.window->m_hWnd, x, y, r - x, b - y, TRUE);
    }
}

void CImageItem::OnHoverEnter() {}
