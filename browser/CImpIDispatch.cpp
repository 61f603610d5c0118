#include "browser/CImpIDispatch.h"

#include <oleauto.h>

#include <exception>

namespace {

// Values a script can pass that have one obvious text form. Objects, arrays,
// empty and null values have none: converting an object would run script code
// (its default property) in the middle of the call.
bool IsSimpleValue(VARTYPE type)
{
    switch (type) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_DECIMAL:
    case VT_BOOL:
        return true;
    default:
        return false;
    }
}

// Releases a VARIANT's contents when it goes out of scope.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&value); }
    ~ScopedVariant() { VariantClear(&value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT value;
};

// One argument as text; false when it has none (a null string, an object, ...).
bool ArgumentText(const VARIANT& argument, std::wstring& text)
{
    // Strings are taken as they are; a null one, directly or by reference, is no argument.
    if (V_VT(&argument) == VT_BSTR) {
        if (!V_BSTR(&argument))
            return false;
        text = V_BSTR(&argument);
        return true;
    }
    if (V_VT(&argument) == (VT_BSTR | VT_BYREF)) {
        if (!V_BSTRREF(&argument) || !*V_BSTRREF(&argument))
            return false;
        text = *V_BSTRREF(&argument);
        return true;
    }
    if (V_VT(&argument) == (VT_VARIANT | VT_BYREF)) {
        const VARIANT* inner = V_VARIANTREF(&argument);
        return inner && V_VT(inner) != (VT_VARIANT | VT_BYREF) && ArgumentText(*inner, text);
    }
    ScopedVariant direct;
    if (FAILED(VariantCopyInd(&direct.value, const_cast<VARIANT*>(&argument))) || !IsSimpleValue(V_VT(&direct.value)))
        return false;
    // The invariant locale keeps "2.5" from becoming "2,5" on some systems.
    ScopedVariant converted;
    if (FAILED(VariantChangeTypeEx(&converted.value, &direct.value, LOCALE_INVARIANT, VARIANT_ALPHABOOL, VT_BSTR)) ||
        !V_BSTR(&converted.value))
        return false;
    text = V_BSTR(&converted.value);
    return true;
}

} // namespace

STDMETHODIMP CImpIDispatch::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_FAIL;
}

STDMETHODIMP_(ULONG) CImpIDispatch::AddRef() { return static_cast<ULONG>(++m_refCount); }

STDMETHODIMP_(ULONG) CImpIDispatch::Release() { return static_cast<ULONG>(--m_refCount); }

STDMETHODIMP CImpIDispatch::GetTypeInfoCount(UINT*) { return E_FAIL; }

STDMETHODIMP CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_FAIL; }

STDMETHODIMP CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (count && (!names || !ids))
        return E_POINTER;
    HRESULT result = S_OK;
    std::lock_guard<std::mutex> lock(m_lock);
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (!names[i]) {
            result = DISP_E_UNKNOWNNAME;
            continue;
        }
        bool found = false;
        for (const auto& [dispid, name] : m_names) {
            if (name == names[i]) {
                ids[i] = static_cast<DISPID>(dispid);
                found = true;
                break;
            }
        }
        if (!found)
            result = DISP_E_UNKNOWNNAME;
    }
    return result;
}

std::vector<std::wstring> CImpIDispatch::ArgumentsAsText(const DISPPARAMS* params)
{
    std::vector<std::wstring> args;
    if (!params || !params->rgvarg)
        return args;
    // The array holds the arguments last-first.
    for (UINT i = params->cArgs; i-- > 0;) {
        std::wstring text;
        if (ArgumentText(params->rgvarg[i], text))
            args.push_back(std::move(text));
    }
    return args;
}

STDMETHODIMP CImpIDispatch::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*)
{
    if (!OnExternalCall)
        return S_OK;
    if (m_names.find(static_cast<unsigned>(dispid)) == m_names.end())
        return S_OK;

    // Reading a registered name as a property tells the script the method exists.
    if ((flags & DISPATCH_PROPERTYGET) && result) {
        VariantInit(result);
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_TRUE;
    }
    if (!(flags & DISPATCH_METHOD))
        return S_OK;

    // Nothing thrown in here may cross back into the page's script engine.
    try {
        const std::wstring answer = OnExternalCall(static_cast<unsigned>(dispid), ArgumentsAsText(params));
        if (result) {
            VariantInit(result);
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = SysAllocStringLen(answer.c_str(), static_cast<UINT>(answer.size()));
        }
    } catch (const std::exception&) {
    } catch (...) {
    }
    return S_OK;
}

bool CImpIDispatch::AddName(std::wstring name, unsigned dispid)
{
    if (m_names.count(dispid))
        return false;
    for (const auto& entry : m_names) {
        if (entry.second == name)
            return false;
    }
    m_names.emplace(dispid, std::move(name));
    return true;
}
