#pragma once
// How a painter's buttons answer the mouse: the hot button under the pointer
// and its hover look, left and right presses and clicks with the mouse
// captured meanwhile, and the caption area that drags the window or, double
// clicked, maximises it. It works on its painter's state (the hot button, the
// press flags and rectangles, the mouse position), which the painter's owner
// reads there; each handler returns true when the message is handled.

#include <windows.h>

#include <functional>

class CImageButton;
class CImagePaint;

class CButtonInput {
public:
    explicit CButtonInput(CImagePaint& paint) : m_paint(paint) {}
    CButtonInput(const CButtonInput&) = delete;
    CButtonInput& operator=(const CButtonInput&) = delete;

    bool OnMouseMove(int x, int y);
    bool OnLeftDown(int x, int y);
    bool OnLeftUp(int x, int y);
    void OnLeftDoubleClick(int y);
    bool OnRightDown(int x, int y);
    void OnRightUp(int x, int y);
    void OnMouseLeave();
    // The pointer is nowhere over the window (it was hidden, or the mouse left).
    void ForgetPointer();
    // The window was hidden or shown again: no button is hot or pressed, and the
    // pointer is watched afresh, so that the next move over a button shows its
    // hover look whatever the window knew before.
    void ForgetHover();

private:
    // A press says where the pointer is: the button under it becomes hot.
    void HoverAtPress(int x, int y);
    // After a click handler: no hover look unless the cursor is on the hot button.
    void HoverWhereTheCursorIs();
    bool OnHotButton(int x, int y) const;
    bool WindowAlive() const;
    // A press on the hot button, once the owner's handler has run: Stopped when
    // it answered false, Closed when it closed the window; otherwise the
    // window holds the capture (Captured: taken now; Held: it had it already).
    enum class AfterPress { Stopped, Closed, Captured, Held };
    AfterPress CaptureAfterPress(const std::function<bool(CImageButton*)>& handler);

    CImagePaint& m_paint;
};
