#pragma once
// Small owners for the GDI and USER handles a paint pass creates: each releases
// its handle once, in its destructor, and can never be copied.

#include <windows.h>

#include <utility>

// A window's (or the screen's) device context from GetDC.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(GetDC(hwnd)) {}
    ~ScopedGetDC()
    {
        if (m_hdc)
            ReleaseDC(m_hwnd, m_hdc);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC Get() const { return m_hdc; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// A memory device context from CreateCompatibleDC.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC reference) : m_hdc(CreateCompatibleDC(reference)) {}
    ~ScopedMemoryDC()
    {
        if (m_hdc)
            DeleteDC(m_hdc);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC Get() const { return m_hdc; }

private:
    HDC m_hdc;
};

// Any GDI object released with DeleteObject (bitmaps, regions, brushes).
template <class Handle> class ScopedGdiObject {
public:
    ScopedGdiObject() = default;
    explicit ScopedGdiObject(Handle handle) : m_handle(handle) {}
    ~ScopedGdiObject() { Reset(); }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    Handle Get() const { return m_handle; }
    // Gives the handle away (for example to SetWindowRgn, which then owns it).
    Handle Release() { return std::exchange(m_handle, Handle{}); }
    void Reset(Handle handle = Handle{})
    {
        if (m_handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle{};
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_previous(SelectObject(hdc, object)) {}
    ~ScopedSelectObject()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            SelectObject(m_hdc, m_previous);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_previous;
};

// An icon handle released with DestroyIcon.
class ScopedIcon {
public:
    ScopedIcon() = default;
    explicit ScopedIcon(HICON icon) : m_icon(icon) {}
    ~ScopedIcon() { Reset(); }
    ScopedIcon(const ScopedIcon&) = delete;
    ScopedIcon& operator=(const ScopedIcon&) = delete;
    HICON Get() const { return m_icon; }
    void Reset(HICON icon = nullptr)
    {
        if (m_icon && m_icon != icon)
            DestroyIcon(m_icon);
        m_icon = icon;
    }

private:
    HICON m_icon = nullptr;
};
