// The boss key chosen from Config.ini values.

#include "frames/BossKey.h"

#include <gtest/gtest.h>

TEST(BossKey, ASoundCombinationFromConfigReplacesAltD)
{
    struct Case {
        int modifiers, vk;
        const wchar_t* menu;
    } cases[] = {
        {MOD_CONTROL, 'Q', L"老板键(Ctrl+Q)"},
        {MOD_CONTROL | MOD_SHIFT, VK_F5, L"老板键(Ctrl+Shift+F5)"},
        {MOD_ALT | MOD_WIN, '7', L"老板键(Alt+Win+7)"},
        {MOD_CONTROL | MOD_ALT | MOD_SHIFT | MOD_WIN, VK_F24, L"老板键(Ctrl+Alt+Shift+Win+F24)"},
    };
    for (const Case& c : cases) {
        const BossKey key = BossKey::FromConfig(c.modifiers, c.vk);
        EXPECT_EQ(key.modifiers, static_cast<UINT>(c.modifiers));
        EXPECT_EQ(key.virtualKey, static_cast<UINT>(c.vk));
        EXPECT_EQ(key.MenuText(), c.menu);
    }
}

TEST(BossKey, AnythingElseKeepsAltD)
{
    struct Case {
        int modifiers, vk;
    } cases[] = {
        {0, 0},           // missing keys
        {0, 'Q'},         // no modifier: a plain letter would be stolen from every program
        {MOD_SHIFT, 'A'}, // Shift alone is typing: capital A would be stolen likewise
        {MOD_SHIFT, '1'},
        {MOD_SHIFT, VK_F5},
        {MOD_CONTROL, 0},        // no key
        {MOD_CONTROL, VK_SPACE}, // not a letter, digit or function key
        {MOD_CONTROL, VK_OEM_1}, // punctuation keys differ between keyboard layouts
        {MOD_CONTROL, VK_F24 + 1},
        {0x10, 'Q'},                 // an unknown modifier bit
        {MOD_CONTROL | 0x4000, 'Q'}, // no-repeat is not a user-chosen modifier
        {-1, 'Q'},
        {MOD_ALT, -68},
    };
    for (const Case& c : cases) {
        const BossKey key = BossKey::FromConfig(c.modifiers, c.vk);
        EXPECT_EQ(key.modifiers, static_cast<UINT>(MOD_ALT)) << c.modifiers << " " << c.vk;
        EXPECT_EQ(key.virtualKey, static_cast<UINT>('D')) << c.modifiers << " " << c.vk;
        EXPECT_EQ(key.MenuText(), L"老板键(Alt+D)");
    }
}
