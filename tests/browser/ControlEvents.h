#pragma once
// The control's events as the control raises them, for driving the browser
// site's real event sink (CWebBrowser::Invoke) where Wine's control stays
// silent: the argument array holds the event's parameters last-first, with
// by-reference variants where the control passes them.
//
//     test::FireDocumentComplete(html.m_browser, frame, L"http://host/xf.html");

#include "CallArguments.h"

#include "browser/CWebBrowser.h"

#include <exdispid.h>

namespace test {

// The control's events carry their arguments as a call does.
using EventArguments = CallArguments;

inline HRESULT Fire(CWebBrowser& site, DISPID dispid, EventArguments& args, REFIID iid = IID_NULL)
{
    return site.Invoke(dispid, iid, LOCALE_USER_DEFAULT, DISPATCH_METHOD, args.Params(), nullptr, nullptr, nullptr);
}

// BeforeNavigate2 (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel).
inline HRESULT FireBeforeNavigate(CWebBrowser& site, IDispatch* frame, const wchar_t* url, VARIANT_BOOL* cancel)
{
    EventArguments args;
    args.Object(frame).StringInVariant(url).EmptyVariantRef().StringInVariant(L"").EmptyVariantRef()
        .EmptyVariantRef().BoolRef(cancel);
    return Fire(site, DISPID_BEFORENAVIGATE2, args);
}

// NavigateComplete2 (pDisp, URL).
inline HRESULT FireNavigateComplete(CWebBrowser& site, IDispatch* frame, const wchar_t* url)
{
    EventArguments args;
    args.Object(frame).StringInVariant(url);
    return Fire(site, DISPID_NAVIGATECOMPLETE2, args);
}

// DocumentComplete (pDisp, URL).
inline HRESULT FireDocumentComplete(CWebBrowser& site, IDispatch* frame, const wchar_t* url)
{
    EventArguments args;
    args.Object(frame).StringInVariant(url);
    return Fire(site, DISPID_DOCUMENTCOMPLETE, args);
}

// TitleChange (Text).
inline HRESULT FireTitleChange(CWebBrowser& site, const wchar_t* title)
{
    EventArguments args;
    args.String(title);
    return Fire(site, DISPID_TITLECHANGE, args);
}

// NewWindow3 (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl).
inline HRESULT FireNewWindow(CWebBrowser& site, IDispatch** newWindow, VARIANT_BOOL* cancel, ULONG flags,
                             const wchar_t* context, const wchar_t* url)
{
    EventArguments args;
    args.ObjectRef(newWindow).BoolRef(cancel).UInt(flags).String(context).String(url);
    return Fire(site, DISPID_NEWWINDOW3, args);
}

} // namespace test
