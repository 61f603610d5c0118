// Process entry of the remover. It takes no arguments and always ends with code 0.

#include "uninstall/Uninstaller.h"

#include <windows.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Shell verbs run in-process shell extensions, which need an apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    RunRemoval();
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
