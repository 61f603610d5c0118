#pragma once
// Skin images: PNG resources of the custom type "PNG" with numeric ids in the
// program's own module, and frames cut out of image strips.

#include <windows.h>
#include <gdiplus.h>

#include <memory>

// The PNG resource with this id, decoded; null for id 0 or when any step fails.
std::unique_ptr<Gdiplus::Image> LoadPngResource(int id);

// A new premultiplied bitmap of width x height holding the part of source that
// starts at (x, 0); null when that part is not inside source.
std::unique_ptr<Gdiplus::Bitmap> CropImage(Gdiplus::Image* source, int x, int width, int height);
