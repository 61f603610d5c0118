// The skin images in the program's resources: every image of the inventory at
// its size, with an alpha channel exactly where the windows need one; strips
// cut into frames; the icon group.

#include "SkinTestSupport.h"
#include "ui/skin/CImageStatic.h"
#include "ui/skin/CSkinBitmap.h"
#include "ui/skin/SkinPreload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>

using skintest::Alpha;

namespace {
struct Inventory {
    int id;
    int width;
    int height;
    bool alpha;
};

// clang-format off: one group of images per line.
constexpr Inventory kInventory[] = {
    {145, 1154, 704, true}, {131, 84, 24, false}, {132, 84, 24, false}, {133, 84, 24, false}, {134, 84, 24, false},
    {155, 84, 24, false},   {151, 84, 24, false}, {152, 84, 24, false}, {156, 84, 24, false}, {130, 28, 28, false},
    {153, 28, 28, false},   {135, 23, 23, false}, {154, 23, 23, false}, {217, 25, 25, true},  {137, 16, 16, false},
    {209, 25, 25, true},    {210, 25, 25, true},  {211, 25, 25, true},  {212, 25, 25, false}, {213, 25, 25, true},
    {214, 25, 25, false},   {215, 25, 25, true},  {216, 25, 25, false}, {196, 25, 25, true},  {208, 25, 25, false},
    {218, 25, 25, true},    {219, 25, 25, false}, {220, 16, 16, true},  {221, 16, 16, true},  {222, 16, 16, true},
    {223, 16, 16, true},    {138, 82, 22, false}, {139, 82, 22, false}, {140, 82, 22, false}, {141, 82, 22, false},
    {142, 295, 190, true},  {144, 68, 35, false}, {146, 68, 35, false}, {147, 68, 35, false}, {148, 68, 35, false},
};
// clang-format on

// The pixels as the painters use them: premultiplied, 0xAARRGGBB.
std::vector<DWORD> PremultipliedPixels(Gdiplus::Image* image)
{
    auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(image);
    if (!bitmap)
        return {};
    const UINT w = bitmap->GetWidth(), h = bitmap->GetHeight();
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    Gdiplus::BitmapData rows = {};
    rows.Width = w;
    rows.Height = h;
    rows.Stride = static_cast<INT>(w * 4);
    rows.PixelFormat = PixelFormat32bppPARGB;
    rows.Scan0 = pixels.data();
    Gdiplus::Rect all(0, 0, static_cast<INT>(w), static_cast<INT>(h));
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                         &rows) != Gdiplus::Ok)
        return {};
    bitmap->UnlockBits(&rows);
    return pixels;
}

// How many pixels differ by more than one step in some channel.
size_t Differing(const std::vector<DWORD>& a, const std::vector<DWORD>& b)
{
    if (a.size() != b.size())
        return std::max(a.size(), b.size());
    size_t n = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 32; shift += 8)
            if (abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)) > 1) {
                ++n;
                break;
            }
    }
    return n;
}

std::vector<BYTE> PackedResource(int id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), L"SKINPIXELS");
    const auto* bytes = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    return bytes ? std::vector<BYTE>(bytes, bytes + SizeofResource(module, found)) : std::vector<BYTE>();
}
} // namespace

TEST(SkinImages, EveryImageHasItsSizeAndAlphaChannel)
{
    test::ThreadManager manager;
    for (const Inventory& entry : kInventory) {
        SCOPED_TRACE("PNG " + std::to_string(entry.id));
        auto image = LoadPngResource(entry.id);
        ASSERT_NE(image, nullptr);
        // Shown from its packed pixels, which show what its PNG shows.
        EXPECT_NE(dynamic_cast<CSkinBitmap*>(image.get()), nullptr) << "unpacked, not decoded";
        auto decoded = DecodePngResource(entry.id);
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(Differing(PremultipliedPixels(image.get()), PremultipliedPixels(decoded.get())), 0u);
        EXPECT_EQ(image->GetWidth(), static_cast<UINT>(entry.width));
        EXPECT_EQ(image->GetHeight(), static_cast<UINT>(entry.height));
        EXPECT_EQ(Gdiplus::IsAlphaPixelFormat(image->GetPixelFormat()) != FALSE, entry.alpha)
            << "pixel format 0x" << std::hex << image->GetPixelFormat();
        // As stored: the colour type in the PNG's header, 6 = RGBA, 2 = RGB.
        HRSRC found = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(entry.id), L"PNG");
        ASSERT_NE(found, nullptr);
        const auto* png = static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleW(nullptr), found)));
        ASSERT_TRUE(png && SizeofResource(GetModuleHandleW(nullptr), found) > 25 && memcmp(png + 12, "IHDR", 4) == 0);
        EXPECT_EQ(png[25], entry.alpha ? 6 : 2) << "colour type of the stored PNG";
        if (!entry.alpha) {
            for (DWORD pixel : skintest::ImagePixels(image.get()))
                ASSERT_EQ(Alpha(pixel), 255) << "an opaque image is opaque everywhere";
        }
    }
}

TEST(SkinImages, HoverLooksDifferClearlyFromNormalLooks)
{
    test::ThreadManager manager;
    // Pairs of normal and hover images, and the two frames of each link strip.
    const std::pair<int, int> pairs[] = {{131, 155}, {132, 151}, {133, 152}, {134, 156}, {130, 153},
                                         {135, 154}, {209, 210}, {211, 212}, {213, 214}, {215, 216},
                                         {196, 208}, {218, 219}, {144, 146}, {147, 148}};
    auto differing = [](const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
        size_t n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
            const DWORD x = a[i], y = b[i];
            const int distance = abs(skintest::Red(x) - skintest::Red(y)) +
                                 abs(skintest::Green(x) - skintest::Green(y)) +
                                 abs(skintest::Blue(x) - skintest::Blue(y)) + abs(Alpha(x) - Alpha(y));
            n += distance > 60;
        }
        return n;
    };
    for (auto [normal, hover] : pairs) {
        SCOPED_TRACE(std::to_string(normal) + " / " + std::to_string(hover));
        auto a = LoadPngResource(normal);
        auto b = LoadPngResource(hover);
        ASSERT_TRUE(a && b);
        const auto pa = skintest::ImagePixels(a.get());
        EXPECT_GT(differing(pa, skintest::ImagePixels(b.get())), pa.size() / 5);
    }
    for (int strip = 138; strip <= 141; ++strip) {
        SCOPED_TRACE("strip " + std::to_string(strip));
        auto image = LoadPngResource(strip);
        ASSERT_NE(image, nullptr);
        auto left = CropImage(image.get(), 0, 41, 22);
        auto right = CropImage(image.get(), 41, 41, 22);
        EXPECT_GT(differing(skintest::ImagePixels(left.get()), skintest::ImagePixels(right.get())), 41u * 22u / 5);
    }
}

TEST(SkinImages, LauncherArtworkIsTransparentAroundAndOpaqueOverThePageArea)
{
    test::ThreadManager manager;
    auto image = LoadPngResource(145);
    ASSERT_NE(image, nullptr);
    const auto pixels = skintest::ImagePixels(image.get());
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * 1154 + x]; };
    for (POINT corner : {POINT{0, 0}, POINT{1153, 0}, POINT{0, 703}, POINT{1153, 703}})
        EXPECT_EQ(Alpha(at(corner.x, corner.y)), 0) << corner.x << "," << corner.y;
    // The page of 600 x 386 at (377, 208) lies on an opaque dark panel.
    int partial = 0;
    for (int y = 208; y < 208 + 386; y += 5) {
        for (int x = 377; x < 377 + 600; x += 5) {
            const DWORD p = at(x, y);
            ASSERT_EQ(Alpha(p), 255) << x << "," << y;
            ASSERT_LT(skintest::Red(p) + skintest::Green(p) + skintest::Blue(p), 3 * 64) << "dark at " << x << "," << y;
        }
    }
    for (DWORD p : pixels)
        partial += Alpha(p) > 0 && Alpha(p) < 255;
    EXPECT_GT(partial, 1000) << "the outline fades out softly";
}

TEST(SkinImages, MissingOrZeroIdGivesNoImage)
{
    test::ThreadManager manager;
    EXPECT_EQ(LoadPngResource(0), nullptr);
    EXPECT_EQ(LoadPngResource(4242), nullptr);
    EXPECT_EQ(DecodePngResource(4242), nullptr);
}

TEST(SkinImages, DamagedPackedPixelsGiveNoImage)
{
    test::ThreadManager manager;
    const std::vector<BYTE> packed = PackedResource(142);
    ASSERT_GT(packed.size(), 16u);
    auto whole = UnpackSkinPixels(packed.data(), static_cast<DWORD>(packed.size()));
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(PremultipliedPixels(whole.get()), PremultipliedPixels(LoadPngResource(142).get()));

    auto damaged = [&](const char* what, auto change, DWORD size) {
        std::vector<BYTE> copy = packed;
        change(copy);
        EXPECT_EQ(UnpackSkinPixels(copy.data(), size), nullptr) << what;
    };
    const DWORD size = static_cast<DWORD>(packed.size());
    auto field = [](std::vector<BYTE>& bytes, size_t at, UINT32 value) { std::memcpy(&bytes[at], &value, 4); };
    damaged(
        "cut short", [](std::vector<BYTE>&) {}, size / 2);
    damaged(
        "only the header", [](std::vector<BYTE>&) {}, 16);
    damaged(
        "another tag", [](std::vector<BYTE>& b) { b[0] = 'X'; }, size);
    damaged(
        "taller than its pixels", [&](std::vector<BYTE>& b) { field(b, 8, 191); }, size);
    damaged(
        "narrower than its pixels", [&](std::vector<BYTE>& b) { field(b, 4, 147); }, size);
    // Short of the stream by less than a chunk (its last one compressed): the
    // system's unpacker would fill the image and stop without a word.
    damaged(
        "a row short", [&](std::vector<BYTE>& b) { field(b, 8, 189); }, size);
    damaged(
        "a column short", [&](std::vector<BYTE>& b) { field(b, 4, 294); }, size);
    damaged(
        "no rows", [&](std::vector<BYTE>& b) { field(b, 8, 0); }, size);
    damaged(
        "absurdly wide", [&](std::vector<BYTE>& b) { field(b, 4, 0x40000000); }, size);
    damaged(
        "unknown flags", [&](std::vector<BYTE>& b) { field(b, 12, 2); }, size);
    damaged(
        "a broken chunk header", [](std::vector<BYTE>& b) { b[16] = 0xFF, b[17] = 0xBF; }, size);
    EXPECT_EQ(UnpackSkinPixels(nullptr, size), nullptr);
}

TEST(SkinImages, NoiseIsStoredAsItIsAndAHeaderThatDoesNotMatchItsStreamGivesWayToThePng)
{
    test::ThreadManager manager;
    // 84 x 24 RGB noise: 8064 bytes of pixels, a whole chunk and a short one,
    // both longer compressed than they are.
    const std::vector<BYTE> packed = PackedResource(4150);
    ASSERT_EQ(packed.size(), 16 + 2 + 4096 + 2 + 3968u);
    auto chunkHeader = [&](size_t at) { return packed[at] | (packed[at + 1] << 8); };
    EXPECT_EQ(chunkHeader(16), 0x3000 | 4095) << "stored";
    EXPECT_EQ(chunkHeader(16 + 2 + 4096), 0x3000 | 3967) << "stored, holding what is left";

    auto unpacked = UnpackSkinPixels(packed.data(), static_cast<DWORD>(packed.size()));
    auto* skin = dynamic_cast<CSkinBitmap*>(unpacked.get());
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->PixelWidth(), 84);
    ASSERT_EQ(skin->PixelHeight(), 24);
    EXPECT_EQ(skin->GetPixelFormat(), static_cast<Gdiplus::PixelFormat>(PixelFormat32bppRGB)) << "opaque";
    auto decoded = DecodePngResource(4150);
    ASSERT_NE(decoded, nullptr);
    const std::vector<DWORD> png = skintest::ImagePixels(decoded.get());
    ASSERT_EQ(png.size(), 84u * 24);
    std::vector<DWORD> bits(png.size());
    std::memcpy(bits.data(), skin->Bits(), bits.size() * 4);
    EXPECT_EQ(bits, png) << "every byte as the PNG has it";
    auto loaded = LoadPngResource(4150);
    EXPECT_NE(dynamic_cast<CSkinBitmap*>(loaded.get()), nullptr) << "shown from its packed pixels";

    // The same stream, its header a row or a column fewer or more; beside
    // each, the noise's PNG.
    const std::vector<DWORD> expected = PremultipliedPixels(unpacked.get());
    const std::pair<int, const char*> cases[] = {
        {4151, "a row short"}, {4152, "a row long"}, {4153, "a column short"}, {4154, "a column long"}};
    for (auto [id, what] : cases) {
        SCOPED_TRACE(what);
        const std::vector<BYTE> damaged = PackedResource(id);
        ASSERT_EQ(damaged.size(), packed.size());
        EXPECT_EQ(UnpackSkinPixels(damaged.data(), static_cast<DWORD>(damaged.size())), nullptr);
        auto image = LoadPngResource(id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(dynamic_cast<CSkinBitmap*>(image.get()), nullptr) << "decoded from the PNG";
        EXPECT_EQ(image->GetWidth(), 84u);
        EXPECT_EQ(image->GetHeight(), 24u);
        EXPECT_EQ(PremultipliedPixels(image.get()), expected) << "the picture itself, not sheared";
    }
}

TEST(SkinImages, ColoursATransparencyChunkMakesSeeThroughStaySeeThrough)
{
    test::ThreadManager manager;
    // Premultiplied 0xAARRGGBB, row by row, as make-skin-fixtures.py draws them.
    const DWORD red = 0xFFFF0000, none = 0, halfBlue = 0x80000080, green = 0xFF00FF00, grey = 0xFF0A141E;
    const std::pair<int, std::vector<DWORD>> cases[] = {
        {4155, {red, none, halfBlue, green, green, halfBlue, none, red}}, // palette, tRNS per entry
        {4156, {red, none, grey, none, grey, none}},                      // RGB, tRNS names white
    };
    for (const auto& [id, pixels] : cases) {
        SCOPED_TRACE("PNG " + std::to_string(id));
        const std::vector<BYTE> packed = PackedResource(id);
        ASSERT_GT(packed.size(), 16u);
        UINT32 flags = ~0u;
        std::memcpy(&flags, &packed[12], 4);
        EXPECT_EQ(flags, 0u) << "not marked opaque";
        auto image = LoadPngResource(id);
        ASSERT_NE(dynamic_cast<CSkinBitmap*>(image.get()), nullptr) << "shown from its packed pixels";
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(image->GetPixelFormat()))
            << "pixel format 0x" << std::hex << image->GetPixelFormat();
        EXPECT_EQ(PremultipliedPixels(image.get()), pixels);
        // The PNG decode, which stands in when the packed pixels cannot be
        // used, shows the same.
        auto decoded = DecodePngResource(id);
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(Differing(PremultipliedPixels(decoded.get()), pixels), 0u);
    }
}

TEST(SkinImages, CropCopiesTheRequestedColumns)
{
    test::ThreadManager manager;
    auto strip = LoadPngResource(138);
    ASSERT_NE(strip, nullptr);
    const auto whole = skintest::ImagePixels(strip.get());
    auto right = CropImage(strip.get(), 41, 41, 22);
    ASSERT_NE(right, nullptr);
    EXPECT_EQ(right->GetWidth(), 41u);
    EXPECT_EQ(right->GetHeight(), 22u);
    EXPECT_EQ(right->GetPixelFormat(), static_cast<Gdiplus::PixelFormat>(PixelFormat32bppPARGB));
    const auto cut = skintest::ImagePixels(right.get());
    int equal = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 41; ++x)
            equal += cut[y * 41 + x] == whole[y * 82 + 41 + x];
    EXPECT_EQ(equal, 41 * 22) << "the right frame is a pixel-exact copy";
}

namespace {
// A kernel handle, closed once.
class OwnedHandle {
public:
    explicit OwnedHandle(HANDLE handle) : m_handle(handle) {}
    ~OwnedHandle()
    {
        if (m_handle)
            CloseHandle(m_handle);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

// A thread that decodes for a preload; it is waited for (boundedly) before
// the preload goes, however the test ends.
class DecodingThread {
public:
    explicit DecodingThread(SkinPreload& preload) : m_thread(CreateThread(nullptr, 0, Run, &preload, 0, &m_id)) {}
    ~DecodingThread()
    {
        if (m_thread) {
            WaitForSingleObject(m_thread, 20000);
            CloseHandle(m_thread);
        }
    }
    DecodingThread(const DecodingThread&) = delete;
    DecodingThread& operator=(const DecodingThread&) = delete;
    bool Started() const { return m_thread != nullptr; }
    DWORD Id() const { return m_id; }
    bool Ended(DWORD milliseconds) const { return WaitForSingleObject(m_thread, milliseconds) == WAIT_OBJECT_0; }

private:
    static DWORD WINAPI Run(LPVOID preload)
    {
        static_cast<SkinPreload*>(preload)->Decode();
        return 0;
    }
    DWORD m_id = 0;
    HANDLE m_thread;
};

// Which thread decoded each image, what it made, and how often.
struct DecodeLog {
    struct Decode {
        int id;
        DWORD thread;
        Gdiplus::Image* image;
    };
    std::mutex lock;
    std::vector<Decode> decodes;

    std::vector<Decode> Of(int id)
    {
        std::lock_guard<std::mutex> hold(lock);
        std::vector<Decode> found;
        for (const Decode& d : decodes)
            if (d.id == id)
                found.push_back(d);
        return found;
    }
};
} // namespace

TEST(SkinImages, PreloadedImagesAreSharedOutAmongThreadsAndHandedOverOnce)
{
    test::ThreadManager manager;
    const DWORD taker = GetCurrentThreadId();
    OwnedHandle begun(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OwnedHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(begun.Get() && release.Get());
    DecodeLog log;
    // The helper begins the first image and holds on to it until this thread
    // has decoded the rest, so that Take must wait for the helper's image.
    SkinPreload preload({145, 131, 155, 130, 4242}, [&](int id) {
        std::unique_ptr<Gdiplus::Image> image = LoadPngResource(id);
        {
            std::lock_guard<std::mutex> hold(log.lock);
            log.decodes.push_back({id, GetCurrentThreadId(), image.get()});
        }
        if (GetCurrentThreadId() != taker) {
            SetEvent(begun.Get());
            WaitForSingleObject(release.Get(), 10000);
        } else if (id == 4242) {
            SetEvent(release.Get());
        }
        return image;
    });
    DecodingThread helper(preload);
    ASSERT_TRUE(helper.Started());
    ASSERT_EQ(WaitForSingleObject(begun.Get(), 10000), WAIT_OBJECT_0) << "the helper began an image";

    std::unique_ptr<Gdiplus::Image> launcher = preload.Take(145);
    EXPECT_TRUE(helper.Ended(10000)) << "the helper stops when nothing is left";
    ASSERT_NE(launcher, nullptr);
    const auto first = log.Of(145);
    ASSERT_EQ(first.size(), 1u) << "decoded once, by the helper alone";
    EXPECT_EQ(first[0].thread, helper.Id());
    EXPECT_EQ(launcher.get(), first[0].image) << "Take hands over the helper's very image";
    EXPECT_EQ(launcher->GetWidth(), 1154u);
    EXPECT_EQ(launcher->GetPixelFormat(), static_cast<Gdiplus::PixelFormat>(PixelFormat32bppPARGB))
        << "premultiplied, as LoadPngResource makes it";
    for (int id : {131, 155, 130}) {
        SCOPED_TRACE(id);
        std::unique_ptr<Gdiplus::Image> image = preload.Take(id);
        const auto decodes = log.Of(id);
        ASSERT_EQ(decodes.size(), 1u);
        EXPECT_EQ(decodes[0].thread, taker) << "what nobody had begun is decoded by the taker";
        EXPECT_EQ(image.get(), decodes[0].image);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(skintest::ImagePixels(image.get()), skintest::ImagePixels(LoadPngResource(id).get()));
    }
    EXPECT_EQ(preload.Take(4242), nullptr) << "a missing image stays missing";
    // Taken already, or never asked for: decoded by the taker then and there.
    std::unique_ptr<Gdiplus::Image> again = preload.Take(145);
    ASSERT_NE(again, nullptr);
    const auto twice = log.Of(145);
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_EQ(twice[1].thread, taker);
    EXPECT_EQ(again.get(), twice[1].image);
    EXPECT_NE(preload.Take(132), nullptr);
    EXPECT_EQ(log.Of(132).size(), 1u);

    // Nobody else ever decodes: the first Take does it all, without waiting.
    SkinPreload alone({131, 132});
    EXPECT_NE(alone.Take(132), nullptr);
    EXPECT_NE(alone.Take(131), nullptr);
}

TEST(SkinImages, IconGroupOffersTheSizesTheWindowsAskFor)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(128), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    // The group's entries (after a 6-byte header, 14 bytes each, the width
    // first; 0 stands for 256): one for each size the title bar, task bar,
    // Alt+Tab and tray ask for at 100 % to 200 %, and 256 for Explorer.
    std::vector<int> held;
    const int count = directory[4] | (directory[5] << 8);
    for (int i = 0; i < count; ++i)
        held.push_back(directory[6 + 14 * i] ? directory[6 + 14 * i] : 256);
    std::sort(held.begin(), held.end());
    const std::vector<int> sizes = {16, 20, 24, 32, 40, 48, 64, 256};
    EXPECT_EQ(held, sizes);
    for (int size : sizes) {
        const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        ASSERT_GT(id, 0) << size;
        // Picked for the size is the entry drawn at that size.
        for (int i = 0; i < count; ++i) {
            if ((directory[6 + 14 * i + 12] | (directory[6 + 14 * i + 13] << 8)) == id) {
                EXPECT_EQ(directory[6 + 14 * i] ? directory[6 + 14 * i] : 256, size);
            }
        }
        HRSRC entry = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
        HICON icon =
            CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(module, entry))),
                                     SizeofResource(module, entry), TRUE, 0x30000, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

namespace {
// A plain GDI+ bitmap with the same pixels: what GDI+ alone draws.
std::unique_ptr<Gdiplus::Bitmap> PlainCopy(Gdiplus::Image* image)
{
    auto* bitmap = static_cast<Gdiplus::Bitmap*>(image);
    return std::unique_ptr<Gdiplus::Bitmap>(bitmap->Clone(0, 0, static_cast<INT>(image->GetWidth()),
                                                          static_cast<INT>(image->GetHeight()), PixelFormat32bppPARGB));
}

// "" when every channel of every pixel is within one step, else how many are not.
std::string Differences(const skintest::PixelSurface& a, const skintest::PixelSurface& b)
{
    GdiFlush();
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                if (std::abs(static_cast<int>((a.At(x, y) >> shift) & 0xFF) -
                             static_cast<int>((b.At(x, y) >> shift) & 0xFF)) > 1) {
                    ++count;
                    break;
                }
    return count ? std::to_string(count) + " pixels differ" : "";
}

void Fill(skintest::PixelSurface& surface, DWORD argb)
{
    auto g = surface.Graphics();
    g->Clear(Gdiplus::Color(argb));
}
} // namespace

TEST(SkinImages, BlendedThroughGdiTheyShowWhatGdiPlusShows)
{
    test::ThreadManager manager;
    // A title-bar glyph with soft edges, at its own size through a moved
    // Graphics (as a paint pass's), over a half-transparent background.
    std::unique_ptr<Gdiplus::Image> glyph = LoadPngResource(210);
    ASSERT_NE(dynamic_cast<CSkinBitmap*>(glyph.get()), nullptr) << "skin images are blended through GDI";
    const auto plain = PlainCopy(glyph.get());
    skintest::PixelSurface fast(40, 40), slow(40, 40);
    for (skintest::PixelSurface* s : {&fast, &slow})
        Fill(*s, 0x80336699);
    {
        auto g = fast.Graphics();
        g->TranslateTransform(-3.0f, -2.0f);
        EXPECT_TRUE(BlendSkinBitmap(*g, glyph.get(), 10, 9, 0, 0, 25, 25));
        EXPECT_FALSE(BlendSkinBitmap(*g, plain.get(), 10, 9, 0, 0, 25, 25)) << "not a skin bitmap";
        EXPECT_FALSE(BlendSkinBitmap(*g, glyph.get(), 10, 9, 1, 0, 25, 25)) << "a part outside the image";
        g->ScaleTransform(2.0f, 2.0f);
        EXPECT_FALSE(BlendSkinBitmap(*g, glyph.get(), 10, 9, 0, 0, 25, 25)) << "a scaled Graphics";
    }
    {
        auto g = slow.Graphics();
        g->TranslateTransform(-3.0f, -2.0f);
        g->DrawImage(plain.get(), 10, 9, 25, 25);
    }
    EXPECT_EQ(Differences(fast, slow), "");

    // A stretched image with soft edges, drawn through its kept stretched
    // copy, whole and in parts clipped as a pass clips them, against GDI+
    // stretching it.
    CImageStatic stretch;
    stretch.image = LoadPngResource(210);
    stretch.stretchEdgeSafe = true;
    stretch.rect = RECT{0, 0, 300, 75};
    skintest::PixelSurface kept(300, 75), parts(300, 75), stretched(300, 75);
    for (skintest::PixelSurface* s : {&kept, &parts, &stretched})
        Fill(*s, 0xFF336699); // as a window's pass, which fills its background first
    {
        auto g = kept.Graphics();
        stretch.Draw(*g, RECT{});
    }
    for (const RECT& part :
         {RECT{0, 0, 140, 75}, RECT{140, 0, 299, 40}, RECT{140, 40, 300, 75}, RECT{299, 0, 300, 40}}) {
        IntersectClipRect(parts.DC(), part.left, part.top, part.right, part.bottom);
        auto g = parts.Graphics();
        stretch.Draw(*g, RECT{});
        g.reset();
        SelectClipRgn(parts.DC(), nullptr);
    }
    {
        auto g = stretched.Graphics();
        Gdiplus::ImageAttributes attributes;
        attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY, Gdiplus::Color(0xFF000000), FALSE);
        g->DrawImage(stretch.image.get(), Gdiplus::Rect(0, 0, 300, 75), 0, 0, 25, 25, Gdiplus::UnitPixel, &attributes);
    }
    EXPECT_EQ(Differences(kept, stretched), "");
    EXPECT_EQ(Differences(parts, stretched), "");

    // Another image in its place is shown, not the kept copy of the old one.
    auto red = CSkinBitmap::Make(4, 4);
    ASSERT_NE(red, nullptr);
    {
        Gdiplus::Graphics g(red.get());
        g.Clear(Gdiplus::Color(0xFFFF0000));
    }
    const std::shared_ptr<Gdiplus::Image> old = stretch.image; // still alive elsewhere
    stretch.image = std::move(red);
    {
        auto g = kept.Graphics();
        stretch.Draw(*g, RECT{});
    }
    GdiFlush();
    EXPECT_EQ(kept.At(150, 12), 0xFFFF0000u);
}
