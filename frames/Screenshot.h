#pragma once
// Pictures of what the screen shows: the page area as the player sees it, the
// browser's own windows included, saved as PNG files in the user's Pictures
// folder, subfolder "Morvane网页版", named after the local date and time
// ("截图 20260102-134507.png"; a second picture in the same second gets
// " (2)", and so on). The picture is taken at once, on the window's thread;
// storing it, which may wait on a slow or offline folder, happens on a thread
// of its own.

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace screenshot {

// The screen's pixels in screenRect as the bytes of a PNG file; empty when
// nothing could be captured or encoded. GDI+ must be started in the process.
std::vector<BYTE> Capture(const RECT& screenRect);

// Writes a picture into the folder under this second's name; its full path,
// or empty when it could not be stored. May take long: never on a window's thread.
std::wstring Store(const std::vector<BYTE>& png);

} // namespace screenshot

// Stores pictures, each on a thread of its own, and tells a window by posting
// it a message when one is done. What the threads share with the owner is
// kept alive by them, so the owner may go while a picture is still being stored.
class ScreenshotStore {
public:
    using StoreFunction = std::function<std::wstring(const std::vector<BYTE>&)>;

    ScreenshotStore();
    ScreenshotStore(const ScreenshotStore&) = delete;
    ScreenshotStore& operator=(const ScreenshotStore&) = delete;

    // Starts storing png; when done, posts message to window. False when no
    // thread could be started: then nothing is stored.
    bool Start(std::vector<BYTE> png, HWND window, UINT message);
    // The paths of the pictures stored since the last call, in the order they
    // were done; an empty path for one that could not be stored.
    std::vector<std::wstring> TakeFinished();

    // What stores a picture: screenshot::Store, unless replaced.
    StoreFunction store;

private:
    struct Finished {
        std::mutex lock;
        std::vector<std::wstring> paths;
    };
    struct Job;
    static DWORD WINAPI StoreThread(LPVOID job);
    std::shared_ptr<Finished> m_finished;
};
