#include "ui/skin/SkinImage.h"

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
} // namespace

std::unique_ptr<Gdiplus::Image> LoadPngResource(int id)
{
    if (id == 0)
        return nullptr;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, found);
    if (!bytes || size == 0)
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
