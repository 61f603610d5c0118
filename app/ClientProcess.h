#pragma once
// The client's process from OLE's start to its end around an application object
// of type App: gameApp in the client, a gameApp of its own in a test program.

#include "app/gameApp.h"
#include "ui/framework/Scoped.h"

template <class App> int RunClientProcess()
{
    const ScopedOleInitialize ole;
    if (!ole.Started())
        return 0;
    App app;
    g_app = &app;
    app.Run();
    g_app = nullptr;
    return 0;
}
