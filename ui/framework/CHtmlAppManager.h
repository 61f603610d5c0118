#pragma once
// Manager of the UI thread, which owns the browser window. Any thread appends a
// request under the queue's mutex and wakes the UI thread with WM_HTML_REQUEST;
// the UI thread takes the message in its pre-translation and runs one request.

#include "ui/framework/CAppManager.h"
#include "ui/framework/HtmlRequest.h"

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
    void RunNextRequest();
    void ExecuteRequest(const HtmlRequest& request);

    // Set once the thread is attached, has its message queue and is about to run
    // its loop; posts made after it is set are never lost.
    // When a thread handle is given, the wait also ends when that thread ends.
    bool WaitUntilReady(DWORD timeoutMs, HANDLE thread = nullptr) const;
    size_t PendingRequests();

    std::list<HtmlRequest> m_requests;
    std::mutex m_requestMutex;

private:
    void PostAgain(const HtmlRequest& request);
    // Destroys the windows still bound to this thread once its loop has ended.
    void DestroyRemainingWindows();

    HANDLE m_readyEvent = nullptr;
};

extern CHtmlAppManager* g_htmlAppManager;

// True on the thread that runs the UI-thread manager.
bool IsUiThread();
