#pragma once
// Every length of the client's layout is a length at 96 DPI. A window shown at
// another DPI (its monitor's where Windows knows one per monitor, the system's
// otherwise) draws each of them scaled by dpi / 96, rounded as MulDiv rounds,
// through the DpiScale it keeps: at 96 DPI every length is what it always was.
//
// The DPI functions of Windows 8.1 and 10 are looked up at run time, so the
// client still starts on Windows 7, where the system's DPI is all there is.

#include <windows.h>

#include <functional>

class DpiScale {
public:
    static constexpr int kBaseDpi = 96;

    DpiScale() = default;
    // A dpi of 0 or less (nothing known) is taken as 96.
    explicit DpiScale(int dpi) : m_dpi(dpi > 0 ? dpi : kBaseDpi) {}

    int Dpi() const { return m_dpi; }
    bool IsBase() const { return m_dpi == kBaseDpi; }
    // A length at 96 DPI, at this scale.
    int operator()(int length) const { return MulDiv(length, m_dpi, kBaseDpi); }
    // A rectangle given by its corner and size at 96 DPI. The size is scaled
    // on its own, so that a picture drawn for this scale fills it exactly.
    RECT Box(int left, int top, int width, int height) const;
    // The em height in pixels of a font of this many points.
    float FontPixels(float points) const { return points * static_cast<float>(m_dpi) / 72.0f; }

    bool operator==(const DpiScale& other) const { return m_dpi == other.m_dpi; }
    bool operator!=(const DpiScale& other) const { return m_dpi != other.m_dpi; }

private:
    int m_dpi = kBaseDpi;
};

namespace dpi {

// The DPI of the whole system (the primary monitor's at sign-in).
int OfSystem();
// The DPI of a monitor: its own on Windows 8.1 and later, the system's before.
int OfMonitor(HMONITOR monitor);
// The DPI a window is drawn at: its monitor's, for a per-monitor aware process.
int OfWindow(HWND hwnd);

// The largest DPI from dpi down to 96 at which a thing of size (at 96 DPI) fits
// into room; 96 when none does, dpi itself when it is 96 or less.
int Fitting(int dpi, SIZE size, SIZE room);

// How the process told Windows that it scales itself.
enum class Awareness {
    PerMonitorV2, // Windows 10 1703 on
    PerMonitor,   // Windows 8.1 on
    System,       // Windows Vista and 7: one DPI for every monitor
    Given,        // already set, by the manifest: nothing changed
    None,         // nothing could be set
};

// The calls that set a process's awareness, each null where the system lacks it.
struct AwarenessCalls {
    // SetProcessDpiAwarenessContext with PER_MONITOR_AWARE_V2 (true) or
    // PER_MONITOR_AWARE (false); false with GetLastError's code on failure.
    std::function<bool(bool v2, DWORD* error)> setContext;
    // SetProcessDpiAwareness(PROCESS_PER_MONITOR_DPI_AWARE).
    std::function<HRESULT()> setPerMonitor;
    // SetProcessDPIAware.
    std::function<bool()> setSystem;
};
// The system's own calls, looked up at run time.
AwarenessCalls SystemAwarenessCalls();
// Asks for the best awareness the system has: per-monitor v2, then per-monitor,
// then system, each tried when the one before fails (its error, not the
// system's version, decides). A refusal because the awareness was set already
// (the manifest's) ends the chain.
Awareness DeclareAwareness(const AwarenessCalls& calls = SystemAwarenessCalls());

} // namespace dpi
