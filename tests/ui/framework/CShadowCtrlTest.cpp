// The drop shadow window: a layered tool window whose pushed image holds three
// grey rounded outlines of alpha 15, 50 and 100 and is clear inside.

#include "support/TestSupport.h"
#include "ui/framework/CShadowCtrl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Push {
    SIZE size = {};
    BYTE constantAlpha = 0;
    DWORD flags = 0;
    std::vector<DWORD> pixels; // top-down, premultiplied 0xAARRGGBB
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * size.cx + x]; }
};
std::vector<Push> g_pushes;

// Records what the shadow hands to UpdateLayeredWindow, then passes it on.
BOOL WINAPI RecordPush(HWND hwnd, HDC screen, POINT* destination, SIZE* size, HDC source, POINT* sourcePoint,
                       COLORREF key, BLENDFUNCTION* blend, DWORD flags)
{
    Push push;
    push.size = *size;
    push.constantAlpha = blend->SourceConstantAlpha;
    push.flags = flags;
    GdiFlush();
    DIBSECTION dib = {};
    if (GetObjectW(GetCurrentObject(source, OBJ_BITMAP), sizeof(dib), &dib) == sizeof(dib)) {
        const int w = dib.dsBm.bmWidth, h = dib.dsBm.bmHeight;
        const auto* bits = static_cast<const DWORD*>(dib.dsBm.bmBits);
        for (int y = 0; y < h; ++y) {
            const DWORD* row = bits + static_cast<size_t>(dib.dsBmih.biHeight > 0 ? h - 1 - y : y) * w;
            push.pixels.insert(push.pixels.end(), row, row + w);
        }
    }
    g_pushes.push_back(push);
    return FindUpdateLayeredWindow()(hwnd, screen, destination, size, source, sourcePoint, key, blend, flags);
}

int AlphaOf(DWORD p) { return static_cast<int>(p >> 24); }

class ShadowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_pushes.clear();
        // As an owner of 96 x 200 at (100, 100) places it: 6 pixels larger on every side.
        ASSERT_TRUE(shadow.Create(0, nullptr, nullptr, WS_POPUP | WS_VISIBLE, 100, 100, 0, 0, nullptr));
        MoveWindow(shadow.m_hWnd, 94, 94, 108, 212, TRUE);
        ASSERT_NE(shadow.m_updateLayeredWindow, nullptr);
        shadow.m_updateLayeredWindow = &RecordPush;
    }
    void TearDown() override
    {
        if (shadow.m_hWnd)
            DestroyWindow(shadow.m_hWnd);
        g_pushes.clear();
    }
    test::ThreadManager manager;
    CShadowCtrl shadow;
};
} // namespace

TEST_F(ShadowTest, IsALayeredToolWindow)
{
    EXPECT_STREQ(shadow.m_className, L"ShadowCtrl");
    const LONG exStyle = GetWindowLongW(shadow.m_hWnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW) << "never a taskbar button";
    EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongW(shadow.m_hWnd, GWL_STYLE) & WS_CLIPCHILDREN);
}

TEST_F(ShadowTest, OutlinesHaveTheThreePensAlphaAndTheInsideIsClear)
{
    shadow.UpdateShadow(255);
    ASSERT_EQ(g_pushes.size(), 1u);
    const Push& push = g_pushes[0];
    ASSERT_EQ(push.size.cx, 108);
    ASSERT_EQ(push.size.cy, 212);
    EXPECT_EQ(push.constantAlpha, 255);
    EXPECT_EQ(push.flags, static_cast<DWORD>(ULW_ALPHA));

    // Across each edge, from the outside in: the outer pen (alpha 15, 2 wide),
    // the middle pen (50, 2 wide), the inner pen (100, 4 wide), then nothing.
    // The outlines run 1, 3 and 6 pixels inside the left and top edges and 2, 4
    // and 7 inside the right and bottom edges.
    const int profile[] = {15, 15, 50, 50, 100, 100, 100, 100, 0, 0};
    const int y = 106, x = 54;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE("pixel " + std::to_string(i) + " from the edge");
        EXPECT_NEAR(AlphaOf(push.At(i, y)), profile[i], 3) << "left";
        EXPECT_NEAR(AlphaOf(push.At(x, i)), profile[i], 3) << "top";
        EXPECT_NEAR(AlphaOf(push.At(106 - i, y)), profile[i], 3) << "right";
        EXPECT_NEAR(AlphaOf(push.At(x, 210 - i)), profile[i], 3) << "bottom";
    }
    EXPECT_EQ(AlphaOf(push.At(107, y)), 0);
    EXPECT_EQ(AlphaOf(push.At(x, 211)), 0);

    // Grey: equal premultiplied channels, 138 * alpha / 255.
    const DWORD inner = push.At(5, 106);
    EXPECT_EQ((inner >> 16) & 0xFF, inner & 0xFF);
    EXPECT_NEAR(static_cast<int>(inner & 0xFF), 138 * AlphaOf(inner) / 255, 3);

    for (int yy = 10; yy < 202; ++yy)
        for (int x = 10; x < 98; ++x)
            ASSERT_EQ(push.At(x, yy), 0u) << "inside is fully transparent at " << x << "," << yy;
    EXPECT_LT(AlphaOf(push.At(0, 0)), 8) << "rounded corner";
}

TEST_F(ShadowTest, LightColoursAreALighterGrey)
{
    shadow.SetLightColors();
    shadow.UpdateShadow(255);
    ASSERT_EQ(g_pushes.size(), 1u);
    const DWORD inner = g_pushes[0].At(5, 106);
    EXPECT_NEAR(static_cast<int>(inner & 0xFF), 158 * AlphaOf(inner) / 255, 3);
}

TEST_F(ShadowTest, ShowingRendersAndHidingDoesNot)
{
    ShowWindow(shadow.m_hWnd, SW_HIDE);
    EXPECT_TRUE(g_pushes.empty());
    ShowWindow(shadow.m_hWnd, SW_SHOW);
    ASSERT_EQ(g_pushes.size(), 1u);
    EXPECT_EQ(g_pushes[0].constantAlpha, 255);
}

TEST_F(ShadowTest, ZeroSizedWindowPushesNothing)
{
    MoveWindow(shadow.m_hWnd, 94, 94, 0, 0, TRUE);
    shadow.UpdateShadow(255);
    EXPECT_TRUE(g_pushes.empty());
}
