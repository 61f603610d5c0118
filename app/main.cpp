// Process entry of the client.

#include "app/ClientProcess.h"
#include "app/CrashDumpWriter.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // First of all: a crash anywhere in the client, on any of its threads, then
    // leaves a dump to read.
    const CrashDumpWriter crashDumps;
    return RunClientProcess<gameApp>();
}
