#pragma once
// A VARIANT that clears its contents when it goes; copying is deleted so a
// string or an object inside it is never freed twice.

#include <windows.h>

#include <oleauto.h>

class ComVariant {
public:
    ComVariant() { VariantInit(&value); }
    ~ComVariant() { VariantClear(&value); }
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;

    // A VT_BSTR copy of text; false (and VT_EMPTY) when it cannot be allocated.
    bool SetString(const wchar_t* text)
    {
        VariantClear(&value);
        BSTR copy = SysAllocString(text);
        if (!copy)
            return false;
        V_VT(&value) = VT_BSTR;
        V_BSTR(&value) = copy;
        return true;
    }
    void SetInt(int number)
    {
        VariantClear(&value);
        V_VT(&value) = VT_I4;
        V_I4(&value) = number;
    }

    VARIANT value;
};
