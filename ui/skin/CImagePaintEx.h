#pragma once
// The painter of a row-list window: a vertical list of rows (CImageItem) drawn
// top to bottom, with a hover colour for the row under the mouse and the row
// clicked last, and a callback for row clicks.

#include "ui/skin/CImageItem.h"
#include "ui/skin/CSkinPainter.h"

#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <list>
#include <memory>

class CImagePaintEx : public CSkinPainter {
public:
    using RowCallback = std::function<void(CImageItem*)>;

    CImagePaintEx() = default;
    CImagePaintEx(const CImagePaintEx&) = delete;
    CImagePaintEx& operator=(const CImagePaintEx&) = delete;
    virtual ~CImagePaintEx();

    // The row with this id; a new one is appended at the bottom.
    CImageItem* AddRow(int id);
    // The client rectangle of the first visible row with this id (empty height when none).
    RECT RowRect(int id);
    void SetHoverColor(Gdiplus::ARGB color);
    void SetOnRowClick(RowCallback callback) { onRowClick = std::move(callback); }
    // True means handled (only WM_ERASEBKGND is).
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void Clear();
    // Gives each visible row its box, stacked from the top; the client area when
    // no rectangle is given.
    void LayoutRows(const RECT* area = nullptr);
    // Whether a row at this top with this height can be seen inside the parent
    // window of a child list.
    bool ShownInParent(int top, int height);

    RowCallback onRowClick;
    int rowHeight = 24;
    CImageItem* hotRow = nullptr;
    CImageItem* selectedRow = nullptr;
    std::unique_ptr<Gdiplus::SolidBrush> hoverBrush;
    Gdiplus::ARGB hoverColor = 0;
    std::list<std::unique_ptr<CImageItem>> rows;
    int mouseX = -1;
    int mouseY = 0;

private:
    // Calls visit(row, box) for each visible row from the top, box being its
    // place across width; the first row for which visit answers true is
    // returned, and the walk ends there.
    template <class Visit> CImageItem* WalkVisibleRows(int width, Visit visit)
    {
        int top = 0;
        for (auto& row : rows) {
            if (!row->visible)
                continue;
            const RECT box = {0, top, width, top + row->height};
            if (visit(*row, box))
                return row.get();
            top += row->height;
        }
        return nullptr;
    }
    // The visible row whose box contains the point, or null.
    CImageItem* RowAt(int x, int y);
    void Repaint(const RECT* rect);
    // The background and the rows that meet the area.
    void DrawRows(Gdiplus::Graphics& g, const RECT& area);
    CSkinRenderer::Scene Scene();
    void OnMouseMove(int x, int y);
    void OnLeftUp(int x, int y);
    void OnMouseLeave();
    void OnHide();
};
