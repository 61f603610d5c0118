// The UI thread's request queue against its floor, PostThreadMessage:
//
//   latency: one record at a time, from posting on the main thread to its
//   execution on the UI thread and the signal back (median, 99th percentile);
//   throughput: records executed per second while bursts are posted.
//
//   queue_bench.exe [RECORDS]
//
// The floor is a bare thread that takes one thread message per record and
// signals back the same way.

#include "BenchSupport.h"

#include "ui/framework/CHtmlAppManager.h"
#include "ui/framework/CHtmlTarget.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <vector>

namespace {

// Bursts stay below the ten thousand messages a thread's queue takes.
constexpr int kBurst = 5000;
constexpr UINT WM_FLOOR_RECORD = WM_APP + 7;

// The target of the records: counts navigations and signals the one asked for.
class CountingTarget : public CHtmlTarget {
public:
    bool IsBrowserReady() const override { return true; }
    BOOL Navigate(const wchar_t*, int) override
    {
        if (++executed >= awaited)
            SetEvent(done);
        return TRUE;
    }
    void Refresh() override {}
    void SetSilent(VARIANT_BOOL) override {}

    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<long> executed{0};
    std::atomic<long> awaited{1};
};

DWORD WINAPI ManagerThread(LPVOID param)
{
    static_cast<CHtmlAppManager*>(param)->Run();
    return 0;
}

struct FloorThread {
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<long> executed{0};
    std::atomic<long> awaited{1};
    DWORD id = 0;
};

DWORD WINAPI FloorMain(LPVOID param)
{
    auto* floor = static_cast<FloorThread*>(param);
    MSG msg;
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(floor->ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_FLOOR_RECORD && ++floor->executed >= floor->awaited)
            SetEvent(floor->done);
    }
    return 0;
}

struct Figures {
    std::vector<double> latency;
    double perSecond = 0;
};

// post(i) posts record i; executed/awaited/done belong to the receiving side.
template <typename Post>
Figures Measure(int records, Post post, std::atomic<long>& executed, std::atomic<long>& awaited, HANDLE done)
{
    Figures figures;
    for (int i = 0; i < records; ++i) {
        awaited = executed + 1;
        const double start = bench::NowMs();
        post(i);
        if (WaitForSingleObject(done, 5000) != WAIT_OBJECT_0)
            return {};
        figures.latency.push_back(bench::NowMs() - start);
    }
    const int bursts = std::max(1, records * 4 / kBurst);
    const double start = bench::NowMs();
    for (int b = 0; b < bursts; ++b) {
        awaited = executed + kBurst;
        for (int i = 0; i < kBurst; ++i)
            post(i);
        if (WaitForSingleObject(done, 30000) != WAIT_OBJECT_0)
            return {};
    }
    figures.perSecond = bursts * kBurst / ((bench::NowMs() - start) / 1000.0);
    return figures;
}

std::string Latency(const Figures& f)
{
    return bench::Format("%.3f", bench::Median(f.latency)) + " / " +
           bench::Format("%.3f", bench::Percentile(f.latency, 0.99));
}

} // namespace

int main(int argc, char** argv)
{
    const int records = argc > 1 ? std::max(100, std::atoi(argv[1])) : 5000;

    CHtmlAppManager manager;
    CountingTarget target;
    HANDLE uiThread = CreateThread(nullptr, 0, ManagerThread, &manager, 0, nullptr);
    FloorThread floor;
    HANDLE floorThread = CreateThread(nullptr, 0, FloorMain, &floor, 0, &floor.id);
    if (!uiThread || !floorThread || !manager.WaitUntilReady(10000, uiThread) ||
        WaitForSingleObject(floor.ready, 10000) != WAIT_OBJECT_0) {
        std::fprintf(stderr, "queue_bench: the threads did not start\n");
        return 1;
    }

    HtmlRequest record;
    record.code = REQUEST_NAVIGATE;
    record.target = &target;
    record.url = L"http://127.0.0.1:9/games/vorn/dlq";
    record.param2 = 2;
    const Figures queue = Measure(
        records, [&](int) { manager.PostRequest(record); }, target.executed, target.awaited, target.done);
    const Figures bare = Measure(
        records, [&](int i) { PostThreadMessageW(floor.id, WM_FLOOR_RECORD, static_cast<WPARAM>(i), 0); },
        floor.executed, floor.awaited, floor.done);

    PostThreadMessageW(manager.m_threadId, WM_QUIT, 0, 0);
    PostThreadMessageW(floor.id, WM_QUIT, 0, 0);
    WaitForSingleObject(uiThread, 10000);
    WaitForSingleObject(floorThread, 10000);
    if (queue.latency.empty() || bare.latency.empty()) {
        std::fprintf(stderr, "queue_bench: records were lost\n");
        return 1;
    }
    bench::Row("request queue: post to execution and back, ms (median / p99 of " + std::to_string(records) + ")",
               Latency(queue), Latency(bare), "report", "report");
    bench::Row("request queue: records per second", bench::Format("%.0f", queue.perSecond),
               bench::Format("%.0f", bare.perSecond), "report", "report");
    return 0;
}
