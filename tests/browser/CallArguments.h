#pragma once
// The arguments of an IDispatch call, given in the caller's order and laid out
// as DISPPARAMS wants them: last argument first. By-reference arguments point
// into values this object owns and keeps in place until it goes.

#include <windows.h>

#include <oleauto.h>

#include <deque>
#include <utility>
#include <vector>

namespace test {

class CallArguments {
public:
    CallArguments() = default;
    ~CallArguments()
    {
        for (const auto& [lent, flag] : m_boolsLent)
            *flag = V_BOOL(lent);
        for (VARIANT& value : m_owned)
            VariantClear(&value);
    }
    CallArguments(const CallArguments&) = delete;
    CallArguments& operator=(const CallArguments&) = delete;

    // How an argument travels: by value; by reference to its value (VT_BYREF
    // with its type); in a variant lent by reference (VT_BYREF | VT_VARIANT)
    // holding it by value, or holding it by reference once more.
    enum class Pass { Value, Ref, InVariant, RefInVariant };

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

    // A string, or a null one, passed as given.
    CallArguments& String(const wchar_t* text, Pass pass)
    {
        VARIANT v = Make(VT_BSTR);
        V_BSTR(&v) = text ? SysAllocString(text) : nullptr;
        return Add(v, pass);
    }
    // An integer of the given integer type, passed as given. A 32-bit type takes
    // the low 32 bits of the value, as a flag word or status code travels.
    CallArguments& Integer(LONGLONG value, VARTYPE type, Pass pass)
    {
        if (type == VT_I4 || type == VT_INT)
            value = static_cast<LONG>(value);
        else if (type == VT_UI4 || type == VT_UINT)
            value = static_cast<ULONG>(value);
        VARIANT v = Make(VT_I8);
        V_I8(&v) = value;
        VariantChangeType(&v, &v, 0, type);
        return Add(v, pass);
    }
    // An object the caller keeps; passed by value it is not referenced, otherwise
    // the by-reference value here holds a reference of its own.
    CallArguments& Object(IDispatch* object, Pass pass)
    {
        if (pass == Pass::Value)
            return Object(object);
        if (object)
            object->AddRef();
        VARIANT v = Make(VT_DISPATCH);
        V_DISPATCH(&v) = object;
        return Add(v, pass);
    }
    // The caller's own slot for an object: by reference, or lent in a variant
    // holding a copy (InVariant) or the reference (RefInVariant).
    CallArguments& ObjectSlot(IDispatch** slot, Pass pass)
    {
        if (pass == Pass::Ref)
            return ObjectRef(slot);
        if (pass == Pass::RefInVariant)
            return ReferInVariant(VT_DISPATCH, slot);
        return Object(*slot, pass);
    }
    // The caller's flag, which the callee may set: by reference, or lent in a
    // variant holding the reference (RefInVariant) or a copy (InVariant), which
    // is copied back to the flag when these arguments go, as a marshaller does.
    CallArguments& Flag(VARIANT_BOOL* flag, Pass pass)
    {
        if (pass == Pass::Ref)
            return BoolRef(flag);
        if (pass == Pass::RefInVariant)
            return ReferInVariant(VT_BOOL, flag);
        VARIANT* lent = Owned();
        V_VT(lent) = VT_BOOL;
        V_BOOL(lent) = *flag;
        m_boolsLent.emplace_back(lent, flag);
        return pass == Pass::InVariant ? ReferTo(lent) : Push(*lent);
    }
    // A variant lent by reference that holds another one by reference, which is
    // empty (the form of the control's post data).
    CallArguments& EmptyVariantRefRef() { return ReferInVariant(VT_VARIANT, Owned()); }

    DISPPARAMS* Params()
    {
        m_reversed.assign(m_args.rbegin(), m_args.rend());
        m_params = {m_reversed.empty() ? nullptr : m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()), 0};
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
    // Takes the value over and passes it as given.
    CallArguments& Add(const VARIANT& value, Pass pass)
    {
        VARIANT* held = Owned();
        *held = value;
        switch (pass) {
        case Pass::Value:
            return Push(*held);
        case Pass::InVariant:
            return ReferTo(held);
        case Pass::Ref: {
            VARIANT v = Make(V_VT(held) | VT_BYREF);
            V_BYREF(&v) = &V_I8(held); // every kind of value starts where the union does
            return Push(v);
        }
        case Pass::RefInVariant:
            return ReferInVariant(V_VT(held), &V_I8(held));
        }
        return *this;
    }
    // A variant lent by reference holding a reference of the given type to target.
    CallArguments& ReferInVariant(VARTYPE type, void* target)
    {
        VARIANT* holder = Owned();
        V_VT(holder) = type | VT_BYREF;
        V_BYREF(holder) = target;
        return ReferTo(holder);
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

    std::vector<VARIANT> m_args;                                 // caller's order; owns nothing
    std::deque<VARIANT> m_owned;                                 // what the arguments hold or point at
    std::vector<std::pair<VARIANT*, VARIANT_BOOL*>> m_boolsLent; // copied back when the call is over
    std::vector<VARIANT> m_reversed;
    DISPPARAMS m_params = {};
};

} // namespace test
