#pragma once
// Running clients: found by their program's file name, closed on request.

#include <windows.h>

#include <vector>

// Ids of every process whose program file is named "vorn.exe".
std::vector<DWORD> FindClientProcesses();

// Terminates the given processes and waits until they have ended, at most
// waitMs in total, so their files are released before they are deleted.
// Processes that cannot be opened keep running.
void TerminateClients(const std::vector<DWORD>& processIds, DWORD waitMs);
