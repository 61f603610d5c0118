#include "ui/skin/CImagePaint.h"

#include "ui/framework/ScopedGdi.h"
#include "ui/skin/CSanDC.h"
#include "ui/skin/SkinImage.h"

#include <windowsx.h>

namespace {
constexpr RECT kNoRect = {-1, -1, -1, -1};
// Buttons with ids in this range are drawn but never become hot or clicked.
constexpr int kPassiveIdFirst = 100;
constexpr int kPassiveIdLast = 250;

bool Contains(const RECT& r, int x, int y)
{
    const POINT p = {x, y};
    return PtInRect(&r, p) != FALSE;
}

bool Intersects(const RECT& a, const RECT& b)
{
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}
} // namespace

CImagePaint::~CImagePaint() { Clear(); }

CImageButton* CImagePaint::AddButton(int id, int, int imgNormal, int imgHover, int imgPressed, int imgDisabled, int left,
                                     int top, int right, int bottom)
{
    if (CImageButton* existing = FindButton(id)) {
        existing->SetImages(imgNormal, imgHover, imgPressed, imgDisabled);
        existing->SetText(L"");
        existing->SetRect(left, top, right, bottom);
        return existing;
    }
    auto button = std::make_unique<CImageButton>(hwnd, id, left, top, right, bottom, L"");
    button->SetImages(imgNormal, imgHover, imgPressed, imgDisabled);
    buttons.push_back(std::move(button));
    return buttons.back().get();
}

CImageButton* CImagePaint::FindButton(int id)
{
    for (auto& button : buttons) {
        if (button->id == id)
            return button.get();
    }
    return nullptr;
}

bool CImagePaint::RemoveButton(int id)
{
    for (auto it = buttons.begin(); it != buttons.end(); ++it) {
        if ((*it)->id == id) {
            if (hotButton == it->get())
                hotButton = nullptr;
            buttons.erase(it);
            ++m_generation;
            return true;
        }
    }
    return false;
}

CImageStatic* CImagePaint::AddStatic(int imageId, int id, bool stretchEdgeSafe, RECT rect)
{
    CImageStatic* item = FindStatic(id);
    if (!item) {
        statics.push_back(std::make_unique<CImageStatic>());
        item = statics.back().get();
    }
    item->rect = rect;
    item->id = id;
    item->stretchEdgeSafe = stretchEdgeSafe;
    item->image = LoadPngResource(imageId);
    return item;
}

CImageStatic* CImagePaint::FindStatic(int id)
{
    for (auto& item : statics) {
        if (item->id == id)
            return item.get();
    }
    return nullptr;
}

bool CImagePaint::RemoveBackgroundStatic()
{
    for (auto it = statics.begin(); it != statics.end(); ++it) {
        if ((*it)->id == kBackgroundStaticId) {
            statics.erase(it);
            return true;
        }
    }
    return false;
}

void CImagePaint::SetBackgroundColor(Gdiplus::ARGB color)
{
    fillBackground = true;
    backgroundBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(color));
}

void CImagePaint::EnableLayered()
{
    if (layered || !hwnd || !IsWindow(hwnd))
        return;
    // Without UpdateLayeredWindow a layered window would never show anything:
    // then the window stays an ordinary one and keeps painting through WM_PAINT.
    UpdateLayeredWindowFn update = FindUpdateLayeredWindow();
    if (!update)
        return;
    fillBackground = false;
    layered = true;
    alpha = 255;
    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    updateLayered = update;
    // A window that is not shown yet gets its first image when it is shown;
    // pushing one now would only be drawn again.
    if (IsWindowVisible(hwnd))
        Redraw();
}

void CImagePaint::Clear()
{
    ++m_generation;
    statics.clear();
    buttons.clear();
    backgroundBrush.reset();
    hotButton = nullptr;
    mouseX = -1;
    mouseY = -1;
    hwnd = nullptr;
    layered = false;
    layeredImage.reset();
}

bool CImagePaint::DispatchClick(CImageButton* button)
{
    const unsigned before = m_generation;
    if (onButtonClick && !onButtonClick(button))
        return false;
    // The owner may have run a modal loop, in which its window was destroyed
    // (the painter cleared) or the button removed: the click ends here.
    if (ItemsChangedSince(before))
        return WindowAlive();
    if (!button || !button->visible)
        return true;
    switch (button->id) {
    case kCloseId:
        DestroyWindow(hwnd);
        return false;
    case kMinimizeId:
        ShowWindow(hwnd, SW_MINIMIZE);
        break;
    case kMaximizeId:
    case kRestoreId:
        ToggleMaximize();
        break;
    default:
        break;
    }
    return true;
}

void CImagePaint::ToggleMaximize()
{
    CImageButton* maximize = FindButton(kMaximizeId);
    CImageButton* restore = FindButton(kRestoreId);
    if (!maximize || !restore)
        return;
    if (IsZoomed(hwnd)) {
        maximize->visible = true;
        restore->visible = false;
        ShowWindow(hwnd, SW_RESTORE);
    } else {
        restore->visible = true;
        maximize->visible = false;
        ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    }
}

void CImagePaint::DrawItems(Gdiplus::Graphics& g, const RECT& client, const RECT* clip)
{
    if (fillBackground && backgroundBrush)
        g.FillRectangle(backgroundBrush.get(), static_cast<INT>(client.left - 1), static_cast<INT>(client.top - 1),
                        static_cast<INT>(client.right - client.left + 1),
                        static_cast<INT>(client.bottom - client.top + 1));
    // Outlines drawn by the owner's callbacks are smoothed; the images are not:
    // smoothing does nothing for an image on Windows, and under some GDI+
    // implementations it only slows every image down.
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    if (onPaintBackground)
        onPaintBackground(g);
    g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    const RECT none = {};
    for (size_t i = 0; i < statics.size(); ++i) {
        if (!clip || Intersects(statics[i]->rect, *clip))
            statics[i]->Draw(g, none);
    }
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (!clip || Intersects(buttons[i]->rect, *clip))
            buttons[i]->Draw(g, mouseX, mouseY, leftPressed, none);
    }
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    if (onPaintForeground)
        onPaintForeground(g);
}

void CImagePaint::PaintTo(HDC target, const RECT& client, const RECT* update)
{
    CSanDC surface(target, client, update);
    if (!surface.hOldBitmap)
        return;
    SetBkMode(surface.hMemDC, TRANSPARENT);
    Gdiplus::Graphics g(surface.hMemDC);
    // Only the update rectangle is copied to the window: pixels outside it
    // need not be drawn at all.
    if (update && !IsRectEmpty(update))
        g.SetClip(Gdiplus::Rect(update->left, update->top, update->right - update->left, update->bottom - update->top));
    DrawItems(g, client, update);
}

void CImagePaint::OnPaint()
{
    // A layered window shows only what Redraw pushed; the default processing
    // validates its update region.
    if (!hwnd || layered)
        return;
    RECT update = {};
    GetUpdateRect(hwnd, &update, FALSE);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    if (dc)
        PaintTo(dc, client, &update);
    EndPaint(hwnd, &ps);
}

void CImagePaint::Redraw()
{
    if (!layered || !hwnd || !IsWindow(hwnd))
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (!layeredImage || layeredImage->Width() != width || layeredImage->Height() != height) {
        layeredImage.reset(); // the old image goes before the new one is made
        ScopedGetDC windowDC(hwnd);
        layeredImage = std::make_unique<CLayeredBitmap>(windowDC.Get(), width, height);
    }
    if (!layeredImage->Valid()) {
        layeredImage.reset();
        return;
    }
    layeredImage->Clear();
    {
        Gdiplus::Graphics g(layeredImage->DC());
        DrawItems(g, client, nullptr);
    }
    layeredImage->Push(updateLayered, hwnd, alpha);
    // The image is kept only while the pointer is over the window, where hover
    // changes redraw it in quick succession; otherwise its memory goes at once.
    if (!tracking)
        layeredImage.reset();
}

void CImagePaint::Refresh(const RECT& rect)
{
    if (layered)
        Redraw();
    else if (hwnd)
        InvalidateRect(hwnd, &rect, TRUE);
}

void CImagePaint::ClearMouse()
{
    mouseX = -1;
    mouseY = -1;
}

void CImagePaint::Reanchor(int width, int height)
{
    for (auto& button : buttons) {
        RECT r = button->rect;
        const LONG w = r.right - r.left;
        const LONG h = r.bottom - r.top;
        if (button->anchorRight == -1 && button->anchorBottom == -1)
            continue;
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
    for (auto& item : statics) {
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

void CImagePaint::OnMouseMove(int x, int y, bool& handled)
{
    mouseX = x;
    mouseY = y;
    if (!tracking) {
        // Ask for WM_MOUSELEAVE, so the hover look ends when the mouse goes.
        TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, hwnd, 10};
        tracking = TrackMouseEvent(&track) != FALSE;
    }
    if (hotButton && hotButton->visible && Contains(hotButton->rect, x, y) && tracking)
        return;
    if (leftPressed)
        return; // no new hot button while a press lasts

    CImageButton* old = hotButton;
    CImageButton* found = nullptr;
    if (tracking) {
        for (auto& button : buttons) {
            const bool passive = button->id >= kPassiveIdFirst && button->id <= kPassiveIdLast;
            if (!passive && button->visible && Contains(button->rect, x, y)) {
                found = button.get();
                break;
            }
        }
    }
    hotButton = found;
    if (layered) {
        if (old || found)
            Redraw();
    } else {
        if (old)
            Refresh(old->rect);
        if (found)
            Refresh(found->rect);
    }
    if (found && onButtonHover && !onButtonHover(found))
        handled = true;
}

void CImagePaint::HoverAtPress(int x, int y)
{
    // A press says where the pointer is, also when no move came before it or a
    // late leave message has just cleared the hover: the button under it is hot.
    if (hotButton && hotButton->visible && Contains(hotButton->rect, x, y))
        return;
    bool hoverHandled = false;
    OnMouseMove(x, y, hoverHandled);
}

void CImagePaint::OnLeftDown(int x, int y, bool& handled)
{
    HoverAtPress(x, y);
    mouseX = x;
    mouseY = y;
    bool onButton = false;
    if (hotButton && Contains(hotButton->rect, x, y)) {
        onButton = true;
        leftPressed = true;
        pressRect = hotButton->rect;
        Refresh(pressRect);
        if (onButtonDown && !onButtonDown(hotButton)) {
            handled = true;
            return;
        }
        if (!WindowAlive())
            return; // the owner's handler closed the window
        if (!captured) {
            SetCapture(hwnd);
            captured = true;
            return;
        }
    }
    // A press on the caption area starts the system's window drag; it takes
    // the real cursor position, the coordinates only mark the message.
    const bool dragArea = IsRectEmpty(&captionRect) ? (y <= kCaptionHeight && !onButton) : Contains(captionRect, x, y);
    if (dragArea && draggable)
        PostMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(x, y));
    if (!onButton)
        pressRect = kNoRect;
}

void CImagePaint::OnLeftUp(int x, int y, bool& handled)
{
    mouseX = x;
    mouseY = y;
    if (captured) {
        ReleaseCapture();
        captured = false;
    }
    leftPressed = false;
    if (hotButton) {
        const RECT old = hotButton->rect;
        if (Contains(pressRect, x, y)) {
            if (!DispatchClick(hotButton)) {
                // Consumed: the window may be gone (then the painter was cleared).
                if (hwnd && IsWindow(hwnd)) {
                    pressRect = kNoRect;
                    Refresh(old);
                    HoverWhereTheCursorIs();
                }
                handled = true;
                return;
            }
            HoverWhereTheCursorIs();
        } else if (!Contains(hotButton->rect, x, y)) {
            ClearMouse();
            hotButton = nullptr;
        }
        Refresh(old);
    }
    pressRect = kNoRect;
}

void CImagePaint::HoverWhereTheCursorIs()
{
    // The click handler may have run a modal loop (a question box) while the
    // pointer went elsewhere, and that loop may have taken the leave message
    // or ended the tracking: the hover look follows the real cursor again.
    if (!hwnd)
        return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    const bool overWindow = WindowFromPoint(cursor) == hwnd;
    ScreenToClient(hwnd, &cursor);
    if (overWindow && hotButton && hotButton->visible && Contains(hotButton->rect, cursor.x, cursor.y)) {
        // Still on the button: watch for the pointer leaving it from here on.
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, HOVER_DEFAULT};
        tracking = TrackMouseEvent(&track) != FALSE;
        return;
    }
    // Buttons draw their hover look where the last known pointer position lies.
    RECT stale = hotButton ? hotButton->rect : kNoRect;
    for (auto& button : buttons)
        if (button->visible && Contains(button->rect, mouseX, mouseY))
            UnionRect(&stale, &stale, &button->rect);
    hotButton = nullptr;
    ClearMouse();
    if (tracking) {
        TRACKMOUSEEVENT cancel = {sizeof(cancel), TME_CANCEL | TME_HOVER | TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&cancel);
        tracking = false;
    }
    if (!IsRectEmpty(&stale))
        Refresh(stale);
}

void CImagePaint::OnRightDown(int x, int y, bool& handled)
{
    HoverAtPress(x, y);
    mouseX = x;
    mouseY = y;
    if (hotButton && Contains(hotButton->rect, x, y)) {
        rightPressed = true;
        rightPressRect = hotButton->rect;
        if (onButtonRightDown && !onButtonRightDown(hotButton)) {
            handled = true;
            return;
        }
        if (!WindowAlive())
            return; // the owner's handler closed the window
        if (!captured) {
            SetCapture(hwnd);
            captured = true;
        }
    } else {
        rightPressRect = kNoRect;
    }
}

void CImagePaint::OnRightUp(int x, int y)
{
    if (captured) {
        ReleaseCapture();
        captured = false;
    }
    if (hotButton) {
        if (Contains(rightPressRect, x, y)) {
            if (onButtonRightClick)
                onButtonRightClick(hotButton);
        } else if (!Contains(hotButton->rect, x, y)) {
            ClearMouse();
            hotButton = nullptr;
        }
    }
    rightPressed = false;
    rightPressRect = kNoRect;
}

void CImagePaint::OnMouseHover()
{
    // The pointer rests: from now on only its leaving matters. Where leaving is
    // detected by polling at the hover time, this ends the fast polling that the
    // short hover time started, so a resting pointer costs nothing.
    if (!tracking || !hwnd)
        return;
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd, HOVER_DEFAULT};
    TrackMouseEvent(&track);
}

void CImagePaint::OnMouseLeave()
{
    tracking = false;
    ClearMouse();
    if (leftPressed)
        return;
    if (hotButton) {
        // A maximised window's edge buttons touch the screen edge: the mouse can
        // "leave" while the cursor still lies on the button.
        if (IsZoomed(hwnd)) {
            POINT cursor;
            GetCursorPos(&cursor);
            ScreenToClient(hwnd, &cursor);
            if (Contains(hotButton->rect, cursor.x, cursor.y)) {
                mouseX = cursor.x;
                mouseY = cursor.y;
            }
        }
        Refresh(hotButton->rect);
    }
    hotButton = nullptr;
}

bool CImagePaint::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    bool handled = false;
    switch (msg) {
    case WM_CREATE:
        if (!backgroundBrush && (backgroundColor >> 24) != 0)
            backgroundBrush = std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(backgroundColor));
        break;
    case WM_DESTROY:
        Clear();
        break;
    case WM_SIZE: {
        const int width = LOWORD(lParam);
        const int height = HIWORD(lParam);
        Reanchor(width, height);
        if (layered) {
            Redraw();
        } else if (hwnd) {
            const RECT all = {0, 0, width, height};
            InvalidateRect(hwnd, &all, TRUE);
        }
        break;
    }
    case WM_PAINT:
        OnPaint();
        break;
    case WM_ERASEBKGND: {
        // Paint the whole surface at once when the size changed, so a resized
        // window never shows an unpainted background; otherwise WM_PAINT follows.
        RECT client = {};
        if (hwnd)
            GetClientRect(hwnd, &client);
        if (!EqualRect(&client, &lastClientRect)) {
            if (!layered && hwnd && wParam)
                PaintTo(reinterpret_cast<HDC>(wParam), client, &client);
            lastClientRect = client;
        }
        handled = true;
        break;
    }
    case WM_SHOWWINDOW:
        if (!wParam)
            ClearMouse();
        else if (layered)
            Redraw();
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(x, y, handled);
        break;
    case WM_LBUTTONDOWN:
        OnLeftDown(x, y, handled);
        break;
    case WM_LBUTTONUP:
        OnLeftUp(x, y, handled);
        break;
    case WM_LBUTTONDBLCLK:
        // Only the caption rows toggle maximise.
        if (HIWORD(lParam) <= kCaptionHeight && draggable)
            ToggleMaximize();
        break;
    case WM_RBUTTONDOWN:
        OnRightDown(x, y, handled);
        break;
    case WM_RBUTTONUP:
        OnRightUp(x, y);
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    case WM_MOUSEHOVER:
        OnMouseHover();
        break;
    default:
        break;
    }
    return handled;
}
