// Stands in for a running client in the remover's tests: a GUI program that
// does nothing but run until it is terminated. Copied under the client's file
// name, or another one, wherever a test needs a running "client".

#include <windows.h>

namespace {
// Ends on its own at last, should a test ever leave it behind.
constexpr DWORD kLifetimeMs = 5 * 60 * 1000;
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    WaitForSingleObject(never, kLifetimeMs);
    CloseHandle(never);
    return 0;
}
