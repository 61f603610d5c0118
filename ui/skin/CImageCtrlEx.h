#pragma once
// A skinned window that shows a vertical list of rows through its embedded
// row-list painter (the base of the popup menu).

#include "ui/framework/CWindowCtrl.h"
#include "ui/skin/CImagePaintEx.h"

class CImageCtrlEx : public CWindowCtrl {
public:
    CImageCtrlEx();
    /* 0 */ ~CImageCtrlEx() override;
    /* 5 */ LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    CImagePaintEx paint;
};
