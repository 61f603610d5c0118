#pragma once
// Helpers for the skin tests: a 32-bit surface whose pixels a test can read,
// a capture of what a layered window pushes to the screen, a skinned test
// window that records its events, and real mouse messages.

#include "support/TestSupport.h"
#include "ui/framework/CLayeredBitmap.h"
#include "ui/skin/CImageCtrl.h"
#include "ui/skin/SkinImage.h"

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <string>
#include <vector>

namespace skintest {

// A top-down 32-bit DIB section with a memory DC, all zero (transparent) at first.
class PixelSurface {
public:
    PixelSurface(int width, int height);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    HDC DC() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The pixel as stored: premultiplied BGRA read as 0xAARRGGBB.
    DWORD At(int x, int y) const { return m_bits[y * m_width + x]; }
    std::unique_ptr<Gdiplus::Graphics> Graphics() const;
    bool SameAs(const PixelSurface& other) const;

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
};

inline int Alpha(DWORD argb) { return static_cast<int>(argb >> 24); }
inline int Red(DWORD argb) { return static_cast<int>((argb >> 16) & 0xFF); }
inline int Green(DWORD argb) { return static_cast<int>((argb >> 8) & 0xFF); }
inline int Blue(DWORD argb) { return static_cast<int>(argb & 0xFF); }

// The ARGB pixels (not premultiplied) of a decoded image, row by row.
std::vector<DWORD> ImagePixels(Gdiplus::Image* image);

// One push of a layered window's image, as UpdateLayeredWindow received it.
struct LayeredPush {
    HWND hwnd = nullptr;
    POINT destination = {};
    SIZE size = {};
    BLENDFUNCTION blend = {};
    DWORD flags = 0;
    std::vector<DWORD> pixels; // top-down, premultiplied 0xAARRGGBB
    DWORD At(int x, int y) const { return pixels[y * size.cx + x]; }
};

// Stands in for UpdateLayeredWindow: records each push, then hands it on to the
// real function so the window still shows it.
class LayeredCapture {
public:
    LayeredCapture();
    ~LayeredCapture();
    LayeredCapture(const LayeredCapture&) = delete;
    LayeredCapture& operator=(const LayeredCapture&) = delete;
    static UpdateLayeredWindowFn Function();
    const std::vector<LayeredPush>& Pushes() const;
    void Reset();
};

// A skinned window that records its button events and paint passes, and keeps
// system window drags from starting (it records the request instead).
class TestImageWindow : public CImageCtrl {
public:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnButtonDown(CImageButton* button) override;
    bool OnButtonClick(CImageButton* button) override;
    bool OnButtonHover(CImageButton* button) override;
    bool OnButtonRightDown(CImageButton* button) override;
    bool OnButtonRightClick(CImageButton* button) override;
    void OnPaintForeground(Gdiplus::Graphics& g) override;

    HWND CreatePopup(int x, int y, int width, int height, DWORD extraStyle = 0);

    bool clickAnswer = true;
    std::vector<std::string> events; // "down 7", "click 7", "hover 7", "rdown 7", "rclick 7"
    int dragRequests = 0;
    int foregroundPaints = 0;
    // Runs inside the window's message handling when kRunMessage arrives.
    std::function<void()> onRunMessage;
    static constexpr UINT kRunMessage = WM_APP + 17;

    int Count(const std::string& event) const;
};

// Mouse input for a window, in client coordinates: the cursor is put on the
// point first (so mouse tracking sees the pointer inside the window), then the
// message is sent and the queue drained.
void MouseMove(HWND hwnd, int x, int y);
void MouseMessage(HWND hwnd, UINT msg, int x, int y);
void Click(HWND hwnd, int x, int y);

} // namespace skintest
