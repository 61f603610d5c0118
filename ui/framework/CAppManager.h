#pragma once
// One CAppManager runs each thread that owns framework windows: it binds window
// objects to their handles, owns the message loop of its thread and offers every
// message to the bound windows for pre-translation before it is dispatched.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

class CWindowCtrl;

class CAppManager {
public:
    CAppManager() = default;
    CAppManager(const CAppManager&) = delete;
    CAppManager& operator=(const CAppManager&) = delete;

    // Slot 0. Releases the list of bound windows, never the windows themselves.
    virtual ~CAppManager();
    // Slot 1. Runs inside Run with the manager attached and GDI+ started.
    virtual bool InitInstance();
    // Slot 2. Last stop of the pre-translation walk; TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Slot 3. Messages of windows that have no bound object.
    virtual LRESULT OnUnboundMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    // The whole life of the manager on the calling thread.
    void Run();
    bool RunMessageLoop();
    BOOL FilterMessage(MSG* msg);

    bool AttachThread();
    static void DetachThread(DWORD threadId);
    static CAppManager* FromThread(DWORD threadId);

    bool AddWindow(HWND hwnd, CWindowCtrl* window);
    void RemoveWindow(HWND hwnd);
    // The object bound under hwnd on this manager, or null.
    CWindowCtrl* FindWindowObject(HWND hwnd) const;

    static LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static bool RegisterWindowClass(const wchar_t* name);
    static bool IsClassRegistered(const wchar_t* name);

    std::vector<CWindowCtrl*> m_windows;
    DWORD m_threadId = 0;
    // The token of the GDI+ that Run starts, while it runs; else 0.
    ULONG_PTR m_gdiplusToken = 0;
    bool m_inLoop = false;
};

// Process-wide registry of managers and window classes, guarded by g_registryMutex.
extern std::vector<CAppManager*> g_managers;
extern std::vector<std::wstring> g_classNames;
// The only attached manager while exactly one has attached to an empty registry;
// read without the mutex by the window procedure.
extern std::atomic<CAppManager*> g_singleManager;
extern HINSTANCE g_hInstance;
extern std::mutex g_registryMutex;
