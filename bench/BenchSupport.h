#pragma once
// Shared by the benchmark programs: a high-resolution clock, order statistics
// and the one line format bench.sh reads.
//
// A result line is tab-separated:
//   ROW <figure> <measured> <floor> <target> <verdict>
// verdict is "met", "missed" or "report" (a figure that has no target).

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// The value below which the given share of the samples lies (nearest rank).
inline double Percentile(std::vector<double> samples, double share)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    size_t rank = static_cast<size_t>(share * static_cast<double>(samples.size()));
    if (rank >= samples.size())
        rank = samples.size() - 1;
    return samples[rank];
}

inline double Median(const std::vector<double>& samples) { return Percentile(samples, 0.5); }

inline std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof(text), format, value);
    return text;
}

inline void Row(const std::string& figure, const std::string& measured, const std::string& floor,
                const std::string& target, const char* verdict)
{
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\n", figure.c_str(), measured.c_str(), floor.c_str(), target.c_str(),
                verdict);
    std::fflush(stdout);
}

inline const char* Verdict(bool met) { return met ? "met" : "missed"; }

// Dispatches whatever is queued for the calling thread.
inline void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace bench
