#pragma once
// The control's events as the control raises them, for driving the browser
// site's real event sink (CWebBrowser::Invoke) where Wine's control stays
// silent: the argument array holds the event's parameters last-first, with
// by-reference variants where the control passes them.
//
//     test::FireDocumentComplete(html.m_browser, frame, L"http://host/xf.html");

#include "browser/CWebBrowser.h"

#include <exdispid.h>

#include <vector>

namespace test {

// Builds the argument array of an event: arguments are given in the event's
// parameter order and stored last-first. By-reference slots point into
// variants this object keeps alive.
class EventArguments {
public:
    EventArguments() { m_slots.reserve(16); m_targets.reserve(16); }
    ~EventArguments()
    {
        for (VARIANT& target : m_targets)
            VariantClear(&target);
    }
    EventArguments(const EventArguments&) = delete;
    EventArguments& operator=(const EventArguments&) = delete;

    EventArguments& Object(IDispatch* object)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = object;
        return Push(v);
    }
    EventArguments& ObjectRef(IDispatch** object)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_DISPATCH | VT_BYREF;
        V_DISPATCHREF(&v) = object;
        return Push(v);
    }
    EventArguments& String(const wchar_t* text)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = Keep(text);
        return Push(v);
    }
    // A VT_VARIANT | VT_BYREF slot referring to a string variant.
    EventArguments& StringInVariant(const wchar_t* text)
    {
        VARIANT target;
        VariantInit(&target);
        V_VT(&target) = VT_BSTR;
        V_BSTR(&target) = SysAllocString(text);
        m_targets.push_back(target);
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&v) = &m_targets.back();
        return Push(v);
    }
    EventArguments& EmptyVariantRef()
    {
        VARIANT target;
        VariantInit(&target);
        m_targets.push_back(target);
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_VARIANT | VT_BYREF;
        V_VARIANTREF(&v) = &m_targets.back();
        return Push(v);
    }
    EventArguments& BoolRef(VARIANT_BOOL* value)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_BOOL | VT_BYREF;
        V_BOOLREF(&v) = value;
        return Push(v);
    }
    EventArguments& UInt(ULONG value)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_UI4;
        V_UI4(&v) = value;
        return Push(v);
    }
    EventArguments& Int(LONG value)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = value;
        return Push(v);
    }

    DISPPARAMS* Params()
    {
        m_reversed.assign(m_slots.rbegin(), m_slots.rend());
        m_params = {m_reversed.empty() ? nullptr : m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()),
                    0};
        return &m_params;
    }

private:
    EventArguments& Push(const VARIANT& v)
    {
        m_slots.push_back(v);
        return *this;
    }
    BSTR Keep(const wchar_t* text)
    {
        VARIANT holder;
        VariantInit(&holder);
        V_VT(&holder) = VT_BSTR;
        V_BSTR(&holder) = text ? SysAllocString(text) : nullptr;
        m_targets.push_back(holder);
        return V_BSTR(&holder);
    }

    std::vector<VARIANT> m_slots;
    std::vector<VARIANT> m_targets; // reserved up front: slots point into it
    std::vector<VARIANT> m_reversed;
    DISPPARAMS m_params = {};
};

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
