#include "app/gameApp.h"

#include "frames/CFrameGame.h"
#include "ui/framework/CHtmlAppManager.h"
#include "ui/framework/TextCut.h"
#include "ui/skin/SkinPreload.h"

#include <ole2.h>
#include <strsafe.h>

#include <memory>

gameApp* g_app = nullptr;

namespace {

// Waits for a thread to end while answering messages other threads send to this
// one, so that a thread that sends here on its way out cannot stall the wait.
bool WaitForThreadEnd(HANDLE thread, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, left, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0)
            return true;
        if (wait != WAIT_OBJECT_0 + 1)
            return false;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

// A named mutex waited for and held for the life of the object; one that is
// not got within the time is not held, and the caller goes on without it.
class ScopedNamedLock {
public:
    ScopedNamedLock(const wchar_t* name, DWORD timeoutMs) : m_mutex(CreateMutexW(nullptr, FALSE, name))
    {
        // Abandoned: a client ended while holding it; its writes are done or gone.
        const DWORD wait = m_mutex ? WaitForSingleObject(m_mutex.Get(), timeoutMs) : WAIT_FAILED;
        m_held = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    }
    ~ScopedNamedLock()
    {
        if (m_held)
            ReleaseMutex(m_mutex.Get());
    }
    ScopedNamedLock(const ScopedNamedLock&) = delete;
    ScopedNamedLock& operator=(const ScopedNamedLock&) = delete;

private:
    ScopedHandle m_mutex;
    bool m_held = false;
};

} // namespace

DWORD WINAPI UiThreadMain(LPVOID param)
{
    // The launcher's artwork first: the main thread builds the launcher's
    // window meanwhile and draws it as soon as the artwork is there. Nothing
    // needs this thread before that: the page area, which does, comes after.
    if (g_app && g_app->m_launcherArt)
        g_app->m_launcherArt->Decode();
    const ScopedOleInitialize ole;
    if (!ole.Started())
        return 0;
    static_cast<CHtmlAppManager*>(param)->Run();
    return 0;
}

void gameApp::ReadExeDir()
{
    ZeroMemory(m_startUrl, sizeof(m_startUrl));
    ZeroMemory(m_userName, sizeof(m_userName));
    // An empty folder names no Config.ini at all.
    ReadModuleFolder(nullptr, m_exeDir);
}

bool gameApp::ReadModuleFolder(HMODULE module, wchar_t (&folder)[kPathCapacity])
{
    ZeroMemory(folder, sizeof(folder));
    // A path that fills the buffer was cut, and says so only by its length (some
    // systems do not even end it with a null).
    const DWORD length = GetModuleFileNameW(module, folder, kPathCapacity);
    wchar_t* slash = length > 0 && length < kPathCapacity ? wcsrchr(folder, L'\\') : nullptr;
    if (!slash) {
        ZeroMemory(folder, sizeof(folder));
        return false;
    }
    *slash = L'\0';
    return true;
}

void gameApp::TakeInstanceMutex()
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    const DWORD error = GetLastError();
    m_instanceMutex.Reset(mutex);
    m_isFirstInstance = m_instanceMutex && error != ERROR_ALREADY_EXISTS;
    // Only the first instance holds the mutex; a later one starts all the same.
    if (!m_isFirstInstance)
        m_instanceMutex.Reset();
}

void gameApp::UpdateConfig()
{
    // Clients started together (one per account) would lose each other's
    // counts, and cut keys out of the file, without it.
    const ScopedNamedLock lock(kConfigMutexName, kConfigLockWaitMs);
    const ConfigFile config(m_exeDir);

    wchar_t version[kIniValueCapacity];
    StringCchPrintfW(version, kIniValueCapacity, kVersionText, kVersion);
    config.WriteText(L"GameInfo", L"Version", version);

    m_uid = config.ReadInt(L"Common", L"UID");
    const int runCount = config.ReadInt(L"Common", L"RunCount");

    m_portal.LoadOverrides(config);
    BuildStartUrl(m_startUrl, m_portal.StartPage().c_str(), m_uid);

    // The counter stops at the largest value instead of wrapping to a negative one.
    config.WriteInt(L"Common", L"RunCount", runCount < INT_MAX ? runCount + 1 : runCount);
}

bool gameApp::InitInstance()
{
    ReadExeDir();
    TakeInstanceMutex();
    // The command line is not interpreted: the client takes no arguments.
    UpdateConfig();
    RunFrames();
    m_instanceMutex.Reset();
    return false;
}

void gameApp::RunFrame(CFrameGame& frame) { frame.Launch(); }

void gameApp::RunFrames()
{
    // Outlives the UI thread, which may still be decoding it when the launcher
    // could not be made.
    SkinPreload launcherArt(CFrameBack::ArtworkIds(), nullptr, CFrameBack::ScaleOn(CFrameBack::StartMonitor()).Dpi());
    m_launcherArt = &launcherArt;
    auto uiManager = std::make_unique<CHtmlAppManager>();
    DWORD uiThreadId = 0;
    const ScopedHandle uiThread(CreateThread(nullptr, 0, UiThreadMain, uiManager.get(), 0, &uiThreadId));

    // Everything the user sees happens here, the launcher first: it is made
    // while the UI thread starts.
    auto frame = std::make_unique<CFrameGame>();
    frame->ShowLauncher();
    // The page area's requests, posted from here on, must find the thread
    // attached and listening; a thread that could not start its apartment ends
    // instead, which ends the wait too.
    if (uiThread)
        uiManager->WaitUntilReady(CHtmlAppManager::kReadyTimeoutMs, uiThread.Get());
    RunFrame(*frame);

    if (uiThread) {
        // The frame asks the UI thread to quit when its window goes; asking again
        // covers a frame that never came up. Requests still queued name the
        // frame's browser window, so the thread must have ended before the frame
        // and the manager are destroyed.
        PostThreadMessageW(uiThreadId, WM_QUIT, 0, 0);
        if (!WaitForThreadEnd(uiThread.Get(), kUiThreadJoinMs))
            EndWithLiveUiThread();
    }
    m_launcherArt = nullptr;
}

void gameApp::EndWithLiveUiThread()
{
    // The UI thread did not end: it is stuck, most likely inside the control (a
    // page's script, a plug-in, a box of the control's own), and may go on at
    // any moment. What it can reach from there is most of the process: the
    // frame with the browser site and the script bridge it calls into, this
    // object through g_app, its manager through g_htmlAppManager, the
    // framework's registry of managers and window classes, GDI+, and whatever
    // the C runtime tears down at exit. None of it may be freed while the
    // thread lives, and only the end of the process stops the thread. So the
    // process ends here, with nothing more run: Config.ini was written at
    // start-up, and the mutex is let go first so that the next client is the
    // first instance again. ExitProcess would still run every library's detach
    // code (the control's, OLE's, GDI+'s) after stopping the thread wherever it
    // was, perhaps inside one of their locks; TerminateProcess runs nothing.
    m_instanceMutex.Reset();
    TerminateProcess(GetCurrentProcess(), 0);
    // Not reached: terminating the own process does not return.
    ExitProcess(0);
}

void gameApp::SetUserName(const wchar_t* name)
{
    ZeroMemory(m_userName, sizeof(m_userName));
    ZeroMemory(m_userNameAnsi, sizeof(m_userNameAnsi));
    if (!name)
        return;
    CopyCut(m_userName, name);
    ToAnsiWhole(m_userName, m_userNameAnsi, CP_ACP);
}

void gameApp::ToAnsiWhole(const wchar_t* text, char (&ansi)[kUserNameCapacity], UINT codePage)
{
    ZeroMemory(ansi, sizeof(ansi));
    // Convert as many whole characters as fit in 63 bytes, so a double-byte
    // character is never cut in half.
    int length = lstrlenW(text);
    while (length > 0) {
        const int needed = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
        if (needed > 0 && needed < kUserNameCapacity) {
            WideCharToMultiByte(codePage, 0, text, length, ansi, kUserNameCapacity - 1, nullptr, nullptr);
            break;
        }
        --length;
    }
}
