#pragma once
// The arguments of an IDispatch call, given in the caller's order and laid out
// as DISPPARAMS wants them: last argument first. By-reference arguments point
// into values this object owns and keeps in place until it goes.

#include <windows.h>

#include <oleauto.h>

#include <deque>
#include <vector>

namespace test {

class CallArguments {
public:
    CallArguments() = default;
    ~CallArguments()
    {
        for (VARIANT& value : m_owned)
            VariantClear(&value);
    }
    CallArguments(const CallArguments&) = delete;
    CallArguments& operator=(const CallArguments&) = delete;

    // A string, or a null one.
    CallArguments& String(const wchar_t* text)
    {
        VARIANT v = Make(VT_BSTR);
        V_BSTR(&v) = text ? Keep(text) : nullptr;
        return Push(v);
    }
    CallArguments& Int(LONG value)
    {
        VARIANT v = Make(VT_I4);
        V_I4(&v) = value;
        return Push(v);
    }
    CallArguments& UInt(ULONG value)
    {
        VARIANT v = Make(VT_UI4);
        V_UI4(&v) = value;
        return Push(v);
    }
    CallArguments& Double(double value)
    {
        VARIANT v = Make(VT_R8);
        V_R8(&v) = value;
        return Push(v);
    }
    CallArguments& Bool(bool value)
    {
        VARIANT v = Make(VT_BOOL);
        V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
        return Push(v);
    }
    // A value of a type without payload (VT_EMPTY, VT_NULL).
    CallArguments& Of(VARTYPE type) { return Push(Make(type)); }
    // An object the caller keeps; the call takes no reference of its own.
    CallArguments& Object(IDispatch* object)
    {
        VARIANT v = Make(VT_DISPATCH);
        V_DISPATCH(&v) = object;
        return Push(v);
    }
    CallArguments& ObjectRef(IDispatch** object)
    {
        VARIANT v = Make(VT_DISPATCH | VT_BYREF);
        V_DISPATCHREF(&v) = object;
        return Push(v);
    }
    CallArguments& BoolRef(VARIANT_BOOL* value)
    {
        VARIANT v = Make(VT_BOOL | VT_BYREF);
        V_BOOLREF(&v) = value;
        return Push(v);
    }
    CallArguments& StringRef(BSTR* text)
    {
        VARIANT v = Make(VT_BSTR | VT_BYREF);
        V_BSTRREF(&v) = text;
        return Push(v);
    }
    // A VT_VARIANT | VT_BYREF argument referring to a string variant.
    CallArguments& StringInVariant(const wchar_t* text)
    {
        VARIANT* target = Owned();
        V_VT(target) = VT_BSTR;
        V_BSTR(target) = SysAllocString(text);
        return ReferTo(target);
    }
    // A VT_VARIANT | VT_BYREF argument referring to an empty variant.
    CallArguments& EmptyVariantRef() { return ReferTo(Owned()); }

    DISPPARAMS* Params()
    {
        m_reversed.assign(m_args.rbegin(), m_args.rend());
        m_params = {m_reversed.empty() ? nullptr : m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()),
                    0};
        return &m_params;
    }

private:
    static VARIANT Make(VARTYPE type)
    {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = type;
        return v;
    }
    // A value this object owns; a deque keeps it in place as more are added.
    VARIANT* Owned()
    {
        m_owned.push_back(Make(VT_EMPTY));
        return &m_owned.back();
    }
    BSTR Keep(const wchar_t* text)
    {
        VARIANT* holder = Owned();
        V_VT(holder) = VT_BSTR;
        V_BSTR(holder) = SysAllocString(text);
        return V_BSTR(holder);
    }
    CallArguments& ReferTo(VARIANT* target)
    {
        VARIANT v = Make(VT_VARIANT | VT_BYREF);
        V_VARIANTREF(&v) = target;
        return Push(v);
    }
    CallArguments& Push(const VARIANT& v)
    {
        m_args.push_back(v);
        return *this;
    }

    std::vector<VARIANT> m_args; // caller's order; owns nothing
    std::deque<VARIANT> m_owned; // what the arguments hold or point at
    std::vector<VARIANT> m_reversed;
    DISPPARAMS m_params = {};
};

} // namespace test
