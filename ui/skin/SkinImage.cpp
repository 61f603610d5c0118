#include "ui/skin/SkinImage.h"

#include "resources/resource.h"
#include "ui/framework/ComPtr.h"
#include "ui/framework/SystemFunction.h"
#include "ui/skin/CSkinBitmap.h"

#include <objidl.h>

#include <cstring>
#include <iterator>

namespace {
// The bytes of the resource of this id and type in the program's own module,
// and their count; null when it has none or they cannot be read.
const void* ResourceBytes(int id, const wchar_t* type, DWORD* size)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    *size = bytes ? SizeofResource(module, found) : 0;
    return *size ? bytes : nullptr;
}

// The images of one scale: the DPI they are drawn for and their resource types.
struct DrawnSet {
    int dpi;
    const wchar_t* packed;
    const wchar_t* png;
};
constexpr DrawnSet kDrawnAt100 = {96, L"SKINPIXELS", L"PNG"};
// Smallest first.
constexpr DrawnSet kLargerSets[] = {{144, L"SKINPIXELS150", L"PNG150"}, {192, L"SKINPIXELS200", L"PNG200"}};

// Strips hold two frames side by side (normal | hover) that are scaled each on
// its own: the strip is twice a scaled frame wide.
int FramesOf(int id)
{
    return id == IDP_LINK_SERVICE || id == IDP_LINK_FORUM || id == IDP_LINK_HOME || id == IDP_LINK_PAY ? 2 : 1;
}

std::unique_ptr<Gdiplus::Image> DecodeImageResource(int id, const wchar_t* type);

std::unique_ptr<Gdiplus::Image> LoadSet(int id, const DrawnSet& set)
{
    DWORD size = 0;
    if (const void* packed = ResourceBytes(id, set.packed, &size)) {
        if (auto image = UnpackSkinPixels(packed, size))
            return image;
    }
    return DecodeImageResource(id, set.png);
}

// The size of the image at 100 %, read from its PNG's header (width and
// height, big-endian, right after the signature and the IHDR chunk's start).
bool SizeAt100(int id, int* width, int* height)
{
    DWORD size = 0;
    const auto* png = static_cast<const BYTE*>(ResourceBytes(id, L"PNG", &size));
    if (!png || size < 24 || std::memcmp(png + 12, "IHDR", 4) != 0)
        return false;
    auto side = [&](int at) {
        const UINT32 value = (UINT32{png[at]} << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        return value <= 8192 ? static_cast<int>(value) : 0; // far beyond any skin image
    };
    *width = side(16);
    *height = side(20);
    return *width > 0 && *height > 0;
}

// source brought to width x height: a high-quality filter that reads mirrored
// pixels beyond the edges, so they neither darken nor take in transparency.
std::unique_ptr<CSkinBitmap> Resampled(Gdiplus::Image* source, int width, int height)
{
    auto result = CSkinBitmap::Make(width, height);
    if (!result)
        return nullptr;
    Gdiplus::Graphics g(result.get());
    g.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
    g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    Gdiplus::ImageAttributes attributes;
    attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY, Gdiplus::Color(0xFF000000), FALSE);
    if (g.DrawImage(source, Gdiplus::Rect(0, 0, width, height), 0, 0, static_cast<INT>(source->GetWidth()),
                    static_cast<INT>(source->GetHeight()), Gdiplus::UnitPixel, &attributes) != Gdiplus::Ok)
        return nullptr;
    return result;
}

// image of frames equal frames side by side, each brought to frameWidth x
// height on its own (no column of one reaches into the next); opaque stays
// opaque.
std::unique_ptr<Gdiplus::Image> Scaled(Gdiplus::Image* image, int frames, int frameWidth, int height)
{
    const int width = frameWidth * frames;
    const bool opaque = !Gdiplus::IsAlphaPixelFormat(image->GetPixelFormat());
    auto result = CSkinBitmap::Make(width, height, opaque);
    if (!result)
        return nullptr;
    const int sourceFrame = static_cast<int>(image->GetWidth()) / frames;
    for (int frame = 0; frame < frames; ++frame) {
        std::unique_ptr<Gdiplus::Bitmap> part;
        if (frames > 1) {
            part = CropImage(image, frame * sourceFrame, sourceFrame, static_cast<int>(image->GetHeight()));
            if (!part)
                return nullptr;
        }
        auto scaled = Resampled(part ? part.get() : image, frameWidth, height);
        if (!scaled)
            return nullptr;
        GdiFlush();
        for (int y = 0; y < height; ++y) {
            BYTE* row = result->Bits() + (static_cast<size_t>(y) * width + frame * frameWidth) * 4;
            std::memcpy(row, scaled->Bits() + static_cast<size_t>(y) * frameWidth * 4,
                        static_cast<size_t>(frameWidth) * 4);
            if (opaque)
                for (int x = 0; x < frameWidth; ++x)
                    row[x * 4 + 3] = 255;
        }
    }
    return result;
}
} // namespace

std::unique_ptr<Gdiplus::Image> LoadPngResource(int id, int dpi)
{
    if (id == 0)
        return nullptr;
    if (dpi <= kDrawnAt100.dpi)
        return LoadSet(id, kDrawnAt100);
    int width = 0, height = 0;
    if (!SizeAt100(id, &width, &height))
        return nullptr;
    const int frames = FramesOf(id);
    const int frameWidth = MulDiv(width / frames, dpi, 96);
    const int scaledHeight = MulDiv(height, dpi, 96);
    // The smallest drawn set at least as large as asked for, else the largest.
    std::unique_ptr<Gdiplus::Image> drawn;
    for (const DrawnSet& set : kLargerSets)
        if (!drawn && set.dpi >= dpi)
            drawn = LoadSet(id, set);
    for (auto set = std::rbegin(kLargerSets); !drawn && set != std::rend(kLargerSets); ++set)
        if (set->dpi < dpi)
            drawn = LoadSet(id, *set);
    if (!drawn)
        return LoadSet(id, kDrawnAt100);
    if (drawn->GetWidth() == static_cast<UINT>(frameWidth * frames) &&
        drawn->GetHeight() == static_cast<UINT>(scaledHeight))
        return drawn;
    return Scaled(drawn.get(), frames, frameWidth, scaledHeight);
}

std::unique_ptr<Gdiplus::Image> UnpackSkinPixels(const void* packed, DWORD size)
{
    struct Header {
        char magic[4];
        UINT32 width;
        UINT32 height;
        UINT32 flags;
    };
    constexpr UINT32 kOpaque = 1;
    constexpr UINT32 kLargest = 8192; // a side; far beyond any skin image
    Header header = {};
    if (!packed || size <= sizeof(header))
        return nullptr;
    std::memcpy(&header, packed, sizeof(header));
    if (std::memcmp(header.magic, "SKPX", 4) != 0 || header.width == 0 || header.height == 0 ||
        header.width > kLargest || header.height > kLargest || (header.flags & ~kOpaque) != 0)
        return nullptr;
    // The stream is a row of chunks of 4096 bytes each when unpacked (the last
    // one of what is left), a 16-bit header before each giving its length: as
    // many as the image needs, and they end where the data ends.
    const ULONG expected = header.width * header.height * 4;
    const auto* bytes = static_cast<const BYTE*>(packed);
    DWORD at = sizeof(header);
    DWORD last = at;
    ULONG chunks = 0;
    while (size - at >= 2) {
        const DWORD length = 2 + ((bytes[at] | (bytes[at + 1] << 8)) & 0x0FFF) + 1u;
        if (length > size - at)
            return nullptr;
        last = at;
        at += length;
        ++chunks;
    }
    if (at != size || chunks != (expected + 4095) / 4096)
        return nullptr;

    using Decompress = LONG(WINAPI*)(USHORT, PUCHAR, ULONG, PUCHAR, ULONG, PULONG);
    static const auto decompress = SystemFunction<Decompress>(L"ntdll.dll", "RtlDecompressBuffer");
    if (!decompress)
        return nullptr;
    // Read only: the system's declaration merely lacks the const.
    auto* stream = const_cast<PUCHAR>(bytes);
    // The system's unpacker stops without a word where the buffer is full, so
    // a header a row or a pixel short of its stream would show the pixels
    // sheared. The last chunk, unpacked on its own, tells how much the stream
    // holds: every chunk before it holds 4096 bytes.
    BYTE tail[4096];
    ULONG tailLength = 0;
    if (decompress(COMPRESSION_FORMAT_LZNT1, tail, sizeof(tail), stream + last, size - last, &tailLength) != 0 ||
        (chunks - 1) * 4096 + tailLength != expected)
        return nullptr;

    auto image = CSkinBitmap::Make(static_cast<int>(header.width), static_cast<int>(header.height),
                                   (header.flags & kOpaque) != 0);
    if (!image)
        return nullptr;
    ULONG unpacked = 0;
    const LONG status = decompress(COMPRESSION_FORMAT_LZNT1, image->Bits(), expected, stream + sizeof(header),
                                   size - sizeof(header), &unpacked);
    if (status != 0 || unpacked != expected)
        return nullptr;
    return image;
}

std::unique_ptr<Gdiplus::Image> DecodePngResource(int id) { return DecodeImageResource(id, L"PNG"); }

namespace {
std::unique_ptr<Gdiplus::Image> DecodeImageResource(int id, const wchar_t* type)
{
    if (id == 0)
        return nullptr;
    DWORD size = 0;
    const void* bytes = ResourceBytes(id, type, &size);
    if (!bytes)
        return nullptr;

    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!copy)
        return nullptr;
    void* target = GlobalLock(copy);
    if (!target) {
        GlobalFree(copy);
        return nullptr;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy);

    // The stream owns the copy from here on and frees it when its last
    // reference goes; the image keeps a reference for as long as it lives,
    // since it may read from the stream again after construction.
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, stream.Put()))) {
        GlobalFree(copy);
        return nullptr;
    }
    auto image = std::make_unique<Gdiplus::Bitmap>(stream.Get(), TRUE);
    if (image->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    // Every paint pass draws onto premultiplied surfaces (layered images and
    // off-screen DIBs): an image with an alpha channel kept premultiplied is
    // drawn without converting each of its pixels again on every pass.
    const Gdiplus::PixelFormat format = image->GetPixelFormat();
    if (!Gdiplus::IsAlphaPixelFormat(format) || format == PixelFormat32bppPARGB)
        return image;
    std::unique_ptr<Gdiplus::Image> premultiplied = CSkinBitmap::CopyOf(
        image.get(), 0, 0, static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()));
    if (!premultiplied)
        return image;
    return premultiplied;
}
} // namespace

std::unique_ptr<Gdiplus::Bitmap> CropImage(Gdiplus::Image* source, int x, int width, int height)
{
    if (!source || width <= 0 || height <= 0)
        return nullptr;
    return CSkinBitmap::CopyOf(source, x, 0, width, height);
}
