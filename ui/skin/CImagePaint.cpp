#include "ui/skin/CImagePaint.h"

#include <windowsx.h>

CImagePaint::~CImagePaint() { Clear(); }

CImageButton* CImagePaint::AddButton(int id, int, int imgNormal, int imgHover, int imgPressed, int imgDisabled,
                                     int left, int top, int right, int bottom)
{
    return buttons.Add(hwnd, id, imgNormal, imgHover, imgPressed, imgDisabled, RECT{left, top, right, bottom}, scale);
}

bool CImagePaint::RemoveButton(int id)
{
    CImageButton* button = buttons.Find(id);
    if (!button)
        return false;
    if (hotButton == button)
        hotButton = nullptr;
    return buttons.Remove(id);
}

CImageStatic* CImagePaint::AddStatic(int imageId, int id, bool stretchEdgeSafe, RECT rect)
{
    return statics.Add(imageId, id, stretchEdgeSafe, rect, scale.Dpi());
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
    statics.Clear();
    buttons.Clear();
    backgroundBrush.reset();
    hotButton = nullptr;
    mouseX = -1;
    mouseY = -1;
    hwnd = nullptr;
    layered = false;
    renderer.Release();
}

bool CImagePaint::DispatchClick(CImageButton* button)
{
    const unsigned before = buttons.Generation();
    if (onButtonClick && !onButtonClick(button))
        return false;
    // The owner may have run a modal loop, in which its window was destroyed
    // (the painter cleared) or the button removed: the click ends here.
    if (buttons.Generation() != before)
        return hwnd && IsWindow(hwnd);
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

void CImagePaint::DrawItems(Gdiplus::Graphics& g, const RECT& area)
{
    FillBackground(g, area);
    // Outlines drawn by the owner's callbacks are smoothed; the images are not:
    // smoothing does nothing for an image on Windows, and under some GDI+
    // implementations it only slows every image down.
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    if (onPaintBackground)
        onPaintBackground(g);
    g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    statics.Draw(g, area);
    buttons.Draw(g, area, mouseX, mouseY, leftPressed);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    if (onPaintForeground)
        onPaintForeground(g);
}

CSkinRenderer::Scene CImagePaint::Scene()
{
    return [this](Gdiplus::Graphics& g, const RECT& area) { DrawItems(g, area); };
}

void CImagePaint::Redraw()
{
    if (!layered || !hwnd || !IsWindow(hwnd))
        return;
    // The image is kept only while the pointer is over the window, where hover
    // changes redraw it in quick succession; otherwise its memory goes at once,
    // and so do the images that can be loaded again for the next redraw.
    renderer.PushLayered(hwnd, updateLayered, alpha, tracking, Scene());
    if (!tracking)
        statics.LetGoReloadable();
}

void CImagePaint::ReleaseUnwatchedImage()
{
    // The layered image is kept for the hover changes of a watched pointer only.
    if (layered && !tracking) {
        renderer.Release();
        statics.LetGoReloadable();
    }
}

void CImagePaint::Refresh(const RECT& rect)
{
    if (layered)
        Redraw();
    else
        PaintNow(rect, Scene());
}

void CImagePaint::OnSize(int width, int height)
{
    buttons.Reanchor(width, height);
    statics.Reanchor(width, height);
    if (layered) {
        Redraw();
    } else if (hwnd) {
        const RECT all = {0, 0, width, height};
        InvalidateRect(hwnd, &all, TRUE);
    }
}

bool CImagePaint::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    switch (msg) {
    case WM_CREATE:
        MakeDefaultBackgroundBrush();
        return false;
    case WM_DESTROY:
        Clear();
        return false;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return false;
    case WM_PAINT:
        // A layered window shows only what Redraw pushed; the default
        // processing validates its update region.
        if (!layered)
            PaintUpdate(Scene());
        return false;
    case WM_ERASEBKGND:
        PaintWhenResized(reinterpret_cast<HDC>(wParam), !layered, Scene());
        return true;
    case WM_SHOWWINDOW:
        m_input.ForgetHover();
        if (wParam && layered)
            Redraw();
        return false;
    case WM_WINDOWPOSCHANGED:
        // Hidden through SetWindowPos, which sends no WM_SHOWWINDOW.
        if (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW)
            m_input.ForgetHover();
        return false;
    case WM_MOUSEMOVE:
        return m_input.OnMouseMove(x, y);
    case WM_LBUTTONDOWN:
        return m_input.OnLeftDown(x, y);
    case WM_LBUTTONUP:
        return m_input.OnLeftUp(x, y);
    case WM_LBUTTONDBLCLK:
        m_input.OnLeftDoubleClick(HIWORD(lParam));
        return false;
    case WM_RBUTTONDOWN:
        return m_input.OnRightDown(x, y);
    case WM_RBUTTONUP:
        m_input.OnRightUp(x, y);
        return false;
    case WM_MOUSELEAVE:
        m_input.OnMouseLeave();
        ReleaseUnwatchedImage();
        return false;
    case WM_MOUSEHOVER:
        if (hotButton) {
            OnPointerRests();
        } else {
            // Resting where no button is: nothing has a look to lose when the
            // pointer goes, so nothing is watched (where leaving is detected
            // by polling, a pointer resting over the game view would cost CPU
            // all along). The next move arms the tracking again.
            StopTracking();
            m_input.ForgetPointer();
            ReleaseUnwatchedImage();
        }
        return false;
    default:
        return false;
    }
}
