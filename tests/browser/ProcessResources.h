#pragma once
// What the test process holds, counted the ways Windows and Wine each allow:
// Windows counts handles and GDI/USER objects per process, Wine does not (its
// counters answer 0) but keeps the system handle table, which is walked here.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace test {

struct ProcessResources {
    DWORD handles = 0;          // GetProcessHandleCount
    DWORD gdiObjects = 0;       // GetGuiResources
    DWORD userObjects = 0;      // GetGuiResources
    size_t wineGdiObjects = 0;  // used entries of Wine's GDI handle table (0 elsewhere)
    size_t kernelObjects = 0;   // this process's entries in the system handle table, downloads excluded
    size_t downloadHandles = 0; // pipes and sockets, and files in the URL cache: the network's side
    size_t windows = 0;         // every window of the process, message-only ones included
    size_t tempFiles = 0;       // entries in the temporary folder

    static ProcessResources Measure();
    std::string Describe() const;
};

// The values of this process's handles in the system handle table.
std::vector<HANDLE> OwnHandles();

} // namespace test
