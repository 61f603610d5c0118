#pragma once
// The client's application object: runs the main thread, keeps the single-instance
// mutex, updates Config.ini, builds the start URL and owns the UI thread's life.

#include "app/ConfigFile.h"
#include "app/PortalSite.h"
#include "ui/framework/CAppManager.h"
#include "ui/framework/Scoped.h"

class CFrameGame;
class SkinPreload;

class gameApp : public CAppManager {
public:
    static constexpr const wchar_t* kVersionText = L"%0.2f";
    static constexpr double kVersion = 1.15;
    static constexpr const wchar_t* kMutexName = L"vorn";
    // Held by one starting client at a time around its update of Config.ini,
    // which the system rewrites whole at every write.
    static constexpr const wchar_t* kConfigMutexName = L"vorn_config";
    // A client that holds it longer is stuck: the others update without it.
    static constexpr DWORD kConfigLockWaitMs = 5000;
    static constexpr int kUserNameCapacity = 64;
    // Bounded waits of start-up and teardown: the exit must never hang on the UI thread.
    static constexpr DWORD kUiThreadJoinMs = 10000;

    gameApp() = default;

    bool InitInstance() override;
    void SetUserName(const wchar_t* name);
    // The folder of a loaded module's file (the program's own for null). A path
    // that does not fit the buffer gives false and an empty folder: the system
    // cuts such a path without a word, and the cut names an ancestor folder.
    static bool ReadModuleFolder(HMODULE module, wchar_t (&folder)[kPathCapacity]);
    // The text in a code page, as many whole characters as fit in 63 bytes.
    static void ToAnsiWhole(const wchar_t* text, char (&ansi)[kUserNameCapacity], UINT codePage);
    // Start-up's Config.ini step for m_exeDir: writes the version, reads the user
    // id, the run counter and the portal's hosts, builds m_startUrl and writes
    // the counter back.
    void UpdateConfig();

    // The game frame's whole visible life, with the UI thread running: the
    // client launches the frame and returns when its window is gone. A test
    // program replaces it to drive the frame itself; the client itself never does.
    virtual void RunFrame(CFrameGame& frame);

    wchar_t m_exeDir[kPathCapacity] = {};
    wchar_t m_startUrl[kStartUrlCapacity] = {};
    // Held by the first instance only, until it ends.
    ScopedHandle m_instanceMutex;
    bool m_isFirstInstance = false;
    char m_userNameAnsi[kUserNameCapacity] = {};
    wchar_t m_userName[kUserNameCapacity] = {};
    int m_uid = 0;
    PortalSite m_portal;
    // The launcher's artwork while start-up runs: the UI thread decodes it
    // first thing (not owned; null: the launcher decodes its own).
    SkinPreload* m_launcherArt = nullptr;

private:
    void ReadExeDir();
    void TakeInstanceMutex();
    void RunFrames();
    // Ends the process at once, freeing nothing: the UI thread still runs.
    [[noreturn]] void EndWithLiveUiThread();
};

extern gameApp* g_app;

// Start routine of the UI thread; its parameter is the CHtmlAppManager.
DWORD WINAPI UiThreadMain(LPVOID param);
