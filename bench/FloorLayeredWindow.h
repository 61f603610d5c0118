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
// The floor's one colour, opaque (0xAARRGGBB): easy to find on screen.
constexpr DWORD kFloorColor = 0xFF3A6EA5;
constexpr const wchar_t* kFloorClass = L"floor_layered";

class FloorLayeredWindow {
public:
    FloorLayeredWindow() = default;
    ~FloorLayeredWindow();
    FloorLayeredWindow(const FloorLayeredWindow&) = delete;
    FloorLayeredWindow& operator=(const FloorLayeredWindow&) = delete;

    // Creates the window at (x, y), fills the DIB and pushes it once.
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
};

} // namespace bench
