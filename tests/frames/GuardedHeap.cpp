#include "GuardedHeap.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

constexpr SIZE_T kPage = 4096;
constexpr SIZE_T kArenaBytes = SIZE_T{64} << 20; // a test takes a few megabytes
// Keeps the size of a block in front of it, at the alignment operator new promises.
constexpr SIZE_T kHeader = 16;

// Process-wide by nature: the replaced operator new and delete reach it.
std::atomic<char*> g_arena{nullptr};
std::atomic<SIZE_T> g_used{0};
std::atomic<bool> g_open{false};

bool InArena(const void* block)
{
    const char* arena = g_arena.load();
    const char* p = static_cast<const char*>(block);
    return arena && p >= arena && p < arena + kArenaBytes;
}

// Commits fresh pages for the block and leaves the page after them untouched,
// so that no two blocks ever share a page and pages are never used twice.
void* GuardedAllocate(size_t size)
{
    const SIZE_T pages = (size + kHeader + kPage - 1) / kPage;
    const SIZE_T span = (pages + 1) * kPage;
    const SIZE_T offset = g_used.fetch_add(span);
    if (offset + span > kArenaBytes)
        return nullptr;
    char* block = static_cast<char*>(VirtualAlloc(g_arena.load() + offset, pages * kPage, MEM_COMMIT, PAGE_READWRITE));
    if (!block)
        return nullptr;
    *reinterpret_cast<SIZE_T*>(block) = pages;
    return block + kHeader;
}

// A touch of a freed block ends the program with a failing exit code at once.
// (Left to Wine, an unhandled fault starts its debugger and the program may
// still exit with 0, which a test runner would take for a pass.)
LONG CALLBACK OnFault(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION || record->NumberParameters < 2 ||
        !InArena(reinterpret_cast<const void*>(record->ExceptionInformation[1])))
        return EXCEPTION_CONTINUE_SEARCH;
    static const char message[] = "guarded heap: a freed block was touched\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), message, sizeof(message) - 1, &written, nullptr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_CONTINUE_SEARCH;
}

void GuardedFree(void* p)
{
    char* block = static_cast<char*>(p) - kHeader;
    const SIZE_T pages = *reinterpret_cast<SIZE_T*>(block);
    VirtualFree(block, pages * kPage, MEM_DECOMMIT);
}

} // namespace

void* operator new(size_t size)
{
    if (size == 0)
        size = 1;
    void* p = g_open.load() ? GuardedAllocate(size) : nullptr;
    if (!p)
        p = std::malloc(size);
    if (!p)
        throw std::bad_alloc();
    return p;
}

void* operator new[](size_t size) { return ::operator new(size); }

void operator delete(void* p) noexcept
{
    if (InArena(p))
        GuardedFree(p);
    else
        std::free(p);
}

void operator delete[](void* p) noexcept { ::operator delete(p); }
void operator delete(void* p, size_t) noexcept { ::operator delete(p); }
void operator delete[](void* p, size_t) noexcept { ::operator delete(p); }

namespace frametest {

GuardedHeapScope::GuardedHeapScope()
{
    if (!g_arena.load()) {
        g_arena = static_cast<char*>(VirtualAlloc(nullptr, kArenaBytes, MEM_RESERVE, PAGE_NOACCESS));
        AddVectoredExceptionHandler(1, OnFault);
    }
    g_open = g_arena.load() != nullptr;
}

GuardedHeapScope::~GuardedHeapScope() { g_open = false; }

bool GuardedHeapScope::Holds(const void* block) { return block && InArena(block); }

} // namespace frametest
