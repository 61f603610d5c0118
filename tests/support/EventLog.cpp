#include "support/EventLog.h"

#include "support/TestSupport.h"

#include <algorithm>

namespace test {

void EventLog::Add(std::wstring line)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_lines.push_back(std::move(line));
    m_threads.push_back(GetCurrentThreadId());
}

void EventLog::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_lines.clear();
    m_threads.clear();
}

std::vector<std::wstring> EventLog::Lines() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lines;
}

std::vector<DWORD> EventLog::Threads() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_threads;
}

std::vector<std::wstring> EventLog::Starting(const std::wstring& prefix) const
{
    std::vector<std::wstring> found;
    for (const std::wstring& line : Lines())
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    return found;
}

int EventLog::Count(const std::wstring& line) const
{
    const std::vector<std::wstring> lines = Lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

bool EventLog::WaitFor(const std::wstring& line, DWORD timeoutMs) const
{
    return PumpUntil([&] { return Saw(line); }, timeoutMs);
}

::testing::AssertionResult EventLog::Exactly(const std::vector<std::wstring>& expected) const
{
    const std::vector<std::wstring> lines = Lines();
    if (lines == expected)
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "expected, exactly:";
    for (const std::wstring& line : expected)
        failure << "\n    " << line;
    failure << "\nseen:";
    for (const std::wstring& line : lines)
        failure << "\n    " << line;
    return failure;
}

} // namespace test
