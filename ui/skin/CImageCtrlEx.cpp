#include "ui/skin/CImageCtrlEx.h"

CImageCtrlEx::CImageCtrlEx() { SetClassName(L"ImageList"); }

CImageCtrlEx::~CImageCtrlEx() = default;

LRESULT CImageCtrlEx::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        paint.hwnd = m_hWnd;
    return paint.HandleMessage(msg, wParam, lParam) ? 1 : 0;
}
