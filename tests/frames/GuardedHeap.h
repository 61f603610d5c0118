#pragma once
// A heap for tests that must see reads of freed memory. While a scope is open,
// every block the program takes with operator new lives on pages of its own,
// and freeing a block makes its pages inaccessible for good: a later read of
// it faults at once and ends the test program, instead of finding stale bytes
// that happen to look right. Outside a scope operator new is the usual heap.

namespace frametest {

class GuardedHeapScope {
public:
    GuardedHeapScope();
    ~GuardedHeapScope();
    GuardedHeapScope(const GuardedHeapScope&) = delete;
    GuardedHeapScope& operator=(const GuardedHeapScope&) = delete;

    // Whether the block lies on guarded pages (blocks taken before the scope
    // opened, or after the guarded pages ran out, do not).
    static bool Holds(const void* block);
};

} // namespace frametest
