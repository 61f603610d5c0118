#pragma once
// Stand-in for the game frame until the skinned frames exist: a plain framework
// window of the frame's class that shows the start URL and ends the client when
// it is closed. It answers the frame's close command (2277 with 5557) as the
// real frame does.

#include "ui/framework/CWindowCtrl.h"

class CPlaceholderFrame : public CWindowCtrl {
public:
    static constexpr UINT WM_FRAMECOMMAND = 2277;
    static constexpr WPARAM FRAME_CMD_CLOSE = 5557;

    CPlaceholderFrame();

    // Shows the window and runs the main thread's loop until the window is gone.
    void Launch();

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    LRESULT OnNcHitTest(int x, int y) override;

private:
    void Paint();
};
