#include "app/CPlaceholderFrame.h"

#include "app/gameApp.h"
#include "ui/framework/CAppManager.h"
#include "ui/framework/CHtmlAppManager.h"

CPlaceholderFrame::CPlaceholderFrame() { SetClassName(L"zarvoostrel"); }

void CPlaceholderFrame::Launch()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = 600, height = 386;
    const int x = (work.right - work.left - width) / 2;
    const int y = (work.bottom - work.top - height) / 2;
    if (!Create(0, nullptr, L"Morvane网页版", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr))
        return;
    m_manager->RunMessageLoop();
}

LRESULT CPlaceholderFrame::HandleMessage(UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_FRAMECOMMAND:
        if (wParam == FRAME_CMD_CLOSE && m_hWnd)
            DestroyWindow(m_hWnd);
        return 1;
    case WM_PAINT:
        Paint();
        return 1;
    default:
        return 0;
    }
}

LRESULT CPlaceholderFrame::OnNcHitTest(int x, int y)
{
    // Keep the system caption, borders and close box of this plain window.
    return DefWindowProcW(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(x, y));
}

void CPlaceholderFrame::OnDestroy()
{
    if (g_htmlAppManager)
        PostThreadMessageW(g_htmlAppManager->m_threadId, WM_QUIT, 0, 0);
    PostQuitMessage(0);
}

void CPlaceholderFrame::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    RECT client;
    GetClientRect(m_hWnd, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    const wchar_t* url = g_app ? g_app->m_startUrl : L"";
    DrawTextW(dc, url, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    EndPaint(m_hWnd, &ps);
}
