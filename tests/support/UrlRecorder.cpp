// url_recorder: stands in for the user's default browser in tests. Appends the
// URL it is asked to open, one line of UTF-8, to the file named by VORN_URL_LOG.

#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
        return 1;
    wchar_t log[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"VORN_URL_LOG", log, MAX_PATH))
        return 1;
    char line[8192] = {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, argv[1], -1, line, sizeof(line) - 2, nullptr, nullptr);
    if (bytes <= 0)
        return 1;
    line[bytes - 1] = '\n';
    HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(bytes), &written, nullptr);
    CloseHandle(file);
    return 0;
}
