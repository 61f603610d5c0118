#pragma once
// Helpers of the browser tests: an OLE apartment for the test's own thread and
// window lookups.

#include <windows.h>

#include <ole2.h>

namespace test {

// OLE on the calling thread for the life of the object.
class OleApartment {
public:
    OleApartment() : m_ok(OleInitialize(nullptr) == S_OK) {}
    ~OleApartment()
    {
        if (m_ok)
            OleUninitialize();
    }
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool m_ok;
};

// The first direct child of parent with the given class, or null.
inline HWND ChildOfClass(HWND parent, const wchar_t* className)
{
    return parent ? FindWindowExW(parent, nullptr, className, nullptr) : nullptr;
}

// A window's rectangle in the client coordinates of another window.
inline RECT RectIn(HWND window, HWND reference)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace test
