// framecmd: sends the game frame's command message to a running client.
//
//   framecmd enter [pid]   switch the client to the game view
//   framecmd close [pid]   close the client
//
// The game frame's window (class "zarvoostrel") takes message 2277 with the
// command in wParam from any sender. Exit code: 0 when at least one frame got
// the command, 1 when no running client was found, 2 for a wrong command line.

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

constexpr UINT WM_FRAMECOMMAND = 2277;
constexpr WPARAM FRAME_CMD_ENTER_GAME = 1001;
constexpr WPARAM FRAME_CMD_CLOSE = 5557;

struct FrameSearch {
    DWORD processId; // 0: any client
    std::vector<HWND> frames;
};

BOOL CALLBACK CollectFrame(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<FrameSearch*>(param);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (wcscmp(name, L"zarvoostrel") != 0)
        return TRUE;
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (search->processId == 0 || owner == search->processId)
        search->frames.push_back(hwnd);
    return TRUE;
}

int Usage()
{
    fwprintf(stderr, L"usage: framecmd enter|close [process id]\n");
    return 2;
}

bool ParseProcessId(const wchar_t* text, DWORD* id)
{
    if (!*text)
        return false;
    for (const wchar_t* p = text; *p; ++p) {
        if (!iswdigit(*p))
            return false;
    }
    *id = static_cast<DWORD>(wcstoul(text, nullptr, 10));
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || argc > 3)
        return Usage();
    WPARAM command = 0;
    if (wcscmp(argv[1], L"enter") == 0)
        command = FRAME_CMD_ENTER_GAME;
    else if (wcscmp(argv[1], L"close") == 0)
        command = FRAME_CMD_CLOSE;
    else
        return Usage();

    FrameSearch search{0, {}};
    if (argc == 3 && !ParseProcessId(argv[2], &search.processId))
        return Usage();

    EnumWindows(CollectFrame, reinterpret_cast<LPARAM>(&search));
    int sent = 0;
    for (HWND frame : search.frames) {
        if (PostMessageW(frame, WM_FRAMECOMMAND, command, 0))
            ++sent;
    }
    if (sent == 0) {
        fwprintf(stderr, L"framecmd: no running client found\n");
        return 1;
    }
    return 0;
}
