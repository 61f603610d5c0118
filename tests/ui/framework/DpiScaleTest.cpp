// The scale of the client's windows: lengths at 96 DPI through MulDiv, the
// launcher's fitting scale, and the way the process declares its awareness on
// each kind of system.

#include "ui/framework/DpiScale.h"

#include <gtest/gtest.h>

#include <string>

TEST(DpiScale, ScalesLengthsAndBoxesAndFindsTheLargestScaleThatFits)
{
    const DpiScale base;
    EXPECT_EQ(base(1154), 1154);
    EXPECT_EQ(DpiScale(0).Dpi(), 96) << "nothing known is 96 DPI";
    const DpiScale oneAndAHalf(144);
    EXPECT_EQ(oneAndAHalf(25), 38) << "halves round away from zero, as MulDiv does";
    EXPECT_EQ(DpiScale(120)(25), 31);
    EXPECT_EQ(DpiScale(192)(704), 1408);
    // A box keeps the scaled size of its picture, wherever its corner rounds to.
    const RECT box = oneAndAHalf.Box(1047, 185, 23, 23);
    EXPECT_EQ(box.left, 1571);
    EXPECT_EQ(box.top, 278);
    EXPECT_EQ(box.right - box.left, 35);
    EXPECT_EQ(box.bottom - box.top, 35);
    EXPECT_FLOAT_EQ(oneAndAHalf.FontPixels(9.0f), 18.0f);

    const SIZE launcher = {1154, 704};
    // 150 % on a 1920 x 1080 screen with a 40-pixel task bar: 1056 lines do not fit.
    EXPECT_EQ(dpi::Fitting(144, launcher, {1920, 1040}), 141);
    EXPECT_EQ(DpiScale(141)(704), 1034);
    EXPECT_EQ(dpi::Fitting(144, launcher, {1920, 1080}), 144);
    EXPECT_EQ(dpi::Fitting(120, launcher, {1366, 728}), 99);
    EXPECT_EQ(dpi::Fitting(192, launcher, {3840, 2120}), 192);
    EXPECT_EQ(dpi::Fitting(96, launcher, {1024, 600}), 96) << "never below 96 DPI";
    EXPECT_EQ(dpi::Fitting(144, launcher, {0, 0}), 96);
}

namespace {

// The calls a system has, each recording that it was made and answering as
// that system does.
struct System {
    std::string made;
    DWORD contextV2Error = 0; // 0: succeeds
    DWORD contextError = 0;
    bool hasContext = true;
    HRESULT perMonitor = S_OK;
    bool hasPerMonitor = true;
    bool hasSystem = true;

    dpi::AwarenessCalls Calls()
    {
        dpi::AwarenessCalls calls;
        if (hasContext)
            calls.setContext = [this](bool v2, DWORD* error) {
                made += v2 ? "v2 " : "v1 ";
                *error = v2 ? contextV2Error : contextError;
                return *error == 0;
            };
        if (hasPerMonitor)
            calls.setPerMonitor = [this] {
                made += "shcore ";
                return perMonitor;
            };
        if (hasSystem)
            calls.setSystem = [this] {
                made += "system ";
                return true;
            };
        return calls;
    }
};

} // namespace

TEST(DpiAwareness, EachSystemGetsTheBestItHasAndARefusalMovesOnByItsError)
{
    System windows11;
    EXPECT_EQ(dpi::DeclareAwareness(windows11.Calls()), dpi::Awareness::PerMonitorV2);
    EXPECT_EQ(windows11.made, "v2 ");

    // Wine 8 and Windows 10 before 1703 know the function but not v2.
    System wine;
    wine.contextV2Error = ERROR_INVALID_PARAMETER;
    EXPECT_EQ(dpi::DeclareAwareness(wine.Calls()), dpi::Awareness::PerMonitor);
    EXPECT_EQ(wine.made, "v2 v1 ");

    System windows81;
    windows81.hasContext = false;
    EXPECT_EQ(dpi::DeclareAwareness(windows81.Calls()), dpi::Awareness::PerMonitor);
    EXPECT_EQ(windows81.made, "shcore ");

    System windows7;
    windows7.hasContext = false;
    windows7.hasPerMonitor = false;
    EXPECT_EQ(dpi::DeclareAwareness(windows7.Calls()), dpi::Awareness::System);
    EXPECT_EQ(windows7.made, "system ");

    // Both newer calls there but failing for another reason: the older ones still run.
    System odd;
    odd.contextV2Error = ERROR_INVALID_PARAMETER;
    odd.contextError = ERROR_INVALID_PARAMETER;
    odd.perMonitor = E_INVALIDARG;
    EXPECT_EQ(dpi::DeclareAwareness(odd.Calls()), dpi::Awareness::System);
    EXPECT_EQ(odd.made, "v2 v1 shcore system ");

    // The manifest decided already: nothing is changed.
    System manifested;
    manifested.contextV2Error = ERROR_ACCESS_DENIED;
    EXPECT_EQ(dpi::DeclareAwareness(manifested.Calls()), dpi::Awareness::Given);
    EXPECT_EQ(manifested.made, "v2 ");
    System manifested81;
    manifested81.hasContext = false;
    manifested81.perMonitor = E_ACCESSDENIED;
    EXPECT_EQ(dpi::DeclareAwareness(manifested81.Calls()), dpi::Awareness::Given);

    EXPECT_EQ(dpi::DeclareAwareness(dpi::AwarenessCalls()), dpi::Awareness::None);

    // This system's own calls, as the client makes them.
    const dpi::Awareness real = dpi::DeclareAwareness();
    EXPECT_TRUE(real == dpi::Awareness::PerMonitor || real == dpi::Awareness::PerMonitorV2 ||
                real == dpi::Awareness::Given)
        << static_cast<int>(real);
    EXPECT_EQ(dpi::OfWindow(GetDesktopWindow()), dpi::OfSystem());
}
