#pragma once
// The painter of a skinned window. The window embeds it and forwards its
// messages; the painter owns the window's image buttons and statics, draws them
// off screen (or into the layered image), turns mouse input into button events
// (hover, press, click, right click), drags the window by its caption area and
// reports events and paint passes through seven callbacks.

#include "ui/framework/CLayeredBitmap.h"
#include "ui/skin/CImageButton.h"
#include "ui/skin/CImageStatic.h"

#include <windows.h>
#include <gdiplus.h>

#include <functional>
#include <memory>
#include <vector>

class CImagePaint {
public:
    using ButtonCallback = std::function<bool(CImageButton*)>;
    using PaintCallback = std::function<void(Gdiplus::Graphics&)>;

    // Ids of the built-in buttons every painter acts on.
    static constexpr int kCloseId = 10;
    static constexpr int kMinimizeId = 20;
    static constexpr int kMaximizeId = 30;
    static constexpr int kRestoreId = 40;
    // The full-window background static of the launcher.
    static constexpr int kBackgroundStaticId = 1007;
    // Without a caption rectangle the top rows up to this y drag the window.
    static constexpr int kCaptionHeight = 40;

    CImagePaint() = default;
    CImagePaint(const CImagePaint&) = delete;
    CImagePaint& operator=(const CImagePaint&) = delete;
    /* 0 */ virtual ~CImagePaint();
    // Click on a button: the owner's callback first, then the built-in ids.
    // False means the click was consumed (the window may be gone). The callback
    // may remove the button or clear the whole painter (a modal loop runs in
    // it); then nothing of the button is touched afterwards.
    /* 1 */ virtual bool DispatchClick(CImageButton* button);

    CImageButton* AddButton(int id, int reserved, int imgNormal, int imgHover, int imgPressed, int imgDisabled, int left,
                            int top, int right, int bottom);
    CImageButton* FindButton(int id);
    bool RemoveButton(int id);
    CImageStatic* AddStatic(int imageId, int id, bool stretchEdgeSafe, RECT rect);
    CImageStatic* FindStatic(int id);
    bool RemoveBackgroundStatic();
    void SetBackgroundColor(Gdiplus::ARGB color);
    void EnableLayered();

    void SetOnButtonDown(ButtonCallback callback) { onButtonDown = std::move(callback); }
    void SetOnButtonClick(ButtonCallback callback) { onButtonClick = std::move(callback); }
    void SetOnButtonHover(ButtonCallback callback) { onButtonHover = std::move(callback); }
    void SetOnButtonRightDown(ButtonCallback callback) { onButtonRightDown = std::move(callback); }
    void SetOnButtonRightClick(ButtonCallback callback) { onButtonRightClick = std::move(callback); }
    void SetOnPaintBackground(PaintCallback callback) { onPaintBackground = std::move(callback); }
    void SetOnPaintForeground(PaintCallback callback) { onPaintForeground = std::move(callback); }

    // True means handled: the window returns at once, without default processing.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Layered mode: renders everything and pushes it; otherwise nothing.
    void Redraw();
    void Clear();
    void ToggleMaximize();

    UpdateLayeredWindowFn updateLayered = nullptr;
    // The layered window's image, kept while the pointer is over the window and
    // the client size stays the same: a fresh DIB of the launcher's size costs
    // as much as drawing into it.
    std::unique_ptr<CLayeredBitmap> layeredImage;
    bool layered = false;
    bool captured = false;
    bool leftPressed = false;
    RECT pressRect = {};
    bool rightPressed = false;
    bool tracking = false;
    RECT rightPressRect = {};
    bool draggable = false;
    bool fillBackground = true;
    std::unique_ptr<Gdiplus::SolidBrush> backgroundBrush;
    Gdiplus::ARGB backgroundColor = 0xFFFAFAFA;
    RECT captionRect = {};
    int mouseX = -1;
    int mouseY = 0;
    BYTE alpha = 255;
    RECT lastClientRect = {};
    CImageButton* hotButton = nullptr;
    std::vector<std::unique_ptr<CImageStatic>> statics;
    std::vector<std::unique_ptr<CImageButton>> buttons;
    ButtonCallback onButtonDown;
    ButtonCallback onButtonClick;
    ButtonCallback onButtonHover;
    ButtonCallback onButtonRightDown;
    ButtonCallback onButtonRightClick;
    PaintCallback onPaintBackground;
    PaintCallback onPaintForeground;
    HWND hwnd = nullptr;

private:
    // Whether buttons were removed or the painter cleared since a callback
    // began: a button pointer taken before it may point at freed memory.
    bool ItemsChangedSince(unsigned generation) const { return m_generation != generation; }
    // Whether the painter still paints a live window (a callback may have
    // destroyed it, which clears the painter).
    bool WindowAlive() const { return hwnd && IsWindow(hwnd); }

    // Counts removals of buttons and clears of the painter.
    unsigned m_generation = 0;

    // Draws background, statics, buttons and foreground; with a clip rectangle
    // only the items that intersect it.
    void DrawItems(Gdiplus::Graphics& g, const RECT& client, const RECT* clip);
    // Paints into a window DC through an off-screen surface.
    void PaintTo(HDC target, const RECT& client, const RECT* update);
    void OnPaint();
    // Shows a changed button: its rectangle repainted, or the whole layered image.
    void Refresh(const RECT& rect);
    void Reanchor(int width, int height);
    void ClearMouse();
    void HoverAtPress(int x, int y);
    // After a click handler: no hover look unless the cursor is on the hot button.
    void HoverWhereTheCursorIs();

    void OnMouseMove(int x, int y, bool& handled);
    void OnLeftDown(int x, int y, bool& handled);
    void OnLeftUp(int x, int y, bool& handled);
    void OnRightDown(int x, int y, bool& handled);
    void OnRightUp(int x, int y);
    void OnMouseHover();
    void OnMouseLeave();
};
