#pragma once
// Pictures of what the screen shows: the page area as the player sees it, the
// browser's own windows included, saved as PNG files in the user's Pictures
// folder, subfolder "Morvane网页版", named after the local date and time
// ("截图 20260102-134507.png"; a second picture in the same second gets
// " (2)", and so on).

#include <windows.h>

#include <string>

namespace screenshot {

// Saves the screen's pixels in screenRect; the file's full path, or empty when
// nothing could be saved. GDI+ must be started on the calling thread.
std::wstring Save(const RECT& screenRect);

} // namespace screenshot
