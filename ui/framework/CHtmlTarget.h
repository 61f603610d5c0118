#pragma once
// The window a request of the UI thread's queue acts on: the browser window.
// Its operations run on the UI thread, where they act on the control directly.

#include "ui/framework/CWindowCtrl.h"

#include <oleauto.h>

class CHtmlTarget : public CWindowCtrl {
public:
    using CWindowCtrl::Create;

    // The browser control has been created in this window and can take requests.
    virtual bool IsBrowserReady() const = 0;
    virtual BOOL Navigate(const wchar_t* url, int flags) = 0;
    virtual void Refresh() = 0;
    virtual void SetSilent(VARIANT_BOOL silent) = 0;
    // Shows the page at the scale its window is drawn at now.
    virtual void FitPageToDisplay() {}
};
