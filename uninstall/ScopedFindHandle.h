#pragma once
// A running file search (FindFirstFileW), closed when the object goes.

#include <windows.h>

class ScopedFindHandle {
public:
    explicit ScopedFindHandle(HANDLE search) : m_search(search) {}
    ~ScopedFindHandle() { Close(); }
    ScopedFindHandle(const ScopedFindHandle&) = delete;
    ScopedFindHandle& operator=(const ScopedFindHandle&) = delete;

    HANDLE Get() const { return m_search; }
    bool Valid() const { return m_search != INVALID_HANDLE_VALUE; }
    void Close()
    {
        if (Valid())
            FindClose(m_search);
        m_search = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_search;
};
