#pragma once
// Skin images: PNG resources with numeric ids in the program's own module,
// drawn at 100 % (type "PNG"), 150 % ("PNG150") and 200 % ("PNG200") of their
// size at 96 DPI, and frames cut out of image strips.

#include <windows.h>
#include <gdiplus.h>

#include <memory>

// The skin image with this id for a display of dpi dots per inch, at the size
// the windows give it there: MulDiv(side, dpi, 96) of each side at 96 DPI
// (for a strip of two frames, twice a frame's). A dpi up to 96, or 0: the
// image at 100 % as ever. 144 and 192: the images drawn at 150 % and 200 %.
// Between those, and above 192, the next larger drawn image (above 192 the
// one at 200 %) brought to that size with a high-quality filter, each frame of
// a strip on its own. A drawn image that is missing gives way to the next
// larger one; an image drawn at 100 % only comes at its own size, for the
// caller to stretch. Each is taken from its pixels packed ready to show
// ("SKINPIXELS", "SKINPIXELS150", "SKINPIXELS200", the same id) when the
// program has them, which is far quicker and needs no image codec; otherwise
// from its PNG, decoded. Premultiplied; null for id 0 or when any step fails.
std::unique_ptr<Gdiplus::Image> LoadPngResource(int id, int dpi = 96);

// The PNG resource with this id (at 100 %), decoded (an image with alpha
// premultiplied); null for id 0 or when any step fails.
std::unique_ptr<Gdiplus::Image> DecodePngResource(int id);

// Packed pixels as tools/pack-skin.py writes them, unpacked into a new image;
// null when they are not whole and sound.
std::unique_ptr<Gdiplus::Image> UnpackSkinPixels(const void* packed, DWORD size);

// A new premultiplied bitmap of width x height holding the part of source that
// starts at (x, 0); null when that part is not inside source.
std::unique_ptr<Gdiplus::Bitmap> CropImage(Gdiplus::Image* source, int x, int width, int height);
