// The real client at the display scales players use: Wine reports the DPI of
// HKCU\Control Panel\Desktop\LogPixels to every process started after it is
// set, and scales nothing itself, so what the windows measure is the client's
// own scaling. Each case runs in a throw-away prefix on a screen of its own.

#include "frames/ClientDriver.h"
#include "resources/resource.h"
#include "support/TestSupport.h"
#include "ui/framework/DpiScale.h"
#include "ui/skin/SkinImage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace drive;

namespace {

bool SetLogPixels(int dpi)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const DWORD value = static_cast<DWORD>(dpi);
    const bool set = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                    sizeof(value)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

RECT WorkArea()
{
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

// The screen's pixels where a picture drawn at its own size should be, beside
// the picture's: equal when it is that very picture, unstretched.
std::vector<DWORD> PicturePixels(Gdiplus::Bitmap& picture, int width, int height)
{
    std::vector<DWORD> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Gdiplus::Color c;
            picture.GetPixel(x, y, &c);
            pixels.push_back(c.GetValue() & 0xFFFFFF);
        }
    }
    return pixels;
}

std::vector<DWORD> Rgb(std::vector<DWORD> pixels)
{
    for (DWORD& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

class ScaledClient : public Client, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetLogPixels(GetParam()));
        Client::SetUp();
    }
    void TearDown() override
    {
        Client::TearDown();
        SetLogPixels(96);
    }
    // Title-bar glyphs: the centre of the one whose right edge is anchor
    // pixels (at 96 DPI) from the frame's right end.
    POINT GlyphCentre(const RECT& f, int anchor) const { return {f.right - s(anchor) - s(25) / 2, f.top + s(25) / 2}; }
    const DpiScale s{GetParam()};
    test::ThreadManager gdiplus;
};

} // namespace

// Every window of the client at the scale, from the launcher to the close
// question; at 96 DPI each length is what it has always been.
TEST_P(ScaledClient, EveryWindowIsLaidOutAtTheDisplayScale)
{
    const RECT work = WorkArea();
    const SIZE room = {work.right - work.left, work.bottom - work.top};
    // The launcher fits the work area: at the display's scale, or the
    // largest smaller one at which it does.
    const DpiScale fit(dpi::Fitting(GetParam(), {1154, 704}, room));
    const RECT l = WindowRect(launcher);
    EXPECT_EQ(l.right - l.left, fit(1154));
    EXPECT_EQ(l.bottom - l.top, fit(704));
    EXPECT_EQ(l.left, (room.cx - fit(1154)) / 2);
    EXPECT_EQ(l.top, (room.cy - fit(704)) / 2);
    const RECT page = WindowRect(frame);
    EXPECT_EQ(page.left - l.left, fit(377));
    EXPECT_EQ(page.top - l.top, fit(208));
    EXPECT_EQ(page.right - page.left, fit(600));
    EXPECT_EQ(page.bottom - page.top, fit(386));
    Screenshot((L"scale-" + std::to_wstring(GetParam()) + L"-launcher.png").c_str());

    ASSERT_TRUE(EnterGameView());
    const RECT f = WindowRect(frame);
    EXPECT_TRUE(test::PumpUntil([&] { return WindowRect(Page()).top == f.top + s(25); }, kTimeoutMs))
        << "the page starts below a title bar of " << s(25) << " pixels";
    // A link is its drawn picture at the scale, at its place: the left half
    // of its strip, unstretched.
    {
        auto strip = LoadPngResource(IDP_LINK_SERVICE, GetParam());
        ASSERT_NE(strip, nullptr);
        const int width = static_cast<int>(strip->GetWidth()) / 2;
        const int height = static_cast<int>(strip->GetHeight());
        EXPECT_EQ(width, s(41));
        EXPECT_EQ(height, s(22));
        const RECT at = {f.right - s(100) - s(41), f.top + s(2), f.right - s(100), f.top + s(2) + s(22)};
        auto* bitmap = static_cast<Gdiplus::Bitmap*>(strip.get());
        const std::vector<DWORD> expected = PicturePixels(*bitmap, width, height);
        EXPECT_TRUE(test::PumpUntil([&] { return Rgb(ScreenPixels(at)) == expected; }, kTimeoutMs))
            << "the 客服 link at " << at.left << "," << at.top;
    }
    Screenshot((L"scale-" + std::to_wstring(GetParam()) + L"-game-view.png").c_str());

    // The title-bar menu: twelve rows.
    const POINT menuGlyph = GlyphCentre(f, 71);
    HWND menu = OpenTitleMenu(menuGlyph.x, menuGlyph.y);
    ASSERT_NE(menu, nullptr);
    const RECT m = WindowRect(menu);
    EXPECT_EQ(m.right - m.left, s(176));
    EXPECT_EQ(m.bottom - m.top, 12 * s(24));
    Screenshot((L"scale-" + std::to_wstring(GetParam()) + L"-menu.png").c_str());
    ClickAt(f.left + s(400), f.top + s(300));
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(menu); }, kTimeoutMs));

    // The close question, answered 取消 where its button is drawn.
    const POINT closeGlyph = GlyphCentre(f, 1);
    ClickButtonAt(closeGlyph.x, closeGlyph.y);
    HWND confirm = WaitForVisible(L"zarvopellis");
    ASSERT_NE(confirm, nullptr);
    const RECT c = WindowRect(confirm);
    EXPECT_EQ(c.right - c.left, s(295));
    EXPECT_EQ(c.bottom - c.top, s(190));
    AnswerCloseQuestion(confirm, false);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindow(confirm); }, kTimeoutMs));
    MoveMouseTo(f.left + s(400), f.top + s(300));

    // Restored: the shadow's inset, and the minimum size.
    WaitForStillScreen();
    const POINT restoreGlyph = GlyphCentre(f, 25);
    ClickButtonAt(restoreGlyph.x, restoreGlyph.y);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsZoomed(frame); }, kTimeoutMs));
    SetWindowPos(frame, nullptr, work.left + 10, work.top + 10, 200, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    const LONG minWidth = std::min<LONG>(s(1020), room.cx);
    const LONG minHeight = std::min<LONG>(s(704), room.cy);
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            const RECT r = WindowRect(frame);
            return r.right - r.left == minWidth && r.bottom - r.top == minHeight;
        },
        kTimeoutMs))
        << "the minimum size is " << minWidth << " x " << minHeight;
    const RECT restored = WindowRect(frame);
    EXPECT_TRUE(test::PumpUntil(
        [&] {
            const RECT shadow = WindowRect(launcher);
            return shadow.left == restored.left - s(6) && shadow.top == restored.top - s(6) &&
                   shadow.right == restored.right + s(6) && shadow.bottom == restored.bottom + s(6);
        },
        kTimeoutMs))
        << "the shadow lies " << s(6) << " pixels around the frame";
    ASSERT_TRUE(RunFrameCommand(L"close"));
    EXPECT_TRUE(process.WaitForExit(kTimeoutMs));
}

#ifdef VORN_SCALE_SCREEN_1920
INSTANTIATE_TEST_SUITE_P(FullHdScreen, ScaledClient, ::testing::Values(144));
#else
INSTANTIATE_TEST_SUITE_P(LargeScreen, ScaledClient, ::testing::Values(96, 120, 144, 192));

#endif
