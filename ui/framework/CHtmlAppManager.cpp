#include "ui/framework/CHtmlAppManager.h"

#include "ui/framework/CHtmlTarget.h"
#include "ui/framework/CWakeWindow.h"
#include "ui/framework/CWindowCtrl.h"

CHtmlAppManager* g_htmlAppManager = nullptr;

bool IsUiThread() { return g_htmlAppManager && g_htmlAppManager->m_threadId == GetCurrentThreadId(); }

CHtmlAppManager::CHtmlAppManager() : m_readyEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    g_htmlAppManager = this;
}

CHtmlAppManager::~CHtmlAppManager()
{
    if (g_htmlAppManager == this)
        g_htmlAppManager = nullptr;
}

bool CHtmlAppManager::InitInstance()
{
    // Make sure the thread has its message queue before anyone is told to post.
    MSG peek;
    PeekMessageW(&peek, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    {
        CWakeWindow wake(*this);
        m_wakeWindow = wake.Handle();
        // Records posted before the window existed had nothing to wake: one
        // wake-up now takes them all. A poster that missed the window queued
        // its record before this look, so none is left out.
        if (PendingRequests() != 0)
            Wake();
        if (m_readyEvent)
            SetEvent(m_readyEvent.Get());
        RunMessageLoop();
        // The loop has ended: later posts find no window and fail, and the
        // window goes here, on its own thread, with the wake-ups still queued
        // for it, so no record runs after the quit.
        m_wakeWindow = nullptr;
    }
    DestroyRemainingWindows();
    return false;
}

void CHtmlAppManager::DestroyRemainingWindows()
{
    // A window still bound when the loop ends (the browser window, when the quit
    // came before its parent's end) goes now, while the thread's OLE is still up:
    // the control inside it must be closed on this thread, never after.
    std::vector<HWND> remaining;
    for (CWindowCtrl* window : m_windows)
        remaining.push_back(window->m_hWnd);
    for (HWND hwnd : remaining) {
        if (hwnd && IsWindow(hwnd))
            DestroyWindow(hwnd);
    }
}

bool CHtmlAppManager::WaitUntilReady(DWORD timeoutMs, HANDLE thread) const
{
    if (!m_readyEvent)
        return false;
    const HANDLE handles[] = {m_readyEvent.Get(), thread};
    const DWORD count = thread ? 2 : 1;
    return WaitForMultipleObjects(count, handles, FALSE, timeoutMs) == WAIT_OBJECT_0;
}

BOOL CHtmlAppManager::PreTranslateMessage(MSG* msg)
{
    // A wake-up comes to the wake window, or to the thread itself when the
    // window could not be made; the same id sent to any other window is theirs.
    if (msg->message != WM_HTML_REQUEST || (msg->hwnd && msg->hwnd != m_wakeWindow))
        return FALSE;
    RunReadyRequests();
    return TRUE;
}

BOOL CHtmlAppManager::PostRequest(const HtmlRequest& request)
{
    {
        std::lock_guard<std::mutex> lock(m_requestMutex);
        m_requests.push_back(request);
        m_requests.back().serial = ++m_lastSerial;
    }
    return Wake();
}

BOOL CHtmlAppManager::Wake()
{
    if (HWND wake = m_wakeWindow)
        return PostMessageW(wake, WM_HTML_REQUEST, 0, 0);
    // Before the thread has attached there is nobody to wake (and some systems
    // take thread id 0 for the caller's own thread).
    const DWORD thread = m_threadId;
    return thread ? PostThreadMessageW(thread, WM_HTML_REQUEST, 0, 0) : FALSE;
}

void CHtmlAppManager::RunReadyRequests()
{
    // Each post adds a wake-up of its own, but a wake-up can go missing (a post
    // made before the thread listened, or one that failed): taking everything
    // queued now catches up, and the wake-ups that later find nothing do
    // nothing. A request may run a loop that comes back here; records are
    // still taken one at a time, in order.
    std::uint64_t newest = 0;
    {
        std::lock_guard<std::mutex> lock(m_requestMutex);
        newest = m_lastSerial;
    }
    for (;;) {
        HtmlRequest request;
        {
            std::lock_guard<std::mutex> lock(m_requestMutex);
            if (m_requests.empty() || m_requests.front().serial > newest)
                return;
            request = std::move(m_requests.front());
            m_requests.pop_front();
        }
        if (request.code != 0)
            ExecuteRequest(request);
    }
}

size_t CHtmlAppManager::PendingRequests()
{
    std::lock_guard<std::mutex> lock(m_requestMutex);
    return m_requests.size();
}

void CHtmlAppManager::PostAgain(const HtmlRequest& request)
{
    // A record that names a window which has died since it was posted is dropped:
    // its target can never become ready again.
    if (request.hwnd && !IsWindow(request.hwnd))
        return;
    if (request.retries >= kMaxRetries)
        return;
    HtmlRequest again = request;
    ++again.retries;
    PostRequest(again);
}

void CHtmlAppManager::ExecuteRequest(const HtmlRequest& request)
{
    CHtmlTarget* target = request.target;
    if (!target)
        return;
    switch (request.code) {
    case REQUEST_CREATE:
        if (!target->m_hWnd || !IsWindow(target->m_hWnd)) {
            target->Create(0, nullptr, L"", WS_CHILD | WS_VISIBLE, request.x, request.y,
                           static_cast<int>(request.param), request.param2, request.hwnd);
        }
        break;
    case REQUEST_NAVIGATE:
        if (target->IsBrowserReady())
            target->Navigate(request.url.c_str(), request.param2);
        else
            PostAgain(request);
        break;
    case REQUEST_REFRESH:
        if (target->IsBrowserReady())
            target->Refresh();
        break;
    case REQUEST_FIT_PAGE:
        if (target->IsBrowserReady())
            target->FitPageToDisplay();
        break;
    case REQUEST_SET_SILENT:
        if (target->IsBrowserReady())
            target->SetSilent(static_cast<VARIANT_BOOL>(request.param));
        else
            PostAgain(request);
        break;
    default:
        break;
    }
}
