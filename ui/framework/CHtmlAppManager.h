#pragma once
// Manager of the UI thread, which owns the browser window. Any thread appends a
// request under the queue's mutex and wakes the UI thread with WM_HTML_REQUEST,
// posted to the thread's message-only wake window; the UI thread takes it in its
// pre-translation (or, inside a loop not its own, in the wake window) and runs
// every request queued at that moment, oldest first.

#include "ui/framework/CAppManager.h"
#include "ui/framework/HtmlRequest.h"
#include "ui/framework/Scoped.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>

class CHtmlAppManager : public CAppManager {
public:
    // A request that keeps finding its browser not ready is dropped after this
    // many trips to the tail, so a browser that never comes up cannot keep the
    // UI thread re-posting ahead of its input and paint messages.
    static constexpr int kMaxRetries = 100;
    // How long start-up waits for the UI thread to be attached and listening.
    static constexpr DWORD kReadyTimeoutMs = 10000;

    CHtmlAppManager();
    ~CHtmlAppManager() override;

    bool InitInstance() override;
    BOOL PreTranslateMessage(MSG* msg) override;

    BOOL PostRequest(const HtmlRequest& request);
    // Runs the records queued when it is called, oldest first. A record sent
    // back to the tail meanwhile (its browser not ready yet) waits for the next
    // wake-up, so a browser that never comes up cannot keep one call spinning.
    void RunReadyRequests();
    // Carries out one record. Virtual so that a test manager can note each one.
    virtual void ExecuteRequest(const HtmlRequest& request);

    // Set once the thread is attached, has its message queue and is about to run
    // its loop; posts made after it is set are never lost.
    // When a thread handle is given, the wait also ends when that thread ends.
    bool WaitUntilReady(DWORD timeoutMs, HANDLE thread = nullptr) const;
    size_t PendingRequests();
    // The message-only window wake-ups go to while the loop runs, else null.
    HWND WakeWindow() const { return m_wakeWindow; }

    std::list<HtmlRequest> m_requests;
    std::mutex m_requestMutex;

private:
    // Posts one wake-up: to the wake window while it exists, else as a thread
    // message (the pre-translation takes that as well).
    BOOL Wake();
    void PostAgain(const HtmlRequest& request);
    // Destroys the windows still bound to this thread once its loop has ended.
    void DestroyRemainingWindows();

    ScopedHandle m_readyEvent;
    std::atomic<HWND> m_wakeWindow{nullptr};
    // Serial number of the newest record; guarded by m_requestMutex.
    std::uint64_t m_lastSerial = 0;
};

extern CHtmlAppManager* g_htmlAppManager;

// True on the thread that runs the UI-thread manager.
bool IsUiThread();
