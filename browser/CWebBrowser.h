#pragma once
// The container site of the WebBrowser control. One object plays every part the
// control asks of its container (client site, in-place site and frame, host UI
// handler, sink of DWebBrowserEvents2), gives fixed minimal answers (no menus,
// status bar, borders or scroll bars), turns the events the client cares about
// into calls of its callback members and hands out the script bridge as the
// page's window.external.
//
// Everything here runs on the thread that created the host window (the UI
// thread), which has initialised OLE. The control is closed, disconnected and
// released on that thread by CloseControl, which the browser window calls when
// its window is destroyed.

#include "browser/CImpIDispatch.h"
#include "ui/framework/ComPtr.h"

#include <windows.h>

#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <mshtml.h>
#include <oleidl.h>

#include <functional>
#include <string>
#include <vector>

class CWebBrowser : public IDispatch,
                    public IOleClientSite,
                    public IOleInPlaceSite,
                    public IOleInPlaceFrame,
                    public IDocHostUIHandler {
public:
    // Flags of the host information the site adds to what the control brings.
    // DPI aware: the control zooms its pages by the display's scale.
    static constexpr DWORD kHostFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_DPI_AWARE;
    static constexpr DWORD kNoScrollFlag = DOCHOSTUIFLAG_SCROLL_NO;
    static constexpr int kClassNameCapacity = 512;

    CWebBrowser() = default;
    ~CWebBrowser();
    CWebBrowser(const CWebBrowser&) = delete;
    CWebBrowser& operator=(const CWebBrowser&) = delete;

    // ---- IUnknown, shared by all parts: one identity, a count that never deletes.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ---- IDispatch: the event sink of DWebBrowserEvents2.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // ---- The site's own operations, after the dispatch methods.
    virtual bool Navigate(const wchar_t* url, int flags);
    virtual HRESULT QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text);
    virtual HRESULT Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out);
    virtual bool LoadHtml(const wchar_t* html);
    // Fails, and stores the needed capacity, when the buffer is too small.
    virtual bool GetBodyHtml(wchar_t* buffer, int* capacity);
    virtual bool ClickElement(const wchar_t* id);
    virtual bool SetElementValue(const wchar_t* id, const wchar_t* value);
    // Fails, and stores the needed capacity, when the buffer is null or too small.
    virtual bool GetElementValue(const wchar_t* id, wchar_t* buffer, int* capacity);

    // ---- IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP GetContainer(IOleContainer** container) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL show) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // ---- IOleWindow (of the in-place site and of the frame)
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

    // ---- IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE extent) override;
    STDMETHODIMP OnUIDeactivate(BOOL undoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;

    // ---- IOleInPlaceUIWindow and IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT border) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name) override;
    STDMETHODIMP InsertMenus(HMENU menu, LPOLEMENUGROUPWIDTHS widths) override;
    STDMETHODIMP SetMenu(HMENU menu, HOLEMENU olemenu, HWND activeObject) override;
    STDMETHODIMP RemoveMenus(HMENU menu) override;
    STDMETHODIMP SetStatusText(LPCOLESTR text) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg, WORD id) override;

    // ---- IDocHostUIHandler
    STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* target, IDispatch* object) override;
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
    STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target, IOleInPlaceFrame* frame,
                        IOleInPlaceUIWindow* document) override;
    STDMETHODIMP HideUI() override;
    STDMETHODIMP UpdateUI() override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) override;
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    STDMETHODIMP GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    STDMETHODIMP GetExternal(IDispatch** external) override;
    STDMETHODIMP TranslateUrl(DWORD reserved, LPWSTR url, LPWSTR* translated) override;
    STDMETHODIMP FilterDataObject(IDataObject* data, IDataObject** replacement) override;

    // ---- Operations of the owner, on the host window's thread.

    // Creates the control in place in host and connects the event sink. False,
    // with nothing left behind, when any step fails or a control is active already.
    bool Create(HWND host);
    // Disconnects the event sink, deactivates and closes the control and releases
    // every interface of it. Safe to call again; the site can Create anew after it.
    void CloseControl();
    // The control has been created in its host window.
    bool IsCreated() const { return m_hostWnd != nullptr && m_webBrowser; }

    ComPtr<IHTMLDocument2> GetHtmlDocument2();
    ComPtr<IHTMLDocument3> GetHtmlDocument3();
    HWND GetBrowserWindow();
    HRESULT TranslateKeyMessage(MSG* msg);
    void SetExternalCallback(CImpIDispatch::ExternalCall handler);
    IWebBrowser2* WebBrowser() const { return m_webBrowser.Get(); }

    // The document the document operations work on. Without one set (the normal
    // case) it is the control's current document. A page host without an HTML
    // engine, and the tests, hand a document object in here; null goes back to
    // the control's.
    void SetDocumentOverride(IDispatch* document);

    ComPtr<IStorage> m_storage;
    ComPtr<IOleObject> m_oleObject;
    ComPtr<IOleInPlaceObject> m_inPlaceObject;
    ComPtr<IOleInPlaceActiveObject> m_inPlaceActiveObject;
    ComPtr<IWebBrowser2> m_webBrowser;
    HWND m_hostWnd = nullptr;
    HWND m_browserWnd = nullptr;
    LONG m_inPlaceActive = 0;
    LONG m_refCount = 0;

    std::function<void(const wchar_t* title)> OnTitleChange;
    std::function<void(IDispatch* disp, const wchar_t* url)> OnDocumentComplete;
    std::function<void(const wchar_t* url)> OnNavigateComplete;
    std::function<void(IDispatch* disp, const wchar_t* url, VARIANT_BOOL* cancel)> OnBeforeNavigate;
    std::function<void(IDispatch** ppDisp, VARIANT_BOOL*& cancel, unsigned long flags, wchar_t* urlContext,
                       wchar_t* url)>
        OnNewWindow;
    std::function<void()> OnQuit;
    CImpIDispatch m_external;
    std::function<void(HWND)> OnBrowserWindow;
    bool m_noScroll = true;

private:
    // Cookie of the event connection, kept to disconnect it again.
    DWORD m_adviseCookie = 0;
    // Thread that created the control: the only one that may release it.
    DWORD m_ownerThread = 0;
    ComPtr<IDispatch> m_documentOverride;

    HRESULT FireEvent(DISPID dispid, const DISPPARAMS& params);
    // NewWindow3: the owner decides over the new window the page asks for.
    void FireNewWindow(const DISPPARAMS& params);
    void RefreshBrowserWindow();
    ComPtr<IDispatch> CurrentDocument();
};
