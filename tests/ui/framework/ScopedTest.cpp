// The handle owners: each handle is released exactly once, by whichever owner
// holds it last, and a handle given away is not released at all.

#include "ui/framework/ComPtr.h"
#include "ui/framework/Scoped.h"

#include <gtest/gtest.h>

#include <objidl.h>

#include <utility>
#include <vector>

namespace {

// Handles are small numbers, 0 is none; every release is noted.
std::vector<int>* g_released = nullptr;

struct CountingTraits {
    using Handle = int;
    static Handle Invalid() { return 0; }
    static bool Close(Handle handle)
    {
        g_released->push_back(handle);
        return true;
    }
};
using Counted = ScopedResource<CountingTraits>;

bool IsOpenHandle(HANDLE handle)
{
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

} // namespace

TEST(ScopedResource, ReleasesEachHandleOnceWhereverItWasMoved)
{
    std::vector<int> released;
    g_released = &released;
    {
        Counted first(1);
        Counted second(std::move(first));
        EXPECT_FALSE(first) << "moved from: holds nothing";
        EXPECT_EQ(second.Get(), 1);

        Counted third(3);
        third = std::move(second); // 3 goes now, 1 moves on
        EXPECT_EQ(released, std::vector<int>{3});
        third.Reset(1); // the same handle: kept, not released
        EXPECT_EQ(released, std::vector<int>{3});

        Counted given(4);
        EXPECT_EQ(given.Release(), 4); // the caller's now
        Counted closed(5);
        EXPECT_TRUE(closed.Close());
        EXPECT_FALSE(closed.Close()) << "nothing left to close";
        *closed.Put() = 6;
        Counted none;
    }
    EXPECT_EQ(released, (std::vector<int>{3, 5, 6, 1}));
    g_released = nullptr;
}

TEST(ScopedResource, ClosesKernelHandlesAndFilesOnce)
{
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(event);
    {
        ScopedHandle owner(event);
        ScopedHandle moved(std::move(owner));
        EXPECT_TRUE(IsOpenHandle(event));
    }
    EXPECT_FALSE(IsOpenHandle(event));

    // A file that could not be opened is INVALID_HANDLE_VALUE, which owns nothing.
    ScopedFile missing(CreateFileW(L"Z:\\no\\such\\folder\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_FALSE(missing.Close());
}

TEST(ComPtr, AsAsksForTheInterfaceOfItsType)
{
    ComPtr<IStream> stream;
    ASSERT_TRUE(SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put())));
    ComPtr<IUnknown> unknown = stream.As<IUnknown>();
    ASSERT_TRUE(unknown);
    ComPtr<ISequentialStream> sequential = unknown.As<ISequentialStream>();
    EXPECT_TRUE(sequential);
    EXPECT_FALSE(unknown.As<IDispatch>()) << "a stream on memory has no automation interface";
}
