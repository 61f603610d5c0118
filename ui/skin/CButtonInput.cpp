#include "ui/skin/CButtonInput.h"

#include "ui/framework/PointInRect.h"
#include "ui/skin/CImagePaint.h"

namespace {
constexpr RECT kNoRect = {-1, -1, -1, -1};
} // namespace

bool CButtonInput::WindowAlive() const { return m_paint.hwnd && IsWindow(m_paint.hwnd); }

bool CButtonInput::OnHotButton(int x, int y) const
{
    const CImageButton* hot = m_paint.hotButton;
    return hot && hot->visible && Contains(hot->rect, x, y);
}

void CButtonInput::ForgetPointer()
{
    m_paint.mouseX = -1;
    m_paint.mouseY = -1;
}

void CButtonInput::ForgetHover()
{
    CImagePaint& p = m_paint;
    if (p.captured) {
        p.captured = false;
        ReleaseCapture();
    }
    p.leftPressed = false;
    p.rightPressed = false;
    p.pressRect = kNoRect;
    p.rightPressRect = kNoRect;
    p.hotButton = nullptr;
    p.StopTracking();
    ForgetPointer();
}

bool CButtonInput::OnMouseMove(int x, int y)
{
    CImagePaint& p = m_paint;
    p.mouseX = x;
    p.mouseY = y;
    // Ask for WM_MOUSELEAVE, so the hover look ends when the mouse goes.
    p.TrackPointer();
    if (p.tracking && OnHotButton(x, y))
        return false;
    if (p.leftPressed)
        return false; // no new hot button while a press lasts

    CImageButton* old = p.hotButton;
    CImageButton* found = p.tracking ? p.buttons.ActiveAt(x, y) : nullptr;
    p.hotButton = found;
    if (p.layered) {
        if (old || found)
            p.Redraw();
    } else {
        if (old)
            p.Refresh(old->rect);
        if (found)
            p.Refresh(found->rect);
    }
    return found && p.onButtonHover && !p.onButtonHover(found);
}

void CButtonInput::HoverAtPress(int x, int y)
{
    // Also when no move came before the press, or a late leave message has
    // just cleared the hover.
    if (!OnHotButton(x, y))
        OnMouseMove(x, y);
}

CButtonInput::AfterPress CButtonInput::CaptureAfterPress(const std::function<bool(CImageButton*)>& handler)
{
    CImagePaint& p = m_paint;
    if (handler && !handler(p.hotButton))
        return AfterPress::Stopped;
    if (!WindowAlive())
        return AfterPress::Closed; // the owner's handler closed the window
    if (p.captured)
        return AfterPress::Held;
    SetCapture(p.hwnd);
    p.captured = true;
    return AfterPress::Captured;
}

bool CButtonInput::OnLeftDown(int x, int y)
{
    CImagePaint& p = m_paint;
    HoverAtPress(x, y);
    p.mouseX = x;
    p.mouseY = y;
    bool onButton = false;
    if (p.hotButton && Contains(p.hotButton->rect, x, y)) {
        onButton = true;
        p.leftPressed = true;
        p.pressRect = p.hotButton->rect;
        p.Refresh(p.pressRect);
        const AfterPress after = CaptureAfterPress(p.onButtonDown);
        if (after == AfterPress::Stopped)
            return true;
        if (after != AfterPress::Held)
            return false;
    }
    // A press on the caption area starts the system's window drag; it takes
    // the real cursor position, the coordinates only mark the message.
    const bool dragArea = IsRectEmpty(&p.captionRect) ? (y <= p.scale(CImagePaint::kCaptionHeight) && !onButton)
                                                      : Contains(p.captionRect, x, y);
    if (dragArea && p.draggable)
        PostMessageW(p.hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(x, y));
    if (!onButton)
        p.pressRect = kNoRect;
    return false;
}

bool CButtonInput::OnLeftUp(int x, int y)
{
    CImagePaint& p = m_paint;
    p.mouseX = x;
    p.mouseY = y;
    if (p.captured) {
        ReleaseCapture();
        p.captured = false;
    }
    p.leftPressed = false;
    if (p.hotButton) {
        const RECT old = p.hotButton->rect;
        if (Contains(p.pressRect, x, y)) {
            if (!p.DispatchClick(p.hotButton)) {
                // Consumed: the window may be gone (then the painter was cleared).
                if (WindowAlive()) {
                    p.pressRect = kNoRect;
                    p.Refresh(old);
                    HoverWhereTheCursorIs();
                }
                return true;
            }
            HoverWhereTheCursorIs();
        } else if (!Contains(p.hotButton->rect, x, y)) {
            ForgetPointer();
            p.hotButton = nullptr;
        }
        p.Refresh(old);
    }
    p.pressRect = kNoRect;
    return false;
}

void CButtonInput::OnLeftDoubleClick(int y)
{
    // Only the caption rows toggle maximise.
    if (y <= m_paint.scale(CImagePaint::kCaptionHeight) && m_paint.draggable)
        m_paint.ToggleMaximize();
}

void CButtonInput::HoverWhereTheCursorIs()
{
    // The click handler may have run a modal loop (a question box) while the
    // pointer went elsewhere, and that loop may have taken the leave message
    // or ended the tracking: the hover look follows the real cursor again.
    CImagePaint& p = m_paint;
    if (!p.hwnd)
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    const bool overWindow = WindowFromPoint(cursor) == p.hwnd;
    ScreenToClient(p.hwnd, &cursor);
    if (overWindow && OnHotButton(cursor.x, cursor.y)) {
        // Still on the button: watch for the pointer leaving it from here on.
        p.WatchLeaving();
        return;
    }
    // Buttons draw their hover look where the last known pointer position lies.
    RECT stale = p.buttons.VisibleAt(p.mouseX, p.mouseY);
    if (p.hotButton)
        UnionRect(&stale, &stale, &p.hotButton->rect);
    p.hotButton = nullptr;
    ForgetPointer();
    p.StopTracking();
    if (!IsRectEmpty(&stale))
        p.Refresh(stale);
}

bool CButtonInput::OnRightDown(int x, int y)
{
    CImagePaint& p = m_paint;
    HoverAtPress(x, y);
    p.mouseX = x;
    p.mouseY = y;
    if (p.hotButton && Contains(p.hotButton->rect, x, y)) {
        p.rightPressed = true;
        p.rightPressRect = p.hotButton->rect;
        if (CaptureAfterPress(p.onButtonRightDown) == AfterPress::Stopped)
            return true;
    } else {
        p.rightPressRect = kNoRect;
    }
    return false;
}

void CButtonInput::OnRightUp(int x, int y)
{
    CImagePaint& p = m_paint;
    if (p.captured) {
        ReleaseCapture();
        p.captured = false;
    }
    if (p.hotButton) {
        if (Contains(p.rightPressRect, x, y)) {
            if (p.onButtonRightClick)
                p.onButtonRightClick(p.hotButton);
        } else if (!Contains(p.hotButton->rect, x, y)) {
            ForgetPointer();
            p.hotButton = nullptr;
        }
    }
    p.rightPressed = false;
    p.rightPressRect = kNoRect;
}

void CButtonInput::OnMouseLeave()
{
    CImagePaint& p = m_paint;
    p.tracking = false;
    ForgetPointer();
    if (p.leftPressed)
        return;
    if (p.hotButton) {
        // A maximised window's edge buttons touch the screen edge: the mouse can
        // "leave" while the cursor still lies on the button.
        if (IsZoomed(p.hwnd)) {
            POINT cursor;
            GetCursorPos(&cursor);
            ScreenToClient(p.hwnd, &cursor);
            if (Contains(p.hotButton->rect, cursor.x, cursor.y)) {
                p.mouseX = cursor.x;
                p.mouseY = cursor.y;
            }
        }
        p.Refresh(p.hotButton->rect);
    }
    p.hotButton = nullptr;
}
