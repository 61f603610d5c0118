#pragma once
// Readers of the arguments of the control's events, typed as the control passes
// them. Each answers false when the argument is not of that type.

#include <windows.h>

#include <oleauto.h>

namespace event_argument {

// Strings of event arguments: a BSTR directly or through a by-reference variant,
// as the control lays them out. A null BSTR is the empty string.
inline bool ReadString(const VARIANT& argument, const wchar_t*& text)
{
    const VARIANT* value = &argument;
    if (V_VT(value) == (VT_VARIANT | VT_BYREF)) {
        value = V_VARIANTREF(value);
        if (!value)
            return false;
    }
    if (V_VT(value) == VT_BSTR) {
        text = V_BSTR(value) ? V_BSTR(value) : L"";
        return true;
    }
    if (V_VT(value) == (VT_BSTR | VT_BYREF) && V_BSTRREF(value)) {
        text = *V_BSTRREF(value) ? *V_BSTRREF(value) : L"";
        return true;
    }
    return false;
}

inline bool ReadObject(const VARIANT& argument, IDispatch*& object)
{
    if (V_VT(&argument) != VT_DISPATCH)
        return false;
    object = V_DISPATCH(&argument);
    return true;
}

inline bool ReadCancel(const VARIANT& argument, VARIANT_BOOL*& cancel)
{
    if (V_VT(&argument) != (VT_BOOL | VT_BYREF))
        return false;
    cancel = V_BOOLREF(&argument);
    return true;
}

} // namespace event_argument
