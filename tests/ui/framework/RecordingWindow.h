#pragma once
// A framework window that records what reaches it, for the framework tests.

#include "support/EventLog.h"
#include "ui/framework/CAppManager.h"
#include "ui/framework/CWindowCtrl.h"

#include <functional>
#include <string>
#include <vector>

namespace test {

class RecordingWindow : public CWindowCtrl {
public:
    explicit RecordingWindow(std::wstring name = L"window", EventLog* preTranslateLog = nullptr)
        : m_name(std::move(name)), m_preTranslateLog(preTranslateLog)
    {
        SetClassName(L"RecordingWindow");
    }

    // Optional answer of HandleMessage; 0 lets the normal routing run.
    std::function<LRESULT(UINT, WPARAM, LPARAM)> handler;
    // Answer of PreTranslateMessage for key messages.
    BOOL consumeKeys = FALSE;

    std::vector<UINT> handled; // every message offered to HandleMessage
    EventLog calls;            // the virtual handlers that ran, with arguments
    HWND hwndAtNcCreate = nullptr;
    bool boundAtNcCreate = false;
    bool sawNcDestroy = false;
    HWND hwndAtNcDestroy = reinterpret_cast<HWND>(-1);
    CREATESTRUCTW createSeen = {};

    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (m_preTranslateLog && msg->message == WM_KEYDOWN) {
            m_preTranslateLog->Add(m_name);
            return consumeKeys;
        }
        return FALSE;
    }

    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        handled.push_back(msg);
        if (msg == WM_NCCREATE) {
            hwndAtNcCreate = m_hWnd;
            boundAtNcCreate = m_manager && m_manager->FindWindowObject(m_hWnd) == this;
        } else if (msg == WM_NCDESTROY) {
            sawNcDestroy = true;
            hwndAtNcDestroy = m_hWnd;
        }
        return handler ? handler(msg, wParam, lParam) : 0;
    }

    void OnCreate(CREATESTRUCTW* create) override
    {
        createSeen = *create;
        calls.Add(L"OnCreate");
    }
    void OnDestroy() override { calls.Add(L"OnDestroy"); }
    void OnMove(int x, int y) override { calls.Add(EventLog::Line(L"OnMove", x, y)); }
    void OnSize(UINT type, int cx, int cy) override { calls.Add(EventLog::Line(L"OnSize", type, cx, cy)); }
    void OnShowWindow(BOOL show, UINT) override { calls.Add(EventLog::Line(L"OnShowWindow", show)); }
    void OnTimer(UINT_PTR id) override { calls.Add(EventLog::Line(L"OnTimer", id)); }
    void OnGetMinMaxInfo(MINMAXINFO*) override { calls.Add(L"OnGetMinMaxInfo"); }
    bool Handled(UINT msg) const
    {
        for (UINT m : handled)
            if (m == msg)
                return true;
        return false;
    }

private:
    std::wstring m_name;
    EventLog* m_preTranslateLog;
};

// A manager that records unbound messages and thread-level pre-translation.
class RecordingManager : public CAppManager {
public:
    std::vector<UINT> unbound;
    std::vector<MSG> preTranslated;
    EventLog* keyLog = nullptr;
    BOOL PreTranslateMessage(MSG* msg) override
    {
        preTranslated.push_back(*msg);
        if (keyLog && msg->message == WM_KEYDOWN)
            keyLog->Add(L"manager");
        return FALSE;
    }
    LRESULT OnUnboundMessage(HWND, UINT msg, WPARAM, LPARAM) override
    {
        unbound.push_back(msg);
        return 0;
    }
};

// Attaches a manager to the calling thread for one test.
template <class Manager> class Attached {
public:
    Attached()
    {
        attached = manager.AttachThread();
        g_hInstance = GetModuleHandleW(nullptr);
    }
    ~Attached()
    {
        if (attached)
            CAppManager::DetachThread(manager.m_threadId);
    }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;
    Manager manager;
    bool attached = false;
};

} // namespace test
