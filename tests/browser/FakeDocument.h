#pragma once
// Stand-ins for the documents of the WebBrowser control, which has no HTML
// engine under Wine: a document (IHTMLDocument2 and IHTMLDocument3 on one
// object) with a title, a body and elements found by id. A test hands the
// document to the browser site with CWebBrowser::SetDocumentOverride and drives
// the site, or the handlers bound to its events, as the page would.
//
// References are counted but never delete: the test owns the objects and can
// check that the code under test gave back every reference it took (Refs()).

#include "HtmlStubs.h"

#include <oleauto.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace test {

class FakeElement : public StubHTMLElement, public StubHTMLElement2 {
public:
    struct SetAttributeCall {
        std::wstring name;
        VARTYPE type;
        std::wstring value;
        LONG flags;
    };

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(iid, IID_IHTMLElement2))
            *object = static_cast<IHTMLElement2*>(this);
        else if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLElement))
            *object = static_cast<IHTMLElement*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    // IDispatch: the fakes are driven through their typed interfaces only.
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IHTMLElement, as far as the client reads and writes elements.
    STDMETHODIMP setAttribute(BSTR name, VARIANT value, LONG flags) override
    {
        SetAttributeCall call{name ? name : L"", V_VT(&value), L"", flags};
        if (V_VT(&value) == VT_BSTR && V_BSTR(&value))
            call.value = V_BSTR(&value);
        setCalls.push_back(call);
        if (call.name == L"value" && call.type == VT_BSTR) {
            this->value = call.value;
            hasValue = true;
        }
        return S_OK;
    }
    STDMETHODIMP getAttribute(BSTR name, LONG flags, VARIANT* result) override
    {
        if (!result)
            return E_POINTER;
        lastGetFlags = flags;
        VariantInit(result);
        if (!name || std::wstring(name) != L"value" || !hasValue) {
            V_VT(result) = VT_NULL;
            return S_OK;
        }
        V_VT(result) = VT_BSTR;
        V_BSTR(result) = SysAllocString(value.c_str());
        return S_OK;
    }
    STDMETHODIMP click() override
    {
        ++clicks;
        return S_OK;
    }
    STDMETHODIMP get_innerText(BSTR* text) override { return Give(hasInnerText, innerText, text); }
    STDMETHODIMP get_innerHTML(BSTR* html) override { return Give(hasInnerHtml, innerHtml, html); }
    // Sizes as the page lays the element out: its box, and (IHTMLElement2) its content.
    STDMETHODIMP get_offsetWidth(LONG* p) override { return Size(offset.cx, p); }
    STDMETHODIMP get_offsetHeight(LONG* p) override { return Size(offset.cy, p); }
    STDMETHODIMP get_scrollWidth(LONG* p) override { return Size(scroll.cx, p); }
    STDMETHODIMP get_scrollHeight(LONG* p) override { return Size(scroll.cy, p); }

    LONG refs = 0;
    bool hasValue = false;
    std::wstring value;
    bool hasInnerText = false;
    std::wstring innerText;
    bool hasInnerHtml = false;
    std::wstring innerHtml;
    int clicks = 0;
    SIZE offset = {};
    SIZE scroll = {};
    LONG lastGetFlags = -1;
    std::vector<SetAttributeCall> setCalls;

private:
    static HRESULT Size(LONG value, LONG* out)
    {
        if (!out)
            return E_POINTER;
        *out = value;
        return S_OK;
    }
    static HRESULT Give(bool has, const std::wstring& text, BSTR* out)
    {
        if (!out)
            return E_POINTER;
        *out = has ? SysAllocString(text.c_str()) : nullptr;
        return S_OK;
    }
};

// The elements of one tag name, in document order.
class FakeCollection : public StubHTMLElementCollection {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) &&
            !IsEqualIID(iid, IID_IHTMLElementCollection))
            return E_NOINTERFACE;
        *object = static_cast<IHTMLElementCollection*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_length(LONG* count) override
    {
        if (!count)
            return E_POINTER;
        *count = static_cast<LONG>(elements.size());
        return S_OK;
    }
    // A number as the name is the element's place.
    STDMETHODIMP item(VARIANT name, VARIANT, IDispatch** found) override
    {
        if (!found)
            return E_POINTER;
        *found = nullptr;
        if (V_VT(&name) != VT_I4 || V_I4(&name) < 0 || V_I4(&name) >= static_cast<LONG>(elements.size()))
            return S_OK;
        FakeElement* element = elements[V_I4(&name)].get();
        element->AddRef();
        *found = static_cast<IHTMLElement*>(element);
        return S_OK;
    }

    LONG Refs() const
    {
        LONG total = refs;
        for (const auto& element : elements)
            total += element->refs;
        return total;
    }

    LONG refs = 0;
    std::vector<std::unique_ptr<FakeElement>> elements;
};

class FakeDocument : public StubHTMLDocument2, public StubHTMLDocument3 {
public:
    // IUnknown, one identity for both document interfaces.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        ++queries;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IHTMLDocument) ||
            IsEqualIID(iid, IID_IHTMLDocument2))
            *object = static_cast<IHTMLDocument2*>(this);
        else if (IsEqualIID(iid, IID_IHTMLDocument3) && offersDocument3)
            *object = static_cast<IHTMLDocument3*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // IHTMLDocument2
    STDMETHODIMP get_title(BSTR* text) override
    {
        if (!text)
            return E_POINTER;
        *text = hasTitle ? SysAllocString(title.c_str()) : nullptr;
        return S_OK;
    }
    STDMETHODIMP get_body(IHTMLElement** element) override
    {
        if (!element)
            return E_POINTER;
        *element = nullptr;
        if (!hasBody)
            return S_OK;
        body.AddRef();
        *element = &body;
        return S_OK;
    }
    // Keeps the text of every string the document is given to write.
    STDMETHODIMP write(SAFEARRAY* lines) override
    {
        if (!lines)
            return E_INVALIDARG;
        WriteCall call;
        call.dimensions = SafeArrayGetDim(lines);
        SafeArrayGetVartype(lines, &call.elementType);
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(lines, 1, &lower);
        SafeArrayGetUBound(lines, 1, &upper);
        call.lowerBound = lower;
        for (LONG i = lower; i <= upper && call.elementType == VT_VARIANT; ++i) {
            VARIANT line;
            VariantInit(&line);
            if (SUCCEEDED(SafeArrayGetElement(lines, &i, &line)) && V_VT(&line) == VT_BSTR && V_BSTR(&line))
                call.texts.emplace_back(V_BSTR(&line));
            else
                call.texts.emplace_back(L"<not a string>");
            VariantClear(&line);
        }
        writes.push_back(call);
        return S_OK;
    }
    STDMETHODIMP close() override
    {
        ++closes;
        return S_OK;
    }

    // IHTMLDocument3
    STDMETHODIMP getElementById(BSTR id, IHTMLElement** element) override
    {
        if (!element)
            return E_POINTER;
        *element = nullptr;
        lookups.emplace_back(id ? id : L"");
        auto found = elements.find(id ? id : L"");
        if (found != elements.end()) {
            found->second->AddRef();
            *element = found->second.get();
        }
        return S_OK;
    }

    STDMETHODIMP getElementsByTagName(BSTR tag, IHTMLElementCollection** found) override
    {
        if (!found)
            return E_POINTER;
        FakeCollection& collection = tags[tag ? tag : L""];
        collection.AddRef();
        *found = &collection;
        return S_OK;
    }

    // An element of a tag name (an "embed", an "object") laid out at this size.
    FakeElement& AddTagged(const std::wstring& tag, SIZE size)
    {
        auto& element = tags[tag].elements.emplace_back(std::make_unique<FakeElement>());
        element->offset = size;
        return *element;
    }

    FakeElement& AddElement(const std::wstring& id)
    {
        auto& slot = elements[id];
        if (!slot)
            slot = std::make_unique<FakeElement>();
        return *slot;
    }
    // References held on the document and everything in it right now.
    LONG Refs() const
    {
        LONG total = refs + body.refs;
        for (const auto& entry : elements)
            total += entry.second->refs;
        for (const auto& entry : tags)
            total += entry.second.Refs();
        return total;
    }

    struct WriteCall {
        UINT dimensions = 0;
        VARTYPE elementType = VT_EMPTY;
        LONG lowerBound = -1;
        std::vector<std::wstring> texts;
    };

    LONG refs = 0;
    int queries = 0;
    bool offersDocument3 = true;
    bool hasTitle = false;
    std::wstring title;
    bool hasBody = true;
    FakeElement body;
    std::map<std::wstring, std::unique_ptr<FakeElement>> elements;
    std::map<std::wstring, FakeCollection> tags;
    std::vector<std::wstring> lookups;
    std::vector<WriteCall> writes;
    int closes = 0;
};

} // namespace test
