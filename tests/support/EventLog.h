#pragma once
// What a test saw happen, in the order it happened: window messages, browser
// events, callbacks, each written down as one short line with the thread it
// arrived on. Any thread may add; the test reads, waits and compares.

#include <gtest/gtest.h>
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace test {

class EventLog {
public:
    // One line from words and numbers: Line(L"timer", 7, 1500) is "timer 7 1500".
    template <typename... Parts> static std::wstring Line(const wchar_t* first, const Parts&... parts)
    {
        std::wstring line = first;
        ((line += L' ', Append(line, parts)), ...);
        return line;
    }

    void Add(std::wstring line);
    void Clear();
    std::vector<std::wstring> Lines() const;
    // The threads the lines arrived on, in the same order.
    std::vector<DWORD> Threads() const;
    // The lines that begin with prefix, in order.
    std::vector<std::wstring> Starting(const std::wstring& prefix) const;
    int Count(const std::wstring& line) const;
    bool Saw(const std::wstring& line) const { return Count(line) > 0; }
    // Keeps the calling thread's messages flowing until the line comes.
    bool WaitFor(const std::wstring& line, DWORD timeoutMs = 10000) const;

    // The lines are exactly these, in this order.
    ::testing::AssertionResult Exactly(const std::vector<std::wstring>& expected) const;

private:
    static void Append(std::wstring& line, const wchar_t* text) { line += text; }
    static void Append(std::wstring& line, const std::wstring& text) { line += text; }
    template <typename Number> static void Append(std::wstring& line, Number number)
    {
        line += std::to_wstring(number);
    }

    mutable std::mutex m_lock;
    std::vector<std::wstring> m_lines;
    std::vector<DWORD> m_threads;
};

} // namespace test
