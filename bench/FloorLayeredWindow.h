#pragma once
// The floor of the launcher's figures: one 1154 x 704 layered window shown from
// a ready 32-bit DIB (premultiplied; one opaque colour unless other pixels are
// set), pushed with UpdateLayeredWindow.
// Nothing is decoded or drawn: the least a Win32 program does for the same
// visible result.

#include <windows.h>

namespace bench {

constexpr int kLauncherWidth = 1154;
constexpr int kLauncherHeight = 704;
// A length at 96 DPI at the screen's DPI, as the client scales its launcher:
// the floor draws as many pixels as the client does.
int Scaled(int length);
// The floor's one colour, opaque (0xAARRGGBB): easy to find on screen.
constexpr DWORD kFloorColor = 0xFF3A6EA5;
constexpr const wchar_t* kFloorClass = L"floor_layered";

class FloorLayeredWindow {
public:
    FloorLayeredWindow() = default;
    ~FloorLayeredWindow();
    FloorLayeredWindow(const FloorLayeredWindow&) = delete;
    FloorLayeredWindow& operator=(const FloorLayeredWindow&) = delete;

    // Creates the window at (x, y), the launcher's size at the screen's DPI,
    // fills the DIB and pushes it once.
    bool Create(int x, int y);
    // Replaces the DIB's pixels (bottom-up, premultiplied) without pushing them.
    void SetPixels(const void* bits);
    // Pushes the ready DIB again.
    BOOL Push() const;
    HWND Window() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    void* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
};

} // namespace bench
