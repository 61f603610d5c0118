#include "ui/framework/DpiScale.h"

#include "ui/framework/Scoped.h"
#include "ui/framework/SystemFunction.h"

namespace {

// Declared here: the client is built for Windows 7, whose headers lack them.
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int type, UINT* x, UINT* y);
using SetProcessDpiAwarenessContextFn = BOOL(WINAPI*)(HANDLE context);
using SetProcessDpiAwarenessFn = HRESULT(WINAPI*)(int awareness);
using SetProcessDPIAwareFn = BOOL(WINAPI*)();

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE and _V2, MDT_EFFECTIVE_DPI and
// PROCESS_PER_MONITOR_DPI_AWARE.
const HANDLE kPerMonitorContext = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
const HANDLE kPerMonitorV2Context = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kEffectiveDpi = 0;
constexpr int kProcessPerMonitorAware = 2;

int ScreenDpi()
{
    const ScopedGetDC screen(nullptr);
    const int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : DpiScale::kBaseDpi;
}

} // namespace

RECT DpiScale::Box(int left, int top, int width, int height) const
{
    const int x = (*this)(left);
    const int y = (*this)(top);
    return {x, y, x + (*this)(width), y + (*this)(height)};
}

namespace dpi {

int OfSystem()
{
    static const auto getForSystem = SystemFunction<GetDpiForSystemFn>(L"user32.dll", "GetDpiForSystem");
    if (getForSystem) {
        if (const UINT found = getForSystem())
            return static_cast<int>(found);
    }
    return ScreenDpi();
}

int OfMonitor(HMONITOR monitor)
{
    static const auto getForMonitor = SystemFunction<GetDpiForMonitorFn>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (monitor && getForMonitor && SUCCEEDED(getForMonitor(monitor, kEffectiveDpi, &x, &y)) && x > 0)
        return static_cast<int>(x);
    return OfSystem();
}

int OfWindow(HWND hwnd)
{
    static const auto getForWindow = SystemFunction<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
    if (hwnd && getForWindow) {
        if (const UINT found = getForWindow(hwnd))
            return static_cast<int>(found);
    }
    return OfMonitor(hwnd ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST) : nullptr);
}

int Fitting(int dpi, SIZE size, SIZE room)
{
    for (int d = dpi; d > DpiScale::kBaseDpi; --d) {
        const DpiScale scale(d);
        if (scale(size.cx) <= room.cx && scale(size.cy) <= room.cy)
            return d;
    }
    return dpi < DpiScale::kBaseDpi ? dpi : DpiScale::kBaseDpi;
}

AwarenessCalls SystemAwarenessCalls()
{
    AwarenessCalls calls;
    if (const auto setContext =
            SystemFunction<SetProcessDpiAwarenessContextFn>(L"user32.dll", "SetProcessDpiAwarenessContext")) {
        calls.setContext = [setContext](bool v2, DWORD* error) {
            if (setContext(v2 ? kPerMonitorV2Context : kPerMonitorContext))
                return true;
            *error = GetLastError();
            return false;
        };
    }
    if (const auto setAwareness = SystemFunction<SetProcessDpiAwarenessFn>(L"shcore.dll", "SetProcessDpiAwareness"))
        calls.setPerMonitor = [setAwareness] { return setAwareness(kProcessPerMonitorAware); };
    if (const auto setAware = SystemFunction<SetProcessDPIAwareFn>(L"user32.dll", "SetProcessDPIAware"))
        calls.setSystem = [setAware] { return setAware() != FALSE; };
    return calls;
}

Awareness DeclareAwareness(const AwarenessCalls& calls)
{
    if (calls.setContext) {
        for (const bool v2 : {true, false}) {
            DWORD error = 0;
            if (calls.setContext(v2, &error))
                return v2 ? Awareness::PerMonitorV2 : Awareness::PerMonitor;
            if (error == ERROR_ACCESS_DENIED)
                return Awareness::Given;
        }
    }
    if (calls.setPerMonitor) {
        const HRESULT result = calls.setPerMonitor();
        if (SUCCEEDED(result))
            return Awareness::PerMonitor;
        if (result == E_ACCESSDENIED)
            return Awareness::Given;
    }
    if (calls.setSystem && calls.setSystem())
        return Awareness::System;
    return Awareness::None;
}

} // namespace dpi
