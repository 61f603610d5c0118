#include "ui/skin/SkinImage.h"

#include "ui/framework/SystemFunction.h"
#include "ui/skin/CSkinBitmap.h"

#include <objidl.h>

#include <cstring>

namespace {
// Releases a COM interface pointer once.
template <class Interface> class ScopedComPtr {
public:
    ScopedComPtr() = default;
    ~ScopedComPtr()
    {
        if (m_ptr)
            m_ptr->Release();
    }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    Interface** Out() { return &m_ptr; }
    Interface* Get() const { return m_ptr; }

private:
    Interface* m_ptr = nullptr;
};

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
} // namespace

std::unique_ptr<Gdiplus::Image> LoadPngResource(int id, int)
{
    if (id == 0)
        return nullptr;
    DWORD size = 0;
    if (const void* packed = ResourceBytes(id, L"SKINPIXELS", &size)) {
        if (auto image = UnpackSkinPixels(packed, size))
            return image;
    }
    return DecodePngResource(id);
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

std::unique_ptr<Gdiplus::Image> DecodePngResource(int id)
{
    if (id == 0)
        return nullptr;
    DWORD size = 0;
    const void* bytes = ResourceBytes(id, L"PNG", &size);
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
    ScopedComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, stream.Out()))) {
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

std::unique_ptr<Gdiplus::Bitmap> CropImage(Gdiplus::Image* source, int x, int width, int height)
{
    if (!source || width <= 0 || height <= 0)
        return nullptr;
    return CSkinBitmap::CopyOf(source, x, 0, width, height);
}
