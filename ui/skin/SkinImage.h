#pragma once
// Skin images: PNG resources of the custom type "PNG" with numeric ids in the
// program's own module, and frames cut out of image strips.

#include <windows.h>
#include <gdiplus.h>

#include <memory>

// The skin image with this id; null for id 0 or when any step fails. Its
// pixels packed ready to show (resource type "SKINPIXELS", the same id) when
// the program has them, which is far quicker and needs no image codec;
// otherwise the PNG resource, decoded.
std::unique_ptr<Gdiplus::Image> LoadPngResource(int id, int dpi = 96);

// The PNG resource with this id, decoded (an image with alpha premultiplied);
// null for id 0 or when any step fails.
std::unique_ptr<Gdiplus::Image> DecodePngResource(int id);

// Packed pixels as tools/pack-skin.py writes them, unpacked into a new image;
// null when they are not whole and sound.
std::unique_ptr<Gdiplus::Image> UnpackSkinPixels(const void* packed, DWORD size);

// A new premultiplied bitmap of width x height holding the part of source that
// starts at (x, 0); null when that part is not inside source.
std::unique_ptr<Gdiplus::Bitmap> CropImage(Gdiplus::Image* source, int x, int width, int height);
