#include "ui/skin/CImagePaintEx.h"

#include "ui/framework/PointInRect.h"

#include <windowsx.h>

CImagePaintEx::~CImagePaintEx() { Clear(); }

CImageItem* CImagePaintEx::AddRow(int id)
{
    for (auto& row : rows) {
        if (row->id == id)
            return row.get();
    }
    rows.push_back(std::make_unique<CImageItem>(this, id, rowHeight));
    LayoutRows();
    return rows.back().get();
}

RECT CImagePaintEx::RowRect(int id)
{
    const RECT client = ClientRect();
    RECT found = {0, 0, client.right, 0};
    WalkVisibleRows(client.right, [&](CImageItem& row, const RECT& box) {
        if (row.id == id)
            found = box;
        return row.id == id;
    });
    return found;
}

void CImagePaintEx::SetHoverColor(Gdiplus::ARGB color)
{
    hoverColor = color;
    hoverBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(color));
}

void CImagePaintEx::Clear()
{
    hotRow = nullptr;
    selectedRow = nullptr;
    rows.clear();
    backgroundBrush.reset();
    hoverBrush.reset();
    mouseX = -1;
    mouseY = 0;
    tracking = false;
    hwnd = nullptr;
    renderer.Release();
}

void CImagePaintEx::LayoutRows(const RECT* area)
{
    const RECT box = area ? *area : ClientRect();
    WalkVisibleRows(box.right, [](CImageItem& row, const RECT& rowBox) {
        if (!EqualRect(&rowBox, &row.rect)) {
            row.rect = rowBox;
            row.Layout(rowBox.left, rowBox.top, rowBox.right, rowBox.bottom);
        }
        return false;
    });
}

bool CImagePaintEx::ShownInParent(int top, int height)
{
    // Only a child list is clipped by a parent; a popup list (whose GetParent
    // is its owner) always shows all its rows.
    HWND parent = hwnd && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
    if (!parent)
        return true;
    POINT origin = {0, 0};
    MapWindowPoints(hwnd, parent, &origin, 1);
    RECT parentClient = {};
    GetClientRect(parent, &parentClient);
    const int t = top + origin.y;
    return !(t + height == 0 || t > parentClient.bottom);
}

CImageItem* CImagePaintEx::RowAt(int x, int y)
{
    return WalkVisibleRows(ClientRect().right, [&](CImageItem& row, const RECT& box) {
        return ShownInParent(box.top, row.height) && Contains(box, x, y);
    });
}

void CImagePaintEx::Repaint(const RECT* rect)
{
    if (hwnd)
        InvalidateRect(hwnd, rect, TRUE);
}

void CImagePaintEx::DrawRows(Gdiplus::Graphics& g, const RECT& area)
{
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    FillBackground(g, area);
    WalkVisibleRows(ClientRect().right, [&](CImageItem& row, const RECT& box) {
        RECT common;
        if (IntersectRect(&common, &box, &area) && ShownInParent(box.top, row.height))
            row.Draw(g, box.left, box.top, box.right, box.bottom);
        return false;
    });
}

CSkinRenderer::Scene CImagePaintEx::Scene()
{
    return [this](Gdiplus::Graphics& g, const RECT& area) { DrawRows(g, area); };
}

void CImagePaintEx::OnMouseMove(int x, int y)
{
    mouseX = x;
    mouseY = y;
    TrackPointer();
    if (hotRow) {
        const RECT box = RowRect(hotRow->id);
        const bool shown = ShownInParent(box.top, hotRow->height);
        if (shown && Contains(box, x, y)) {
            if (hotRow->TrackMouse(x, y))
                Repaint(&box);
            return;
        }
        // The mouse left the hot row, or the parent no longer shows it (a
        // scrolled child list): its hover look ends before another row's
        // begins, so that one row at most looks hot.
        if (shown)
            Repaint(&box);
        hotRow->hovered = false;
        hotRow->hotButton = nullptr;
        hotRow->ResetMouse();
        hotRow = nullptr;
        // Go on: the row the mouse moved onto becomes hot at once.
    }
    CImageItem* row = RowAt(x, y);
    if (!row || row == hotRow)
        return;
    hotRow = row;
    row->hovered = true;
    row->TrackMouse(x, y);
    const RECT box = RowRect(row->id);
    Repaint(&box);
    row->OnHoverEnter();
}

void CImagePaintEx::OnLeftUp(int x, int y)
{
    mouseX = x;
    mouseY = y;
    CImageItem* row = RowAt(x, y);
    if (!row)
        return;
    row->TrackMouse(x, y);
    row->SetSelected(true);
    const bool again = row == selectedRow;
    selectedRow = row;
    // Repaint before reporting: the handler may hide or destroy the window.
    if (!again)
        Repaint(nullptr);
    if (onRowClick) {
        RowCallback callback = onRowClick; // the handler may replace the callback
        callback(row);
    }
}

void CImagePaintEx::OnMouseLeave()
{
    mouseX = -1;
    mouseY = 0;
    tracking = false;
    if (hotRow) {
        hotRow->TrackMouse(0, 0);
        hotRow->hovered = false;
        hotRow->hotButton = nullptr;
        const RECT box = RowRect(hotRow->id);
        if (ShownInParent(box.top, hotRow->height))
            Repaint(&box);
        hotRow = nullptr;
    }
}

void CImagePaintEx::OnHide()
{
    mouseX = -1;
    mouseY = 0;
    for (auto& row : rows) {
        row->hovered = false;
        row->selected = false;
        row->hotButton = nullptr;
    }
    // No row is under the mouse of a hidden list: the next popup starts clean.
    hotRow = nullptr;
}

bool CImagePaintEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (msg) {
    case WM_NCCREATE:
        MakeDefaultBackgroundBrush();
        if (!hoverBrush && (hoverColor >> 24) != 0)
            hoverBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(hoverColor));
        break;
    case WM_DESTROY:
        Clear();
        break;
    case WM_SIZE: {
        const RECT area = {0, 0, LOWORD(lParam), HIWORD(lParam)};
        LayoutRows(&area);
        break;
    }
    case WM_PAINT:
        PaintUpdate(Scene());
        break;
    case WM_ERASEBKGND:
        PaintWhenResized(reinterpret_cast<HDC>(wParam), true, Scene());
        return true;
    case WM_SHOWWINDOW:
        if (!wParam)
            OnHide();
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(x, y);
        break;
    case WM_LBUTTONUP:
        OnLeftUp(x, y);
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_MOUSEHOVER:
        OnPointerRests();
        break;
    default:
        break;
    }
    return false;
}
