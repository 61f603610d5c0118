#pragma once
// The control's events as the control raises them on Windows, for driving the
// browser site's real event sink (CWebBrowser::Invoke) where Wine's control
// stays silent: the argument array holds the event's parameters last-first,
// integers as VT_I4, and by-reference variants where the control passes them.
// A test may change the form of each kind of argument to one that other
// packers of the same events use.
//
//     test::FireDocumentComplete(html.m_browser, frame, L"http://host/xf.html");

#include "CallArguments.h"

#include "browser/CWebBrowser.h"

#include <exdispid.h>

#include <optional>

namespace test {

// The control's events carry their arguments as a call does.
using EventArguments = CallArguments;
using Pass = CallArguments::Pass;

// How the arguments of an event travel. Left unset, each kind takes the form
// the control gives it in that event.
struct Forms {
    std::optional<Pass> text;    // URLs, frame names, headers, titles
    std::optional<Pass> object;  // the frame's object; NewWindow3's slot for the new window
    std::optional<Pass> flag;    // the cancel flag
    std::optional<Pass> integer; // flags and status codes
    VARTYPE integerType = VT_I4;
};

inline HRESULT Fire(CWebBrowser& site, DISPID dispid, EventArguments& args, REFIID iid = IID_NULL)
{
    return site.Invoke(dispid, iid, LOCALE_USER_DEFAULT, DISPATCH_METHOD, args.Params(), nullptr, nullptr, nullptr);
}

// BeforeNavigate2 (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel).
inline HRESULT FireBeforeNavigate(CWebBrowser& site, IDispatch* frame, const wchar_t* url, VARIANT_BOOL* cancel,
                                  const Forms& forms = {})
{
    const Pass text = forms.text.value_or(Pass::InVariant);
    EventArguments args;
    args.Object(frame, forms.object.value_or(Pass::Value))
        .String(url, text)
        .Integer(0, forms.integerType, forms.integer.value_or(Pass::InVariant))
        .String(nullptr, text)
        .EmptyVariantRefRef()
        .String(nullptr, text)
        .Flag(cancel, forms.flag.value_or(Pass::Ref));
    return Fire(site, DISPID_BEFORENAVIGATE2, args);
}

// NavigateComplete2 (pDisp, URL) and DocumentComplete (pDisp, URL).
inline HRESULT FireFrameEvent(CWebBrowser& site, DISPID dispid, IDispatch* frame, const wchar_t* url,
                              const Forms& forms = {})
{
    EventArguments args;
    args.Object(frame, forms.object.value_or(Pass::Value)).String(url, forms.text.value_or(Pass::InVariant));
    return Fire(site, dispid, args);
}

inline HRESULT FireNavigateComplete(CWebBrowser& site, IDispatch* frame, const wchar_t* url, const Forms& forms = {})
{
    return FireFrameEvent(site, DISPID_NAVIGATECOMPLETE2, frame, url, forms);
}

inline HRESULT FireDocumentComplete(CWebBrowser& site, IDispatch* frame, const wchar_t* url, const Forms& forms = {})
{
    return FireFrameEvent(site, DISPID_DOCUMENTCOMPLETE, frame, url, forms);
}

// NavigateError (pDisp, URL, TargetFrameName, StatusCode, Cancel).
inline HRESULT FireNavigateError(CWebBrowser& site, IDispatch* frame, const wchar_t* url, LONG status,
                                 VARIANT_BOOL* cancel, const Forms& forms = {})
{
    const Pass text = forms.text.value_or(Pass::InVariant);
    EventArguments args;
    args.Object(frame, forms.object.value_or(Pass::Value))
        .String(url, text)
        .String(nullptr, text)
        .Integer(status, forms.integerType, forms.integer.value_or(Pass::InVariant))
        .Flag(cancel, forms.flag.value_or(Pass::Ref));
    return Fire(site, DISPID_NAVIGATEERROR, args);
}

// TitleChange (Text).
inline HRESULT FireTitleChange(CWebBrowser& site, const wchar_t* title, const Forms& forms = {})
{
    EventArguments args;
    args.String(title, forms.text.value_or(Pass::Value));
    return Fire(site, DISPID_TITLECHANGE, args);
}

// NewWindow3 (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl).
inline HRESULT FireNewWindow(CWebBrowser& site, IDispatch** newWindow, VARIANT_BOOL* cancel, ULONG flags,
                             const wchar_t* context, const wchar_t* url, const Forms& forms = {})
{
    const Pass text = forms.text.value_or(Pass::Value);
    EventArguments args;
    args.ObjectSlot(newWindow, forms.object.value_or(Pass::Ref))
        .Flag(cancel, forms.flag.value_or(Pass::Ref))
        .Integer(flags, forms.integerType, forms.integer.value_or(Pass::Value))
        .String(context, text)
        .String(url, text);
    return Fire(site, DISPID_NEWWINDOW3, args);
}

} // namespace test
