#include "browser/HtmlDocument.h"

#include "browser/ComBstr.h"
#include "browser/ComVariant.h"

namespace {

// A copy of text with its terminator into buffer, cleared first, when it fits;
// otherwise the capacity needed goes back through capacity.
bool CopyOut(const wchar_t* text, wchar_t* buffer, int* capacity)
{
    const int needed = static_cast<int>(wcslen(text)) + 1;
    if (!buffer || *capacity < needed) {
        *capacity = needed;
        return false;
    }
    ZeroMemory(buffer, sizeof(wchar_t) * needed);
    CopyMemory(buffer, text, sizeof(wchar_t) * needed);
    return true;
}

} // namespace

ComPtr<IHTMLElement> HtmlDocument::FindElement(const wchar_t* id) const
{
    ComPtr<IHTMLElement> element;
    ComPtr<IHTMLDocument3> document = Document3();
    ComBstr name(id);
    if (!document || !name.Get() || FAILED(document->getElementById(name.Get(), element.Put())))
        element.Reset();
    return element;
}

bool HtmlDocument::Write(const wchar_t* html) const
{
    ComPtr<IHTMLDocument2> document = Document2();
    if (!html || !document)
        return false;
    SAFEARRAY* lines = SafeArrayCreateVector(VT_VARIANT, 0, 1);
    if (!lines)
        return false;
    bool written = false;
    VARIANT* line = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(lines, reinterpret_cast<void**>(&line)))) {
        V_VT(line) = VT_BSTR;
        V_BSTR(line) = SysAllocString(html);
        const bool allocated = V_BSTR(line) != nullptr;
        SafeArrayUnaccessData(lines);
        written = allocated && SUCCEEDED(document->write(lines)) && SUCCEEDED(document->close());
    }
    // Destroying the array frees the string in it too.
    SafeArrayDestroy(lines);
    return written;
}

bool HtmlDocument::BodyHtml(wchar_t* buffer, int* capacity) const
{
    if (!buffer || !capacity)
        return false;
    ComPtr<IHTMLDocument2> document = Document2();
    ComPtr<IHTMLElement> body;
    if (!document || FAILED(document->get_body(body.Put())) || !body)
        return false;
    ComBstr html;
    if (FAILED(body->get_innerHTML(html.Put())) || !html.Get())
        return false;
    return CopyOut(html.Get(), buffer, capacity);
}

bool HtmlDocument::Click(const wchar_t* id) const
{
    if (!id)
        return false;
    ComPtr<IHTMLElement> element = FindElement(id);
    return element && SUCCEEDED(element->click());
}

bool HtmlDocument::SetValue(const wchar_t* id, const wchar_t* value) const
{
    if (!id || !value)
        return false;
    ComPtr<IHTMLElement> element = FindElement(id);
    ComBstr name(L"value");
    ComVariant text;
    if (!element || !name.Get() || !text.SetString(value))
        return false;
    return SUCCEEDED(element->setAttribute(name.Get(), text.value, 1));
}

bool HtmlDocument::GetValue(const wchar_t* id, wchar_t* buffer, int* capacity) const
{
    if (!capacity || !id)
        return false;
    ComPtr<IHTMLElement> element = FindElement(id);
    ComBstr name(L"value");
    ComVariant value;
    if (!element || !name.Get() || FAILED(element->getAttribute(name.Get(), 0, &value.value)))
        return false;
    // An attribute that is not text (a number, a missing attribute) is read as
    // text where it has a text form.
    if (V_VT(&value.value) != VT_BSTR &&
        FAILED(VariantChangeType(&value.value, &value.value, VARIANT_ALPHABOOL, VT_BSTR)))
        return false;
    return CopyOut(V_BSTR(&value.value) ? V_BSTR(&value.value) : L"", buffer, capacity);
}

HRESULT HtmlDocument::ReadScriptError() const
{
    constexpr LCID kLocale = 0x800; // LOCALE_SYSTEM_DEFAULT
    HRESULT result = E_FAIL;
    ComPtr<IHTMLDocument2> document = Document2();
    ComPtr<IHTMLWindow2> window;
    ComPtr<IHTMLEventObj> event;
    if (!document || FAILED(document->get_parentWindow(window.Put())) || !window ||
        FAILED(window->get_event(event.Put())) || !event)
        return result;
    for (const wchar_t* property : {L"errorLine", L"errorCharacter", L"errorCode", L"errorMessage", L"errorUrl"}) {
        LPOLESTR name = const_cast<LPOLESTR>(property);
        DISPID id = DISPID_UNKNOWN;
        result = event->GetIDsOfNames(IID_NULL, &name, 1, kLocale, &id);
        if (FAILED(result))
            continue;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        ComVariant value;
        result = event->Invoke(id, IID_NULL, kLocale, DISPATCH_PROPERTYGET, &none, &value.value, nullptr, nullptr);
    }
    return result;
}

void HtmlDocument::LargestOfTag(const wchar_t* tag, SIZE* best) const
{
    ComPtr<IHTMLDocument3> document = Document3();
    ComBstr name(tag);
    ComPtr<IHTMLElementCollection> found;
    LONG count = 0;
    if (!document || !name.Get() || FAILED(document->getElementsByTagName(name.Get(), found.Put())) || !found ||
        FAILED(found->get_length(&count)))
        return;
    for (LONG i = 0; i < count; ++i) {
        // A number as the name picks the element at that place.
        ComVariant index;
        index.SetInt(i);
        ComVariant none;
        ComPtr<IDispatch> item;
        if (FAILED(found->item(index.value, none.value, item.Put())) || !item)
            continue;
        ComPtr<IHTMLElement> element = item.As<IHTMLElement>();
        LONG width = 0;
        LONG height = 0;
        if (!element || FAILED(element->get_offsetWidth(&width)) || FAILED(element->get_offsetHeight(&height)))
            continue;
        if (static_cast<long long>(width) * height > static_cast<long long>(best->cx) * best->cy)
            *best = {width, height};
    }
}

std::optional<SIZE> HtmlDocument::GameSize() const
{
    // Offset and scroll sizes are in CSS pixels, whatever the zoom.
    SIZE best = {};
    LargestOfTag(L"embed", &best);
    LargestOfTag(L"object", &best);
    if (best.cx > 0 && best.cy > 0)
        return best;
    ComPtr<IHTMLDocument2> document = Document2();
    ComPtr<IHTMLElement> body;
    if (!document || FAILED(document->get_body(body.Put())) || !body)
        return std::nullopt;
    ComPtr<IHTMLElement2> content = body.As<IHTMLElement2>();
    LONG width = 0;
    LONG height = 0;
    if (!content || FAILED(content->get_scrollWidth(&width)) || FAILED(content->get_scrollHeight(&height)) ||
        width <= 0 || height <= 0)
        return std::nullopt;
    return SIZE{width, height};
}
