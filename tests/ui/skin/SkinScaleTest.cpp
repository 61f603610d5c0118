// The skin images for displays of more than 96 DPI: at the exact size the
// windows give them there, the sets drawn at 150 % and 200 % where the DPI is
// theirs, and those sets reduced in between, never the 100 % image enlarged.

#include "SkinTestSupport.h"
#include "ui/skin/CSkinBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// Premultiplied pixels, 0xAARRGGBB, row by row, of an image made of frames
// equal frames side by side.
struct Pixels {
    int width = 0;
    int height = 0;
    int frames = 1;
    std::vector<DWORD> argb;

    int Channel(int x, int y, int shift) const
    {
        return static_cast<int>((argb[static_cast<size_t>(y) * width + x] >> shift) & 0xFF);
    }
};

Pixels PixelsOf(Gdiplus::Image* image, int frames)
{
    Pixels p;
    auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(image);
    if (!bitmap)
        return p;
    p.width = static_cast<int>(bitmap->GetWidth());
    p.height = static_cast<int>(bitmap->GetHeight());
    p.frames = frames;
    p.argb.resize(static_cast<size_t>(p.width) * p.height);
    Gdiplus::BitmapData rows = {};
    rows.Width = static_cast<UINT>(p.width);
    rows.Height = static_cast<UINT>(p.height);
    rows.Stride = p.width * 4;
    rows.PixelFormat = PixelFormat32bppPARGB;
    rows.Scan0 = p.argb.data();
    Gdiplus::Rect all(0, 0, p.width, p.height);
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                         &rows) != Gdiplus::Ok)
        return Pixels{};
    bitmap->UnlockBits(&rows);
    return p;
}

// The PNG resource of this id and type, decoded on its own.
Pixels DecodedResource(int id, const wchar_t* type, int frames)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    const void* bytes = found ? LockResource(LoadResource(module, found)) : nullptr;
    if (!bytes)
        return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(copy), bytes, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream)))
        return {};
    Pixels p;
    {
        Gdiplus::Bitmap bitmap(stream, FALSE);
        p = PixelsOf(&bitmap, frames);
    }
    stream->Release();
    return p;
}

// Each frame brought to its share of width x height: bilinear when enlarged,
// the average of the covered area when reduced.
Pixels Resampled(const Pixels& from, int width, int height)
{
    Pixels to;
    to.width = width;
    to.height = height;
    to.frames = from.frames;
    to.argb.resize(static_cast<size_t>(width) * height);
    const int fromFrame = from.width / from.frames, toFrame = width / from.frames;
    const double sx = static_cast<double>(fromFrame) / toFrame, sy = static_cast<double>(from.height) / height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int frame = x / toFrame, fx = x % toFrame;
            double sum[4] = {};
            if (sx < 1.0 && sy < 1.0) {
                const double u = std::clamp((fx + 0.5) * sx - 0.5, 0.0, fromFrame - 1.0);
                const double v = std::clamp((y + 0.5) * sy - 0.5, 0.0, from.height - 1.0);
                const int u0 = static_cast<int>(u), v0 = static_cast<int>(v);
                const int u1 = std::min(u0 + 1, fromFrame - 1), v1 = std::min(v0 + 1, from.height - 1);
                const double a = u - u0, b = v - v0;
                for (int c = 0; c < 4; ++c) {
                    auto at = [&](int ux, int vy) { return from.Channel(frame * fromFrame + ux, vy, c * 8); };
                    sum[c] =
                        (at(u0, v0) * (1 - a) + at(u1, v0) * a) * (1 - b) + (at(u0, v1) * (1 - a) + at(u1, v1) * a) * b;
                }
            } else {
                const double x0 = fx * sx, x1 = x0 + sx, y0 = y * sy, y1 = y0 + sy;
                double area = 0;
                for (int vy = static_cast<int>(y0); vy < y1 && vy < from.height; ++vy) {
                    const double h = std::min(y1, vy + 1.0) - std::max(y0, static_cast<double>(vy));
                    for (int ux = static_cast<int>(x0); ux < x1 && ux < fromFrame; ++ux) {
                        const double w = (std::min(x1, ux + 1.0) - std::max(x0, static_cast<double>(ux))) * h;
                        area += w;
                        for (int c = 0; c < 4; ++c)
                            sum[c] += w * from.Channel(frame * fromFrame + ux, vy, c * 8);
                    }
                }
                for (double& s : sum)
                    s /= area;
            }
            DWORD pixel = 0;
            for (int c = 0; c < 4; ++c)
                pixel |= static_cast<DWORD>(std::lround(sum[c])) << (c * 8);
            to.argb[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    return to;
}

// How far two images of one size are apart: the mean difference of a channel,
// and the share of pixels with a channel more than 48 apart (sharp edges).
struct Apart {
    double mean = 1e9;
    double farShare = 1.0;
};

Apart Compare(const Pixels& a, const Pixels& b)
{
    if (a.width != b.width || a.height != b.height || a.argb.empty())
        return {};
    double total = 0;
    size_t distant = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            int largest = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const int d = std::abs(a.Channel(x, y, shift) - b.Channel(x, y, shift));
                total += d;
                largest = std::max(largest, d);
            }
            distant += largest > 48;
        }
    }
    const double n = static_cast<double>(a.argb.size());
    return {total / (4 * n), distant / n};
}

std::string Describe(const Apart& apart)
{
    return "mean " + std::to_string(apart.mean) + ", far " + std::to_string(apart.farShare * 100) + " %";
}
} // namespace

TEST(SkinScales, EachDpiGetsItsExactSizeFromTheDrawingsNotFromTheImageAt100)
{
    test::ThreadManager manager;
    struct Case {
        int id;
        int frames;
    };
    // A title-bar glyph button, a link strip of two frames, the launcher artwork.
    for (Case c : {Case{210, 1}, Case{138, 2}, Case{145, 1}}) {
        SCOPED_TRACE("PNG " + std::to_string(c.id));
        auto at100 = LoadPngResource(c.id);
        ASSERT_NE(at100, nullptr);
        const Pixels base = PixelsOf(at100.get(), c.frames);
        const Pixels drawn150 = DecodedResource(c.id, L"PNG150", c.frames);
        const Pixels drawn200 = DecodedResource(c.id, L"PNG200", c.frames);
        ASSERT_FALSE(drawn150.argb.empty() || drawn200.argb.empty()) << "drawn at 150 % and 200 %";
        for (int dpi : {96, 120, 144, 192}) {
            SCOPED_TRACE("dpi " + std::to_string(dpi));
            auto image = LoadPngResource(c.id, dpi);
            ASSERT_NE(image, nullptr);
            EXPECT_NE(dynamic_cast<CSkinBitmap*>(image.get()), nullptr) << "blended the fast way";
            EXPECT_EQ(image->GetPixelFormat(), at100->GetPixelFormat()) << "premultiplied, opaque as at 100 %";
            // Each frame is scaled on its own: 2 x 41 is 2 x 51 wide at 120 DPI, not 103.
            const int width = c.frames * MulDiv(base.width / c.frames, dpi, 96);
            const int height = MulDiv(base.height, dpi, 96);
            ASSERT_EQ(image->GetWidth(), static_cast<UINT>(width));
            ASSERT_EQ(image->GetHeight(), static_cast<UINT>(height));
            const Pixels shown = PixelsOf(image.get(), c.frames);
            const Pixels enlarged = Resampled(base, width, height);
            if (dpi == 96) {
                EXPECT_TRUE(shown.argb == base.argb) << "as without a DPI";
                continue;
            }
            if (dpi == 120) {
                // The drawing at 150 % reduced (by another filter here), nearer
                // to it than to the image at 100 % enlarged.
                const Apart reduced = Compare(shown, Resampled(drawn150, width, height));
                const Apart fromBase = Compare(shown, enlarged);
                EXPECT_LT(reduced.mean, 3.0) << Describe(reduced);
                EXPECT_LT(reduced.mean, fromBase.mean) << Describe(reduced) << " / " << Describe(fromBase);
                continue;
            }
            const Pixels& drawn = dpi == 144 ? drawn150 : drawn200;
            EXPECT_TRUE(shown.argb == drawn.argb) << "the drawn set itself";
            // A drawing of its own: its edges are sharper than the 100 %
            // image's enlarged, yet reduced to 100 % it is that very picture
            // (another glyph of the title bar is 34 apart, a hover look from
            // its normal one 80 and more).
            const Apart fromBase = Compare(drawn, enlarged);
            EXPECT_GT(fromBase.farShare, 0.005) << Describe(fromBase);
            const Apart back = Compare(Resampled(drawn, base.width, base.height), base);
            EXPECT_LT(back.mean, 10.0) << Describe(back);
        }
    }

    // The page area of the launcher lies on its dark panel at every scale:
    // (377, 208) 600 x 386 at 100 % is (566, 312) 900 x 579 at 150 %.
    for (int dpi : {144, 192}) {
        SCOPED_TRACE("launcher at dpi " + std::to_string(dpi));
        const Pixels art = PixelsOf(LoadPngResource(145, dpi).get(), 1);
        ASSERT_FALSE(art.argb.empty());
        const int left = MulDiv(377, dpi, 96), top = MulDiv(208, dpi, 96);
        const int right = left + MulDiv(600, dpi, 96), bottom = top + MulDiv(386, dpi, 96);
        for (int y = top; y < bottom; ++y)
            for (int x : {left, left + 1, (left + right) / 2, right - 2, right - 1})
                ASSERT_EQ(art.Channel(x, y, 24), 255) << x << "," << y;
        for (int x = left; x < right; ++x)
            for (int y : {top, bottom - 1})
                ASSERT_LT(art.Channel(x, y, 16) + art.Channel(x, y, 8) + art.Channel(x, y, 0), 3 * 64)
                    << "dark at " << x << "," << y;
        // Its gold frame, 2 pixels outside it at 100 %, scaled along.
        EXPECT_GT(art.Channel(MulDiv(375, dpi, 96), (top + bottom) / 2, 16), 120) << "left of the page";
        EXPECT_GT(art.Channel((left + right) / 2, MulDiv(206, dpi, 96), 16), 120) << "above the page";
    }

    // Where a drawn set is missing the next larger one stands in; an image
    // drawn at 100 % only comes at its own size, for its window to stretch.
    auto fromLarger = LoadPngResource(4160, 144);
    ASSERT_NE(fromLarger, nullptr);
    EXPECT_EQ(fromLarger->GetWidth(), 38u);
    const Pixels only200 = DecodedResource(4160, L"PNG200", 1);
    const Apart reduced = Compare(PixelsOf(fromLarger.get(), 1), Resampled(only200, 38, 38));
    EXPECT_LT(reduced.mean, 3.0) << Describe(reduced);
    auto alone = LoadPngResource(4141, 144);
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->GetWidth(), 41u);
    EXPECT_EQ(alone->GetHeight(), 22u);
    EXPECT_EQ(LoadPngResource(4242, 144), nullptr);
}
