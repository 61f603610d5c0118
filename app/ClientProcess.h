#pragma once
// The client's process from OLE's start to its end around an application object
// of type App: gameApp in the client, a gameApp of its own in a test program.

#include "app/gameApp.h"

#include <ole2.h>

template <class App> int RunClientProcess()
{
    if (OleInitialize(nullptr) != S_OK)
        return 0;
    {
        App app;
        g_app = &app;
        app.Run();
        g_app = nullptr;
    }
    OleUninitialize();
    return 0;
}
