#include "browser/CWebBrowser.h"

#include "browser/BrowserEmulation.h"
#include "browser/ComVariant.h"
#include "browser/EventArgument.h"
#include "browser/HtmlDocument.h"

#include <exdispid.h>
#include <ocidl.h>
#include <oleauto.h>
#include <servprov.h>
#include <shlguid.h>
#include <shobjidl.h>

namespace {

// Command group of the control's script-error notification (the import
// libraries do not carry it).
constexpr GUID kDocHostCommandHandler = {0xf38bc242, 0xb950, 0x11d1, {0x89, 0x18, 0x00, 0xc0, 0x4f, 0xc2, 0xc8, 0x36}};

// A string argument as the callbacks take it: the event's own text, or an empty
// one where the argument holds none or cannot be read.
class TextArgument {
public:
    bool Read(const VARIANT& argument) { return event_argument::ReadString(argument, m_text); }
    wchar_t* Text() { return m_text ? m_text : m_empty; }

private:
    BSTR m_text = nullptr;
    wchar_t m_empty[1] = {};
};

} // namespace

CWebBrowser::~CWebBrowser()
{
    m_inPlaceActive = 0;
    if (m_oleObject || m_webBrowser || m_storage) {
        if (GetCurrentThreadId() == m_ownerThread) {
            CloseControl();
        } else {
            // The control belongs to another thread's apartment, which may be gone
            // already: releasing it from here would call into a dead apartment.
            // The references are left to the end of the process instead.
            m_webBrowser.Detach();
            m_inPlaceActiveObject.Detach();
            m_inPlaceObject.Detach();
            m_oleObject.Detach();
            m_storage.Detach();
        }
    }
}

// ---------------------------------------------------------------- IUnknown

STDMETHODIMP CWebBrowser::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    // The in-place parts are offered only until the control has been activated.
    const bool activating = m_inPlaceActive == 0;
    const struct {
        const IID& iid;
        void* part;
        bool available;
    } parts[] = {
        {IID_IOleClientSite, static_cast<IOleClientSite*>(this), true},
        {IID_IUnknown, static_cast<IDispatch*>(this), true},
        {IID_IDispatch, static_cast<IDispatch*>(this), true},
        {IID_IOleInPlaceSite, static_cast<IOleInPlaceSite*>(this), activating},
        {IID_IOleInPlaceFrame, static_cast<IOleInPlaceFrame*>(this), activating},
        {IID_IOleInPlaceUIWindow, static_cast<IOleInPlaceFrame*>(this), activating},
        {DIID_DWebBrowserEvents2, static_cast<IDispatch*>(this), true},
        {IID_IDocHostUIHandler, static_cast<IDocHostUIHandler*>(this), true},
    };
    for (const auto& entry : parts) {
        if (entry.available && IsEqualIID(iid, entry.iid)) {
            *object = entry.part;
            AddRef();
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

// The site lives and dies with its owner; the count is kept for the record only.
STDMETHODIMP_(ULONG) CWebBrowser::AddRef()
{
    InterlockedExchangeAdd(&m_refCount, 1);
    return 0;
}

STDMETHODIMP_(ULONG) CWebBrowser::Release()
{
    InterlockedExchangeAdd(&m_refCount, -1);
    return 0;
}

// ---------------------------------------------------------------- IDispatch (event sink)

STDMETHODIMP CWebBrowser::GetTypeInfoCount(UINT* count)
{
    if (count)
        *count = 0;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowser::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowser::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowser::Invoke(DISPID dispid, REFIID iid, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (!IsEqualIID(iid, IID_NULL))
        return E_INVALIDARG;
    static const DISPPARAMS kNoArguments = {nullptr, nullptr, 0, 0};
    return FireEvent(dispid, params && params->rgvarg ? *params : kNoArguments);
}

// The arguments come last-first: index 0 is the event's last parameter. An event
// short of arguments is acknowledged and not passed on. Within an event, an
// argument that cannot be read is passed on as nothing (no object, an empty
// string, no flags), so that the event still does its work: only the title of a
// TitleChange and the cancel flag of a NewWindow3, which its handler exists to
// set, are needed to pass the event on.
HRESULT CWebBrowser::FireEvent(DISPID dispid, const DISPPARAMS& params)
{
    const VARIANT* arg = params.rgvarg;
    const UINT count = params.cArgs;
    switch (dispid) {
    case DISPID_QUIT:
        if (OnQuit)
            OnQuit();
        return S_OK;
    case DISPID_COMMANDSTATECHANGE:
    case DISPID_NAVIGATEERROR:
        return S_OK;
    case DISPID_TITLECHANGE: {
        TextArgument title;
        if (count >= 1 && title.Read(arg[0]) && OnTitleChange)
            OnTitleChange(title.Text());
        return S_OK;
    }
    case DISPID_BEFORENAVIGATE2: {
        if (count < 7 || !OnBeforeNavigate)
            return S_OK;
        IDispatch* disp = nullptr;
        event_argument::ReadObject(arg[6], disp);
        TextArgument url;
        url.Read(arg[5]);
        VARIANT_BOOL* cancel = nullptr;
        event_argument::ReadCancel(arg[0], cancel);
        OnBeforeNavigate(disp, url.Text(), cancel);
        return S_OK;
    }
    case DISPID_NAVIGATECOMPLETE2: {
        if (count < 2)
            return S_OK;
        TextArgument url;
        url.Read(arg[0]);
        RefreshBrowserWindow();
        if (OnNavigateComplete)
            OnNavigateComplete(url.Text());
        return S_OK;
    }
    case DISPID_DOCUMENTCOMPLETE: {
        if (count < 2 || !OnDocumentComplete)
            return S_OK;
        IDispatch* disp = nullptr;
        event_argument::ReadObject(arg[1], disp);
        TextArgument url;
        url.Read(arg[0]);
        OnDocumentComplete(disp, url.Text());
        return S_OK;
    }
    case DISPID_NEWWINDOW3:
        FireNewWindow(params);
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

void CWebBrowser::FireNewWindow(const DISPPARAMS& params)
{
    // The arguments come last first: ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl.
    const VARIANT* arg = params.rgvarg;
    VARIANT_BOOL* cancel = nullptr;
    if (params.cArgs < 5 || !event_argument::ReadCancel(arg[3], cancel) || !OnNewWindow)
        return;
    IDispatch** window = nullptr;
    event_argument::ReadObjectSlot(arg[4], window);
    unsigned long flags = 0;
    event_argument::ReadInteger(arg[2], flags);
    TextArgument context;
    context.Read(arg[1]);
    TextArgument url;
    url.Read(arg[0]);
    OnNewWindow(window, cancel, flags, context.Text(), url.Text());
}

// ---------------------------------------------------------------- Creation and teardown

bool CWebBrowser::Create(HWND host)
{
    if (m_inPlaceActive)
        return false;
    m_inPlaceActive = 0;
    CloseControl();
    if (!host || !IsWindow(host))
        return false;
    browser_emulation::EnsureForThisProgram();
    m_ownerThread = GetCurrentThreadId();

    // A throw-away storage: its temporary file goes with the last release.
    constexpr DWORD kStorageMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE | STGM_DELETEONRELEASE;
    bool created = SUCCEEDED(StgCreateDocfile(nullptr, kStorageMode, 0, m_storage.Put())) && m_storage &&
                   SUCCEEDED(OleCreate(CLSID_WebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr,
                                       static_cast<IOleClientSite*>(this), m_storage.Get(), m_oleObject.PutVoid())) &&
                   m_oleObject;
    if (created) {
        m_inPlaceObject = m_oleObject.As<IOleInPlaceObject>();
        m_inPlaceActiveObject = m_oleObject.As<IOleInPlaceActiveObject>();
        m_webBrowser = m_oleObject.As<IWebBrowser2>();
        created = m_inPlaceObject && m_inPlaceActiveObject && m_webBrowser;
    }
    if (created) {
        m_hostWnd = host;
        RECT client = {};
        GetClientRect(host, &client);
        // The control asks CanInPlaceActivate, GetWindowContext and the like during this call.
        created = SUCCEEDED(m_oleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this),
                                                0, host, &client));
    }
    if (created) {
        ComPtr<IConnectionPointContainer> container = m_webBrowser.As<IConnectionPointContainer>();
        ComPtr<IConnectionPoint> point;
        created = container && SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put())) &&
                  point && SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &m_adviseCookie));
    }
    if (!created) {
        CloseControl();
        return false;
    }
    m_inPlaceActive = 1;
    return true;
}

void CWebBrowser::CloseControl()
{
    if (m_adviseCookie && m_webBrowser) {
        ComPtr<IConnectionPointContainer> container = m_webBrowser.As<IConnectionPointContainer>();
        ComPtr<IConnectionPoint> point;
        if (container && SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Put())) && point)
            point->Unadvise(m_adviseCookie);
    }
    m_adviseCookie = 0;
    if (m_inPlaceObject)
        m_inPlaceObject->InPlaceDeactivate();
    if (m_oleObject) {
        m_oleObject->Close(OLECLOSE_NOSAVE);
        m_oleObject->SetClientSite(nullptr);
    }
    m_webBrowser.Reset();
    m_inPlaceActiveObject.Reset();
    m_inPlaceObject.Reset();
    m_oleObject.Reset();
    m_storage.Reset();
    m_hostWnd = nullptr;
    m_browserWnd = nullptr;
    m_inPlaceActive = 0;
}

// ---------------------------------------------------------------- Navigation and documents

bool CWebBrowser::Navigate(const wchar_t* url, int flags)
{
    if (!m_webBrowser || !url)
        return false;
    ComVariant target;
    if (!target.SetString(url))
        return false;
    ComVariant navFlags;
    navFlags.SetInt(flags);
    ComVariant none;
    m_webBrowser->Navigate2(&target.value, &navFlags.value, &none.value, &none.value, &none.value);
    return true;
}

void CWebBrowser::SetDocumentOverride(IDispatch* document) { m_documentOverride = ComPtr<IDispatch>::Share(document); }

ComPtr<IDispatch> CWebBrowser::CurrentDocument()
{
    if (m_documentOverride)
        return ComPtr<IDispatch>::Share(m_documentOverride.Get());
    ComPtr<IDispatch> document;
    if (!m_webBrowser || FAILED(m_webBrowser->get_Document(document.Put())))
        document.Reset();
    return document;
}

ComPtr<IHTMLDocument2> CWebBrowser::GetHtmlDocument2() { return HtmlDocument(CurrentDocument()).Document2(); }

ComPtr<IHTMLDocument3> CWebBrowser::GetHtmlDocument3() { return HtmlDocument(CurrentDocument()).Document3(); }

bool CWebBrowser::LoadHtml(const wchar_t* html)
{
    if (!html || !m_webBrowser)
        return false;
    ComVariant blank;
    if (!blank.SetString(L"about:blank") ||
        FAILED(m_webBrowser->Navigate2(&blank.value, nullptr, nullptr, nullptr, nullptr)))
        return false;
    // The document is taken right away, without waiting for the blank page.
    return HtmlDocument(CurrentDocument()).Write(html);
}

bool CWebBrowser::GetBodyHtml(wchar_t* buffer, int* capacity)
{
    return HtmlDocument(CurrentDocument()).BodyHtml(buffer, capacity);
}

bool CWebBrowser::ClickElement(const wchar_t* id) { return HtmlDocument(CurrentDocument()).Click(id); }

bool CWebBrowser::SetElementValue(const wchar_t* id, const wchar_t* value)
{
    return HtmlDocument(CurrentDocument()).SetValue(id, value);
}

bool CWebBrowser::GetElementValue(const wchar_t* id, wchar_t* buffer, int* capacity)
{
    return HtmlDocument(CurrentDocument()).GetValue(id, buffer, capacity);
}

// ---------------------------------------------------------------- Command target (not offered to the control)

HRESULT CWebBrowser::QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) { return OLECMDERR_E_NOTSUPPORTED; }

HRESULT CWebBrowser::Exec(const GUID* group, DWORD command, DWORD, VARIANT* in, VARIANT* out)
{
    if (!group || !IsEqualGUID(*group, kDocHostCommandHandler))
        return OLECMDERR_E_UNKNOWNGROUP;
    if (command != OLECMDID_SHOWSCRIPTERROR)
        return OLECMDERR_E_NOTSUPPORTED;
    // The error's details are read, and the script keeps running whatever they say.
    ComPtr<IDispatch> document;
    if (in && V_VT(in) == VT_UNKNOWN && V_UNKNOWN(in))
        V_UNKNOWN(in)->QueryInterface(IID_IDispatch, document.PutVoid());
    const HRESULT result = HtmlDocument(std::move(document)).ReadScriptError();
    if (out) {
        VariantInit(out);
        V_VT(out) = VT_BOOL;
        V_BOOL(out) = VARIANT_TRUE;
    }
    return result;
}

// ---------------------------------------------------------------- Browser window and keyboard

void CWebBrowser::RefreshBrowserWindow()
{
    ComPtr<IServiceProvider> services = m_webBrowser.As<IServiceProvider>();
    ComPtr<IOleWindow> window;
    if (!services || FAILED(services->QueryService(SID_SShellBrowser, IID_IOleWindow, window.PutVoid())) || !window) {
        // A control without the shell-browser service still names the window it
        // is active in: the same top window of the control.
        window.Reset();
        if (m_inPlaceObject)
            window = m_inPlaceObject.As<IOleWindow>();
        if (!window)
            return;
    }
    HWND found = nullptr;
    if (FAILED(window->GetWindow(&found))) {
        m_browserWnd = nullptr;
        return;
    }
    m_browserWnd = found;
    if (OnBrowserWindow)
        OnBrowserWindow(found);
}

HWND CWebBrowser::GetBrowserWindow()
{
    if (m_browserWnd && IsWindow(m_browserWnd))
        return m_browserWnd;
    if (!m_webBrowser)
        return m_browserWnd;
    RefreshBrowserWindow();
    return m_browserWnd;
}

HRESULT CWebBrowser::TranslateKeyMessage(MSG* msg)
{
    if (!msg || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return S_FALSE;
    if (!m_webBrowser)
        return E_NOTIMPL;
    wchar_t className[kClassNameCapacity] = {};
    GetClassNameW(msg->hwnd, className, kClassNameCapacity - 1);
    if (wcscmp(className, L"Internet Explorer_Server") != 0)
        return S_FALSE;
    if (!m_inPlaceActiveObject)
        return S_FALSE;
    return m_inPlaceActiveObject->TranslateAccelerator(msg);
}

void CWebBrowser::SetExternalCallback(CImpIDispatch::ExternalCall handler)
{
    m_external.OnExternalCall = std::move(handler);
}

// ---------------------------------------------------------------- IOleClientSite

STDMETHODIMP CWebBrowser::SaveObject() { return S_OK; }

STDMETHODIMP CWebBrowser::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CWebBrowser::GetContainer(IOleContainer** container)
{
    if (container)
        *container = nullptr;
    return E_FAIL;
}

STDMETHODIMP CWebBrowser::ShowObject() { return S_OK; }
STDMETHODIMP CWebBrowser::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP CWebBrowser::RequestNewObjectLayout() { return S_OK; }

// ---------------------------------------------------------------- IOleWindow, IOleInPlaceSite

STDMETHODIMP CWebBrowser::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_hostWnd;
    return S_OK;
}

STDMETHODIMP CWebBrowser::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP CWebBrowser::CanInPlaceActivate()
{
    if (m_inPlaceActive)
        return S_FALSE;
    m_inPlaceActive = 1;
    return S_OK;
}

STDMETHODIMP CWebBrowser::OnInPlaceActivate() { return S_OK; }
STDMETHODIMP CWebBrowser::OnUIActivate() { return S_OK; }

STDMETHODIMP CWebBrowser::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                           LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo)
{
    if (frame) {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (document)
        *document = nullptr;
    RECT client = {};
    if (m_hostWnd)
        GetClientRect(m_hostWnd, &client);
    if (position)
        *position = client;
    if (clip)
        *clip = client;
    if (frameInfo) {
        frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = m_hostWnd ? GetParent(m_hostWnd) : nullptr;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP CWebBrowser::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowser::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP CWebBrowser::OnInPlaceDeactivate() { return S_OK; }
STDMETHODIMP CWebBrowser::DiscardUndoState() { return S_OK; }
STDMETHODIMP CWebBrowser::DeactivateAndUndo() { return S_OK; }
// The control's window is sized by the browser window, not here.
STDMETHODIMP CWebBrowser::OnPosRectChange(LPCRECT) { return S_OK; }

// ---------------------------------------------------------------- IOleInPlaceUIWindow, IOleInPlaceFrame

STDMETHODIMP CWebBrowser::GetBorder(LPRECT border)
{
    if (!border)
        return E_POINTER;
    RECT client = {};
    if (m_hostWnd)
        GetClientRect(m_hostWnd, &client);
    *border = client;
    return S_OK;
}

STDMETHODIMP CWebBrowser::RequestBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
STDMETHODIMP CWebBrowser::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }
STDMETHODIMP CWebBrowser::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
STDMETHODIMP CWebBrowser::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowser::SetMenu(HMENU, HOLEMENU, HWND) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowser::RemoveMenus(HMENU) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowser::SetStatusText(LPCOLESTR) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowser::EnableModeless(BOOL) { return E_NOTIMPL; }
STDMETHODIMP CWebBrowser::TranslateAccelerator(LPMSG, WORD) { return E_NOTIMPL; }

// ---------------------------------------------------------------- IDocHostUIHandler

// S_FALSE: the control shows its own context menu.
STDMETHODIMP CWebBrowser::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_FALSE; }

STDMETHODIMP CWebBrowser::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info)
        return E_POINTER;
    info->cbSize = sizeof(DOCHOSTUIINFO);
    info->dwFlags |= kHostFlags | (m_noScroll ? kNoScrollFlag : 0);
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    info->pchHostCss = nullptr;
    info->pchHostNS = nullptr;
    return S_OK;
}

STDMETHODIMP CWebBrowser::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                 IOleInPlaceUIWindow*)
{
    return S_OK;
}

STDMETHODIMP CWebBrowser::HideUI() { return S_OK; }
STDMETHODIMP CWebBrowser::UpdateUI() { return S_OK; }
STDMETHODIMP CWebBrowser::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP CWebBrowser::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP CWebBrowser::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
// S_FALSE: the control handles the key itself.
STDMETHODIMP CWebBrowser::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

// The answers below say "nothing to change"; their out-arguments get null so the
// control never reads an unset pointer.
STDMETHODIMP CWebBrowser::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key)
        *key = nullptr;
    return S_OK;
}

STDMETHODIMP CWebBrowser::GetDropTarget(IDropTarget*, IDropTarget** replacement)
{
    if (replacement)
        *replacement = nullptr;
    return S_OK;
}

STDMETHODIMP CWebBrowser::GetExternal(IDispatch** external)
{
    if (!external)
        return E_POINTER;
    m_external.AddRef();
    *external = &m_external;
    return S_OK;
}

STDMETHODIMP CWebBrowser::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated)
{
    if (translated)
        *translated = nullptr;
    return S_OK;
}

STDMETHODIMP CWebBrowser::FilterDataObject(IDataObject*, IDataObject** replacement)
{
    if (replacement)
        *replacement = nullptr;
    return S_OK;
}
