#pragma once
// A window's icon in the notification area: shown by Add (again after the shell
// has restarted and lost it) and taken away by Remove or with the object,
// whichever comes first. The shell is loaded on first use, never merely to
// show the launcher.

#include <windows.h>
#include <shellapi.h>

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The window whose icon it is: its mouse messages come to that window as
    // callbackMessage, with id in wParam.
    void Bind(HWND window, UINT id, UINT callbackMessage);
    // Shows the icon with image (which the shell copies) and tip.
    BOOL Add(HICON image, const wchar_t* tip);
    // Takes the icon away when it was added.
    void Remove();
    bool Added() const { return m_added; }
    const NOTIFYICONDATAW& Data() const { return m_data; }

private:
    BOOL Notify(DWORD message);

    NOTIFYICONDATAW m_data = {};
    // Add was asked for (whether or not a shell was there) and Remove not since.
    bool m_added = false;
};
