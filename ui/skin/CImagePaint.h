#pragma once
// The painter of a skinned window. The window embeds it and forwards its
// messages; the painter owns the window's image buttons and statics, draws them
// off screen (or into the layered image), turns mouse input into button events
// (hover, press, click, right click), drags the window by its caption area and
// reports events and paint passes through seven callbacks.
//
// Its parts: the item lists (CButtonList, CStaticList: lookup and anchoring),
// the renderer with the kept surfaces (CSkinRenderer, through CSkinPainter) and
// the button input state machine (CButtonInput).

#include "ui/framework/CLayeredBitmap.h"
#include "ui/skin/CButtonInput.h"
#include "ui/skin/CButtonList.h"
#include "ui/skin/CImageButton.h"
#include "ui/skin/CImageStatic.h"
#include "ui/skin/CSkinPainter.h"
#include "ui/skin/CStaticList.h"

#include <windows.h>
#include <gdiplus.h>

#include <functional>

class CImagePaint : public CSkinPainter {
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

    CImageButton* AddButton(int id, int reserved, int imgNormal, int imgHover, int imgPressed, int imgDisabled,
                            int left, int top, int right, int bottom);
    CImageButton* FindButton(int id) { return buttons.Find(id); }
    bool RemoveButton(int id);
    CImageStatic* AddStatic(int imageId, int id, bool stretchEdgeSafe, RECT rect);
    CImageStatic* FindStatic(int id) { return statics.Find(id); }
    bool RemoveBackgroundStatic() { return statics.Remove(kBackgroundStaticId); }
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
    // Shows a changed rectangle at once: repainted, or the whole layered image pushed.
    void Refresh(const RECT& rect);
    void Clear();
    void ToggleMaximize();

    UpdateLayeredWindowFn updateLayered = nullptr;
    bool layered = false;
    bool captured = false;
    bool leftPressed = false;
    RECT pressRect = {};
    bool rightPressed = false;
    RECT rightPressRect = {};
    bool draggable = false;
    RECT captionRect = {};
    int mouseX = -1;
    int mouseY = 0;
    BYTE alpha = 255;
    CImageButton* hotButton = nullptr;
    CStaticList statics;
    CButtonList buttons;
    ButtonCallback onButtonDown;
    ButtonCallback onButtonClick;
    ButtonCallback onButtonHover;
    ButtonCallback onButtonRightDown;
    ButtonCallback onButtonRightClick;
    PaintCallback onPaintBackground;
    PaintCallback onPaintForeground;

private:
    // Draws background, statics, buttons and foreground: the items that meet
    // the area, and the callbacks' drawing.
    void DrawItems(Gdiplus::Graphics& g, const RECT& area);
    CSkinRenderer::Scene Scene();
    void OnSize(int width, int height);
    // Frees the kept layered image once the pointer is no longer watched.
    void ReleaseUnwatchedImage();

    CButtonInput m_input{*this};
};
