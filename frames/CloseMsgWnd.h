#pragma once
// The close confirmation: a small layered window made of artwork (提示,
// 是否确定要关闭游戏？) with the buttons 确定 and 取消, run modally over the window
// that asks. DoModal answers IDOK when the user confirmed and IDCANCEL in every other case.

#include "ui/skin/CImageCtrl.h"

class CloseMsgWnd : public CImageCtrl {
public:
    static constexpr int kWidth = 295;
    static constexpr int kHeight = 190;
    static constexpr int kConfirmId = 1001;
    static constexpr int kCancelId = 1002;
    static constexpr int kPanelId = 1011;

    CloseMsgWnd();
    /* 0 */ ~CloseMsgWnd() override;
    /* 5 */ LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    /* 6 */ void OnCreate(CREATESTRUCTW* create) override;
    /* 17 */ bool OnButtonClick(CImageButton* button) override;

    // Shows the window centred on the owner and returns once it is gone.
    int DoModal(HWND owner);
    // Where the button with this id lies in the window, at its scale or at another.
    RECT ButtonRect(int id) const { return ButtonRect(id, paint.scale); }
    static RECT ButtonRect(int id, const DpiScale& scale)
    {
        return id == kConfirmId ? scale.Box(50, 100, 68, 35) : scale.Box(178, 100, 68, 35);
    }

private:
    // The panel and its buttons at the window's scale.
    void AddItems();
    void Finish(int answer);
    void ReleaseOwner();

    HWND m_owner = nullptr; // the owner this question disabled, enabled again on the answer
};
