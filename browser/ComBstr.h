#pragma once
// An owned BSTR, freed when it goes; copying is deleted.

#include <windows.h>

#include <oleauto.h>

#include <utility>

class ComBstr {
public:
    ComBstr() = default;
    // A copy of text; Get() stays null when text is null or memory runs out.
    explicit ComBstr(const wchar_t* text) : m_text(text ? SysAllocString(text) : nullptr) {}
    ~ComBstr() { SysFreeString(m_text); }
    ComBstr(const ComBstr&) = delete;
    ComBstr& operator=(const ComBstr&) = delete;

    BSTR Get() const { return m_text; }
    // Out-argument of a call that hands back a new string; frees the old one first.
    BSTR* Put()
    {
        SysFreeString(std::exchange(m_text, nullptr));
        return &m_text;
    }

private:
    BSTR m_text = nullptr;
};
