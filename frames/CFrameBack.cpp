#include "frames/CFrameBack.h"

#include "app/gameApp.h"
#include "frames/CFrameGame.h"
#include "frames/CloseMsgWnd.h"
#include "frames/PortalLinks.h"
#include "resources/resource.h"
#include "ui/skin/SkinImage.h"
#include "ui/skin/SkinPreload.h"

namespace {

constexpr LONG kStyleAdded = WS_CLIPCHILDREN | WS_MAXIMIZEBOX | 0x00000100;

// The launcher's picture buttons, in the order they are added; each is drawn
// from two images (pressed looks as hover, disabled as normal).
struct LauncherButton {
    int id, normal, hover, left, top, right, bottom;
};
constexpr LauncherButton kLauncherButtons[] = {
    {CFrameBack::kMinimizeId, IDP_LAUNCH_MIN, IDP_LAUNCH_MIN_HOVER, 1047, 185, 1070, 208},
    {CFrameBack::kCloseId, IDP_LAUNCH_CLOSE, IDP_LAUNCH_CLOSE_HOVER, 1031, 157, 1059, 185},
    {CFrameBack::kHomeId, IDP_LAUNCH_HOME, IDP_LAUNCH_HOME_HOVER, 500, 171, 584, 195},
    {CFrameBack::kForumId, IDP_LAUNCH_FORUM, IDP_LAUNCH_FORUM_HOVER, 897, 171, 981, 195},
    {CFrameBack::kServiceId, IDP_LAUNCH_SERVICE, IDP_LAUNCH_SERVICE_HOVER, 801, 171, 885, 195},
    {CFrameBack::kPayId, IDP_LAUNCH_PAY, IDP_LAUNCH_PAY_HOVER, 408, 171, 492, 195},
};

// The launcher's scale where nothing better is known.
HMONITOR PrimaryMonitor() { return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY); }

} // namespace

std::vector<int> CFrameBack::ArtworkIds()
{
    // The full-window artwork first: it takes longest and is drawn first.
    std::vector<int> ids = {IDP_LAUNCHER};
    for (const LauncherButton& b : kLauncherButtons) {
        ids.push_back(b.normal);
        ids.push_back(b.hover);
    }
    return ids;
}

HMONITOR CFrameBack::StartMonitor() { return PrimaryMonitor(); }

DpiScale CFrameBack::ScaleOn(HMONITOR monitor) { return ScaleOn(monitor, dpi::OfMonitor(monitor)); }

DpiScale CFrameBack::ScaleOn(HMONITOR monitor, int dpi)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!monitor || !GetMonitorInfoW(monitor, &info))
        return DpiScale(dpi);
    const SIZE room = {info.rcWork.right - info.rcWork.left, info.rcWork.bottom - info.rcWork.top};
    return DpiScale(dpi::Fitting(dpi, {kWidth, kHeight}, room));
}

RECT CFrameBack::PageArea() const { return paint.scale.Box(kPageLeft, kPageTop, kPageWidth, kPageHeight); }

CFrameBack::CFrameBack()
{
    SetClassName(L"zarvo_back");
    if (g_app)
        m_portal = g_app->m_portal;
}

CFrameBack::~CFrameBack() { paint.Clear(); }

LRESULT CFrameBack::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        paint.hwnd = m_hWnd;
        paint.SetOnButtonClick([this](CImageButton* button) { return OnPortalButton(button); });
        paint.SetOnPaintForeground([this](Gdiplus::Graphics& g) { PaintShadow(g); });
        const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
        SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~WS_CAPTION) | kStyleAdded);
    }
    // A hidden layered window shows nothing of what is pushed to it, and its
    // image is pushed anew when it is shown (WM_SHOWWINDOW): a size change
    // before that, such as the one of its creation, pushes nothing. Its items
    // are never anchored to its edges.
    if (msg == WM_SIZE && paint.layered && !IsWindowVisible(m_hWnd))
        return 0;
    // A click on the shadow's rim activates nothing.
    if (msg == WM_MOUSEACTIVATE && m_shadowMode)
        return MA_NOACTIVATE;
    // No menu to go into: an Alt released over the launcher (or the shadow,
    // should it hold the keyboard) must not leave it in keyboard-menu mode.
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU)
        return 1;
    if (msg == WM_DPICHANGED) {
        OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    return paint.HandleMessage(msg, wParam, lParam) ? 1 : 0;
}

void CFrameBack::OnCreate(CREATESTRUCTW*)
{
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | WS_CLIPCHILDREN);
    // Never a task-bar button of its own: the game frame has it.
    SetWindowLongW(m_hWnd, GWL_EXSTYLE, (GetWindowLongW(m_hWnd, GWL_EXSTYLE) & ~WS_EX_APPWINDOW) | WS_EX_TOOLWINDOW);

    paint.draggable = true;
    AddLauncherItems();
    // Layered output; the first image is pushed as the window is shown.
    paint.EnableLayered();
}

void CFrameBack::AddLauncherItems()
{
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    paint.captionRect = client; // a press anywhere outside the buttons drags the launcher
    m_rim.SetScale(paint.scale);

    // The artwork was decoded while start-up went on, where the client did so
    // (for the scale it starts at); otherwise (a frame made by a test program,
    // another scale) it is decoded now.
    SkinPreload* preloaded = g_app ? g_app->m_launcherArt : nullptr;
    const int dpi = paint.scale.Dpi();
    if (preloaded && preloaded->Dpi() != dpi)
        preloaded = nullptr;
    auto artwork = [preloaded, dpi](int id) {
        std::unique_ptr<Gdiplus::Image> image = preloaded ? preloaded->Take(id) : nullptr;
        return image ? std::move(image) : LoadPngResource(id, dpi);
    };
    for (const LauncherButton& b : kLauncherButtons) {
        const RECT r = paint.scale.Box(b.left, b.top, b.right - b.left, b.bottom - b.top);
        CImageButton* button = paint.AddButton(b.id, 0, 0, 0, 0, 0, r.left, r.top, r.right, r.bottom);
        button->SetImages(artwork(b.normal), artwork(b.hover));
    }
    // The artwork is the largest image of all (7 MB at 150 %): between the
    // pointer's visits it is let go, and unpacked again for the next redraw.
    CImageStatic* background = paint.AddStatic(0, kArtworkId, false, client);
    background->image = artwork(IDP_LAUNCHER);
    background->reload = [dpi]() -> std::shared_ptr<Gdiplus::Image> { return LoadPngResource(IDP_LAUNCHER, dpi); };
}

void CFrameBack::OnDpiChanged(int dpi, const RECT& suggested)
{
    const DpiScale previous = paint.scale;
    if (m_shadowMode) {
        // The game frame places its shadow; only the rim follows the scale.
        paint.scale = DpiScale(dpi);
        m_rim.SetScale(paint.scale);
        paint.Redraw();
        return;
    }
    // As large as fits on the monitor the launcher is going to.
    paint.scale = ScaleOn(MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), dpi);
    if (paint.scale == previous)
        return;
    SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, paint.scale(kWidth), paint.scale(kHeight),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    AddLauncherItems();
    paint.Redraw();
    if (m_game)
        m_game->FollowLauncherScale(paint.scale);
    OnMove(0, 0);
}

void CFrameBack::OnDestroy() { m_rim.Release(); }

void CFrameBack::OnMove(int, int)
{
    HWND game = GameWindow();
    if (m_shadowMode || !game)
        return;
    // The page area follows the launcher.
    RECT w = {};
    ::GetWindowRect(m_hWnd, &w);
    const RECT page = PageArea();
    MoveWindow(game, w.left + page.left, w.top + page.top, page.right - page.left, page.bottom - page.top, TRUE);
}

HWND CFrameBack::GameWindow() const
{
    return m_game && m_game->m_hWnd && IsWindow(m_game->m_hWnd) ? m_game->m_hWnd : nullptr;
}

bool CFrameBack::OnPortalButton(CImageButton* button)
{
    if (!button)
        return true;
    switch (button->id) {
    case kMinimizeId:
        if (HWND game = GameWindow())
            ShowWindow(game, SW_MINIMIZE);
        ShowWindow(m_hWnd, SW_HIDE);
        return false;
    case kCloseId: {
        CloseMsgWnd confirm;
        const int answer = confirm.DoModal(m_hWnd);
        // The question runs a message loop: meanwhile the client may have been
        // closed, taking this window (and the painter's buttons) along.
        if (!m_hWnd || !IsWindow(m_hWnd))
            return false;
        if (answer != IDOK)
            return true;
        ShowWindow(m_hWnd, SW_HIDE);
        if (HWND game = GameWindow())
            PostMessageW(game, WM_CLOSE, 0, 0);
        return false;
    }
    default:
        if (const std::optional<std::wstring> page = portallinks::PageOf(m_portal, button->id))
            CFrameGame::OpenInBrowser(*page);
        return true;
    }
}

void CFrameBack::EnterShadowMode()
{
    m_shadowMode = true;
    // A shadow is never the active window: when the game frame is hidden (the
    // boss key) the system activates another program's window, not the rim
    // around nothing, which would take the keyboard (Alt into menu mode).
    if (m_hWnd)
        SetWindowLongW(m_hWnd, GWL_EXSTYLE, GetWindowLongW(m_hWnd, GWL_EXSTYLE) | WS_EX_NOACTIVATE);
    paint.draggable = false;
    paint.RemoveBackgroundStatic();
    for (int id : {kPayId, kHomeId, kForumId, kServiceId, kCloseId, kMinimizeId})
        paint.RemoveButton(id);
}

void CFrameBack::PaintShadow(Gdiplus::Graphics& g)
{
    if (!m_shadowMode || !m_hWnd)
        return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    m_rim.Draw(g, client);
}
