// Process entry of the client.

#include "app/ClientProcess.h"
#include "app/CrashDumpWriter.h"
#include "ui/framework/DpiScale.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // First of all: a crash anywhere in the client, on any of its threads, then
    // leaves a dump to read.
    const CrashDumpWriter crashDumps;
    // The client draws itself at each monitor's scale: Windows must not
    // stretch it. Told before any window exists (the manifest says so too).
    dpi::DeclareAwareness();
    return RunClientProcess<gameApp>();
}
