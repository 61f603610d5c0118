#include "frames/TrayIcon.h"

#include "ui/framework/SystemFunction.h"

#include <strsafe.h>

#include <iterator>

void TrayIcon::Bind(HWND window, UINT id, UINT callbackMessage)
{
    ZeroMemory(&m_data, sizeof(m_data));
    m_data.cbSize = sizeof(NOTIFYICONDATAW);
    m_data.hWnd = window;
    m_data.uID = id;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
}

BOOL TrayIcon::Add(HICON image, const wchar_t* tip)
{
    m_data.hIcon = image;
    StringCchCopyW(m_data.szTip, std::size(m_data.szTip), tip);
    m_added = true;
    return Notify(NIM_ADD);
}

void TrayIcon::Remove()
{
    if (!m_added)
        return;
    m_added = false;
    Notify(NIM_DELETE);
}

BOOL TrayIcon::Notify(DWORD message)
{
    const auto notify = SystemFunction<decltype(&Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
    return notify ? notify(message, &m_data) : FALSE;
}
