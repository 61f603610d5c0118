#pragma once
// The operations the client performs on a page's document: write a page into
// it, read its body, find an element by id to click it or to read or set its
// value, read the details of a script error. Every step that yields an error or
// nothing ends the operation with false; every reference taken is given back.

#include "ui/framework/ComPtr.h"

#include <mshtml.h>

#include <optional>

class HtmlDocument {
public:
    explicit HtmlDocument(ComPtr<IDispatch> document) : m_document(std::move(document)) {}
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    ComPtr<IHTMLDocument2> Document2() const { return m_document.As<IHTMLDocument2>(); }
    ComPtr<IHTMLDocument3> Document3() const { return m_document.As<IHTMLDocument3>(); }

    // Writes html as the whole page (one string in a one-element array), then closes the document.
    bool Write(const wchar_t* html) const;
    // The body's inner HTML into buffer; fails, storing the needed capacity, when it does not fit.
    bool BodyHtml(wchar_t* buffer, int* capacity) const;
    bool Click(const wchar_t* id) const;
    bool SetValue(const wchar_t* id, const wchar_t* value) const;
    // The element's "value" into buffer; fails, storing the needed capacity, when
    // the buffer is null or too small.
    bool GetValue(const wchar_t* id, wchar_t* buffer, int* capacity) const;
    // Reads the current script error's line, character, code, message and URL
    // from the window's event object; the result of the last read.
    HRESULT ReadScriptError() const;
    // The size in CSS pixels of the page's game: its largest embedded object
    // (an embed or object element), else the whole of the page's content; none
    // when the document tells neither.
    std::optional<SIZE> GameSize() const;

private:
    ComPtr<IHTMLElement> FindElement(const wchar_t* id) const;
    // The largest offset size of the elements named tag, added to best.
    void LargestOfTag(const wchar_t* tag, SIZE* best) const;

    ComPtr<IDispatch> m_document;
};
