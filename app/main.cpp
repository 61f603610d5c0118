// Process entry of the client.

#include "app/gameApp.h"

#include <ole2.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (OleInitialize(nullptr) != S_OK)
        return 0;
    {
        gameApp app;
        g_app = &app;
        app.Run();
        g_app = nullptr;
    }
    OleUninitialize();
    return 0;
}
