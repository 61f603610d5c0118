#pragma once
// Readers of the arguments of the control's events. The control and the shell's
// argument packer differ from what a type library declares: integers come as
// VT_I4 where a DWORD is declared, and many arguments arrive as a variant passed
// by reference (VT_BYREF | VT_VARIANT) that holds the value, or holds it by
// reference once more. So each reader takes every form its kind of value may
// travel in, follows references only after checking them for null, and answers
// false when the argument holds nothing it can read.

#include <windows.h>

#include <oleauto.h>

namespace event_argument {

// The variant an argument stands for: the argument itself, or the one a
// by-reference variant points at. Null when that reference is null.
inline VARIANT* Resolve(const VARIANT& argument)
{
    if (V_VT(&argument) == (VT_VARIANT | VT_BYREF))
        return V_VARIANTREF(&argument);
    return const_cast<VARIANT*>(&argument);
}

// A variant the caller lent by reference, so that what is written into it
// reaches the caller; null for an argument passed by value.
inline VARIANT* Lent(const VARIANT& argument)
{
    VARIANT* value = Resolve(argument);
    return value != &argument ? value : nullptr;
}

inline bool IsIntegerType(VARTYPE type)
{
    switch (type) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
        return true;
    default:
        return false;
    }
}

// An integer of any integer type, by value or by reference, as its low 32 bits:
// a flag word arrives as VT_I4 or VT_UI4 with the same bits.
inline bool ReadInteger(const VARIANT& argument, unsigned long& number)
{
    const VARIANT* value = Resolve(argument);
    if (!value || !IsIntegerType(V_VT(value) & ~VT_BYREF))
        return false;
    if ((V_VT(value) & VT_BYREF) && !V_BYREF(value))
        return false;
    // The system's coercion reads through the reference; the argument is not changed.
    VARIANT source = *value;
    VARIANT wide;
    VariantInit(&wide);
    if (FAILED(VariantChangeType(&wide, &source, 0, VT_I8)))
        return false;
    number = static_cast<unsigned long>(V_I8(&wide));
    return true;
}

// A string: a BSTR, by value or by reference. A null BSTR is the empty string and
// comes back as null.
inline bool ReadString(const VARIANT& argument, BSTR& text)
{
    const VARIANT* value = Resolve(argument);
    if (!value)
        return false;
    if (V_VT(value) == VT_BSTR) {
        text = V_BSTR(value);
        return true;
    }
    if (V_VT(value) == (VT_BSTR | VT_BYREF) && V_BSTRREF(value)) {
        text = *V_BSTRREF(value);
        return true;
    }
    return false;
}

// An object, by value or by reference (null is an object too: none).
inline bool ReadObject(const VARIANT& argument, IDispatch*& object)
{
    const VARIANT* value = Resolve(argument);
    if (!value)
        return false;
    if (V_VT(value) == VT_DISPATCH) {
        object = V_DISPATCH(value);
        return true;
    }
    if (V_VT(value) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(value)) {
        object = *V_DISPATCHREF(value);
        return true;
    }
    return false;
}

// The caller's slot for an object the handler may hand back: a dispatch pointer
// by reference, or the one a lent variant holds.
inline bool ReadObjectSlot(const VARIANT& argument, IDispatch**& slot)
{
    VARIANT* value = Resolve(argument);
    if (!value)
        return false;
    if (V_VT(value) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(value)) {
        slot = V_DISPATCHREF(value);
        return true;
    }
    if (V_VT(value) == VT_DISPATCH && Lent(argument)) {
        slot = &V_DISPATCH(value);
        return true;
    }
    return false;
}

// The caller's cancel flag: a VARIANT_BOOL by reference, or the one a lent
// variant holds. A flag passed by value could not answer and is no flag.
inline bool ReadCancel(const VARIANT& argument, VARIANT_BOOL*& cancel)
{
    VARIANT* value = Resolve(argument);
    if (!value)
        return false;
    if (V_VT(value) == (VT_BOOL | VT_BYREF) && V_BOOLREF(value)) {
        cancel = V_BOOLREF(value);
        return true;
    }
    if (V_VT(value) == VT_BOOL && Lent(argument)) {
        cancel = &V_BOOL(value);
        return true;
    }
    return false;
}

} // namespace event_argument
