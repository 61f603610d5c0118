#pragma once
// Owners for the client's system handles and library scopes. Each releases what
// it holds once, in its destructor (or earlier, by Reset or Close), and can never
// be copied; the handle owners can be moved, which hands the handle over.
//
// ScopedResource is the common shape: a traits type names the handle's type,
// the value that means "none" and the function that releases it.

#include <windows.h>
#include <gdiplus.h>
#include <ole2.h>

#include <utility>

template <class Traits> class ScopedResource {
public:
    using Handle = typename Traits::Handle;

    ScopedResource() = default;
    // Takes over a handle the caller owns (the invalid value: nothing).
    explicit ScopedResource(Handle handle) : m_handle(handle) {}
    ~ScopedResource() { Reset(); }

    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;
    ScopedResource(ScopedResource&& other) noexcept : m_handle(other.Release()) {}
    ScopedResource& operator=(ScopedResource&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Handle Get() const { return m_handle; }
    bool Valid() const { return m_handle != Traits::Invalid(); }
    explicit operator bool() const { return Valid(); }

    // Gives the handle away (for example to a call that takes it over).
    Handle Release() { return std::exchange(m_handle, Traits::Invalid()); }
    // Releases the handle held, unless it is the new one, and keeps the new one.
    void Reset(Handle handle = Traits::Invalid())
    {
        if (Valid() && m_handle != handle)
            Traits::Close(m_handle);
        m_handle = handle;
    }
    // Releases the handle now; false when there was none or releasing it failed
    // (a file's last writes may fail only here).
    bool Close()
    {
        const Handle handle = Release();
        return handle != Traits::Invalid() && Traits::Close(handle);
    }
    // Out-argument of a call that hands back a new handle; releases the old one first.
    Handle* Put()
    {
        Reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Invalid();
};

namespace scoped_traits {

// Events, mutexes, threads and other kernel objects: null when there is none.
struct KernelHandle {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};

// CreateFileW's handles, INVALID_HANDLE_VALUE when there is none.
struct FileHandle {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};

// FindFirstFileW's handles.
struct FindHandle {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return FindClose(handle) != FALSE; }
};

// Registry keys opened or created by the caller (never a predefined root key).
struct RegistryKey {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return RegCloseKey(handle) == ERROR_SUCCESS; }
};

// Libraries loaded with LoadLibrary (each load is freed once).
struct Library {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return FreeLibrary(handle) != FALSE; }
};

// Any GDI object released with DeleteObject (bitmaps, regions, brushes, fonts).
template <class GdiHandle> struct GdiObject {
    using Handle = GdiHandle;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return DeleteObject(handle) != FALSE; }
};

struct Icon {
    using Handle = HICON;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return DestroyIcon(handle) != FALSE; }
};

} // namespace scoped_traits

using ScopedHandle = ScopedResource<scoped_traits::KernelHandle>;
using ScopedFile = ScopedResource<scoped_traits::FileHandle>;
using ScopedFind = ScopedResource<scoped_traits::FindHandle>;
using ScopedRegKey = ScopedResource<scoped_traits::RegistryKey>;
using ScopedLibrary = ScopedResource<scoped_traits::Library>;
template <class GdiHandle> using ScopedGdiObject = ScopedResource<scoped_traits::GdiObject<GdiHandle>>;
using ScopedIcon = ScopedResource<scoped_traits::Icon>;

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

// OLE on the calling thread for the life of the object.
class ScopedOleInitialize {
public:
    ScopedOleInitialize() : m_result(OleInitialize(nullptr)) {}
    ~ScopedOleInitialize()
    {
        if (SUCCEEDED(m_result))
            OleUninitialize();
    }
    ScopedOleInitialize(const ScopedOleInitialize&) = delete;
    ScopedOleInitialize& operator=(const ScopedOleInitialize&) = delete;
    // OLE was started here, not merely found running on this thread already.
    bool Started() const { return m_result == S_OK; }

private:
    HRESULT m_result;
};

// A COM apartment on the calling thread for the life of the object; none when
// the thread has one of another kind already.
class ScopedComApartment {
public:
    explicit ScopedComApartment(DWORD model) : m_result(CoInitializeEx(nullptr, model)) {}
    ~ScopedComApartment()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;

private:
    HRESULT m_result;
};

// GDI+ started for the life of the object (version 1, its own background thread).
class ScopedGdiplus {
public:
    ScopedGdiplus()
    {
        const Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) != Gdiplus::Ok)
            m_token = 0;
    }
    ~ScopedGdiplus()
    {
        if (m_token)
            Gdiplus::GdiplusShutdown(m_token);
    }
    ScopedGdiplus(const ScopedGdiplus&) = delete;
    ScopedGdiplus& operator=(const ScopedGdiplus&) = delete;
    // Zero when GDI+ would not start.
    ULONG_PTR Token() const { return m_token; }

private:
    ULONG_PTR m_token = 0;
};
