// The scale of the client's windows: lengths at 96 DPI through MulDiv, the
// launcher's fitting scale, and the way the process declares its awareness on
// each kind of system.

#include "ui/framework/DpiScale.h"

#include <gtest/gtest.h>

#include <string>

TEST(DpiScale, ScalesLengthsAndBoxesAndFindsTheLargestScaleThatFits)
{
    EXPECT_EQ(DpiScale(0).Dpi(), 96) << "nothing known is 96 DPI";
    EXPECT_EQ(DpiScale(144)(25), 38) << "halves round away from zero, as MulDiv does";
    // A box keeps the scaled size of its picture, wherever its corner rounds to.
    const RECT box = DpiScale(144).Box(1047, 185, 23, 23);
    EXPECT_EQ(box.left, 1571);
    EXPECT_EQ(box.right - box.left, 35);

    const SIZE launcher = {1154, 704};
    // 150 % on a 1920 x 1080 screen with a 40-pixel task bar: 1056 lines do not fit.
    EXPECT_EQ(dpi::Fitting(144, launcher, {1920, 1040}), 141);
    EXPECT_EQ(dpi::Fitting(144, launcher, {1920, 1080}), 144);
    EXPECT_EQ(dpi::Fitting(120, launcher, {1366, 728}), 99);
    EXPECT_EQ(dpi::Fitting(96, launcher, {1024, 600}), 96) << "never below 96 DPI";
}

// Each system's calls, answering as that system does: the chain takes the best
// it has, and only a refusal's error moves it on.
TEST(DpiAwareness, EachSystemGetsTheBestItHasAndARefusalMovesOnByItsError)
{
    constexpr DWORD kMissing = 0xFFFFFFFF; // the system lacks the call
    struct System {
        const char* name;
        DWORD v2Error, v1Error; // SetProcessDpiAwarenessContext; 0: succeeds
        HRESULT shcore;         // SetProcessDpiAwareness; kMissing: none
        dpi::Awareness expected;
        const char* calls;
    } systems[] = {
        {"Windows 11", 0, 0, S_OK, dpi::Awareness::PerMonitorV2, "v2 "},
        {"Wine 8, Windows 10 before 1703", ERROR_INVALID_PARAMETER, 0, S_OK, dpi::Awareness::PerMonitor, "v2 v1 "},
        {"Windows 8.1", kMissing, kMissing, S_OK, dpi::Awareness::PerMonitor, "shcore "},
        {"Windows 7", kMissing, kMissing, static_cast<HRESULT>(kMissing), dpi::Awareness::System, "system "},
        {"newer calls failing otherwise", ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, E_INVALIDARG,
         dpi::Awareness::System, "v2 v1 shcore system "},
        {"set by the manifest", ERROR_ACCESS_DENIED, 0, S_OK, dpi::Awareness::Given, "v2 "},
        {"set by the manifest, Windows 8.1", kMissing, kMissing, E_ACCESSDENIED, dpi::Awareness::Given, "shcore "},
    };
    for (const System& system : systems) {
        std::string made;
        dpi::AwarenessCalls calls;
        if (system.v2Error != kMissing)
            calls.setContext = [&](bool v2, DWORD* error) {
                made += v2 ? "v2 " : "v1 ";
                *error = v2 ? system.v2Error : system.v1Error;
                return *error == 0;
            };
        if (system.shcore != static_cast<HRESULT>(kMissing))
            calls.setPerMonitor = [&] {
                made += "shcore ";
                return system.shcore;
            };
        calls.setSystem = [&] {
            made += "system ";
            return true;
        };
        EXPECT_EQ(dpi::DeclareAwareness(calls), system.expected) << system.name;
        EXPECT_EQ(made, system.calls) << system.name;
    }
    EXPECT_EQ(dpi::DeclareAwareness(dpi::AwarenessCalls()), dpi::Awareness::None);

    // This system's own calls, as the client makes them.
    const dpi::Awareness real = dpi::DeclareAwareness();
    EXPECT_TRUE(real == dpi::Awareness::PerMonitor || real == dpi::Awareness::PerMonitorV2 ||
                real == dpi::Awareness::Given)
        << static_cast<int>(real);
}
