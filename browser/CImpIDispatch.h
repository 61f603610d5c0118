#pragma once
// The page's window.external: a script calling one of the registered method
// names reaches OnExternalCall with the name's dispatch id and the call's
// arguments as text, in the script's order; the handler's answer becomes the
// call's value. The client decides which names exist.
//
// The object lives and dies with the browser site that holds it; references
// are counted but never delete it.

#include <oaidl.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

class CImpIDispatch : public IDispatch {
public:
    using ExternalCall = std::function<std::wstring(unsigned dispid, const std::vector<std::wstring>& args)>;

    CImpIDispatch() = default;
    CImpIDispatch(const CImpIDispatch&) = delete;
    CImpIDispatch& operator=(const CImpIDispatch&) = delete;

    // IUnknown: the object itself for IUnknown and IDispatch, without a reference.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // Registers name under dispid; false when the id or the name is taken already.
    bool AddName(std::wstring name, unsigned dispid);

    // The arguments of a call as the handler sees them: script order, strings as
    // they are, simple values as text, null strings and everything else left out.
    static std::vector<std::wstring> ArgumentsAsText(const DISPPARAMS* params);

    std::map<unsigned, std::wstring> m_names;
    ExternalCall OnExternalCall;
    LONG m_refCount = 0;
    std::mutex m_lock;
};
