#include "ui/framework/CAppManager.h"

#include "ui/framework/CWindowCtrl.h"
#include "ui/framework/Scoped.h"

std::vector<CAppManager*> g_managers;
std::vector<std::wstring> g_classNames;
std::atomic<CAppManager*> g_singleManager{nullptr};
HINSTANCE g_hInstance = nullptr;
std::mutex g_registryMutex;

CAppManager::~CAppManager() = default;

bool CAppManager::InitInstance() { return true; }

BOOL CAppManager::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CAppManager::OnUnboundMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }

void CAppManager::Run()
{
    if (!AttachThread())
        return;
    g_hInstance = GetModuleHandleW(nullptr);

    const ScopedGdiplus gdiplus;
    m_gdiplusToken = gdiplus.Token();

    if (InitInstance() && !m_windows.empty())
        RunMessageLoop();

    DetachThread(m_threadId);
    // GDI+ ends as the scope does, right after this.
    m_gdiplusToken = 0;
}

bool CAppManager::RunMessageLoop()
{
    if (GetCurrentThreadId() != m_threadId || m_inLoop)
        return false;
    m_inLoop = true;
    MSG msg;
    // GetMessageW answers -1 only for an invalid window filter; it ends the loop
    // rather than spinning on it.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!FilterMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    m_inLoop = false;
    return true;
}

BOOL CAppManager::FilterMessage(MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = GetParent(hwnd)) {
        if (CWindowCtrl* window = FindWindowObject(hwnd)) {
            if (window->PreTranslateMessage(msg))
                return TRUE;
        }
    }
    return PreTranslateMessage(msg);
}

bool CAppManager::AttachThread()
{
    const DWORD self = GetCurrentThreadId();
    std::lock_guard<std::mutex> lock(g_registryMutex);
    for (CAppManager* manager : g_managers) {
        if (manager->m_threadId == self)
            return false;
    }
    m_threadId = self;
    g_managers.push_back(this);
    g_singleManager = g_managers.size() == 1 ? this : nullptr;
    return true;
}

void CAppManager::DetachThread(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(g_registryMutex);
    for (auto it = g_managers.begin(); it != g_managers.end(); ++it) {
        if ((*it)->m_threadId == threadId) {
            g_managers.erase(it);
            break;
        }
    }
    if (g_managers.empty())
        g_singleManager = nullptr;
}

CAppManager* CAppManager::FromThread(DWORD threadId)
{
    std::lock_guard<std::mutex> lock(g_registryMutex);
    for (CAppManager* manager : g_managers) {
        if (manager->m_threadId == threadId)
            return manager;
    }
    return nullptr;
}

bool CAppManager::AddWindow(HWND hwnd, CWindowCtrl* window)
{
    if (FindWindowObject(hwnd))
        return false;
    m_windows.push_back(window);
    return true;
}

void CAppManager::RemoveWindow(HWND hwnd)
{
    if (!hwnd)
        return;
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
        if ((*it)->m_hWnd == hwnd) {
            (*it)->m_hWnd = nullptr;
            m_windows.erase(it);
            return;
        }
    }
}

CWindowCtrl* CAppManager::FindWindowObject(HWND hwnd) const
{
    if (!hwnd)
        return nullptr;
    for (CWindowCtrl* window : m_windows) {
        if (window->m_hWnd == hwnd)
            return window;
    }
    return nullptr;
}

LRESULT CALLBACK CAppManager::SharedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CAppManager* manager = g_singleManager;
    if (!manager)
        manager = FromThread(GetCurrentThreadId());
    if (!manager)
        return DefWindowProcW(hwnd, msg, wParam, lParam);

    CWindowCtrl* window = manager->FindWindowObject(hwnd);
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        // A window of one of our classes created by foreign code carries no object.
        if (auto* created = create ? static_cast<CWindowCtrl*>(create->lpCreateParams) : nullptr) {
            created->m_hWnd = hwnd;
            created->m_manager = manager;
            if (manager->AddWindow(hwnd, created))
                window = created;
        }
    } else if (msg == WM_NCDESTROY) {
        // The object still receives this last message, already unbound.
        manager->RemoveWindow(hwnd);
    }

    if (window)
        return window->WindowProc(msg, wParam, lParam);
    manager->OnUnboundMessage(hwnd, msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool CAppManager::IsClassRegistered(const wchar_t* name)
{
    if (!name)
        return false;
    std::lock_guard<std::mutex> lock(g_registryMutex);
    for (const std::wstring& known : g_classNames) {
        if (known == name)
            return true;
    }
    return false;
}

bool CAppManager::RegisterWindowClass(const wchar_t* name)
{
    if (!name)
        return false;
    if (IsClassRegistered(name))
        return true;

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &CAppManager::SharedWindowProc;
    wc.hInstance = g_hInstance;
    wc.lpszClassName = name;
    // No cursor and no background brush: the pointer shape comes from OnSetCursor
    // and every window paints its own background.
    if (!RegisterClassExW(&wc)) {
        const DWORD error = GetLastError();
        if (error != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    std::lock_guard<std::mutex> lock(g_registryMutex);
    g_classNames.emplace_back(name);
    return true;
}
