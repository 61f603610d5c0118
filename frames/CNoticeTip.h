#pragma once
// A short-lived line of text over the game view: where a screenshot went, for
// example. It never takes the focus or activation (the game keeps the
// keyboard), lets a click through to nothing, and hides itself after a few
// seconds. Owned by the game frame, it goes when the frame is minimised or
// destroyed.

#include "ui/framework/CWindowCtrl.h"
#include "ui/framework/DpiScale.h"

#include <string>

class CNoticeTip : public CWindowCtrl {
public:
    static constexpr UINT kShowMs = 4000;
    static constexpr int kHeight = 21;

    CNoticeTip();
    ~CNoticeTip() override;

    // Shows text with the tip's top-left corner at the screen point (x, y), at
    // most maxWidth pixels wide; a tip still showing takes the new text.
    void Show(HWND owner, int x, int y, int maxWidth, const std::wstring& text);
    void Hide();
    // Whether the tip is showing over any part of the screen rectangle r.
    bool Covers(const RECT& r) const;
    std::wstring Text() const { return m_text; }
    // The scale of its height, padding and font: the owner's.
    DpiScale scale;

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR timerId) override;

private:
    static constexpr UINT_PTR kHideTimer = 1;
    void Paint();
    int TextWidth() const;

    std::wstring m_text;
};
