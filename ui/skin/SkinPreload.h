#pragma once
// Skin images decoded ahead of the window that shows them, by other threads
// while that window is being made: the UI thread decodes the launcher's artwork
// first thing, while the main thread builds the launcher's window and then
// decodes what is left. Every thread that asks decodes the next image nobody
// has begun, until none is left (the first decode of a process also loads the
// image codecs); Take then hands them over one by one.

#include <windows.h>
#include <gdiplus.h>

#include "ui/framework/Scoped.h"
#include "ui/skin/SkinImage.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class SkinPreload {
public:
    // How an image is decoded, here and by Take for what it does not hold.
    using Loader = std::function<std::unique_ptr<Gdiplus::Image>(int id)>;

    // Without a loader each image is loaded for dpi (LoadPngResource).
    explicit SkinPreload(std::vector<int> ids, Loader load = nullptr, int dpi = 96);
    // Images never taken are freed here: GDI+ must still be running.
    ~SkinPreload();
    SkinPreload(const SkinPreload&) = delete;
    SkinPreload& operator=(const SkinPreload&) = delete;

    // Decodes, on the calling thread, the images of the ids (in their order)
    // that no thread has begun yet, and returns when none is left to begin.
    // GDI+ must be running in the process (any thread may have started it).
    void Decode();
    // The decoded image of id, once (it moves to the caller): decodes what is
    // left here, then waits for the other threads' last images. An id not
    // asked for, taken already or that failed to decode is decoded here, as
    // without the object.
    std::unique_ptr<Gdiplus::Image> Take(int id);
    // The DPI the images are loaded for.
    int Dpi() const { return m_dpi; }

private:
    struct Entry {
        int id;
        std::unique_ptr<Gdiplus::Image> image;
    };

    // The next entry to begin and the number finished; whoever finishes the
    // last sets m_decoded, and only then may anyone read the entries.
    std::atomic<size_t> m_next{0};
    std::atomic<size_t> m_finished{0};
    ScopedHandle m_decoded;
    std::vector<Entry> m_entries;
    Loader m_load;
    int m_dpi;
};
