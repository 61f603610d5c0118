#pragma once
// The boss key: the hot key that hides the game window to the notification area.
// Config.ini may name another combination (Common/fsModifiers, Common/vkCode);
// anything but a sound combination keeps the default Alt+D.

#include <windows.h>

#include <string>

struct BossKey {
    UINT modifiers = MOD_ALT;
    UINT virtualKey = 'D';
    // False when the system would not register it (another program holds it).
    bool available = true;

    // A combination of Alt, Ctrl, Shift and Win (at least one of Alt, Ctrl and
    // Win) with a letter, a digit or a function key; otherwise Alt+D.
    static BossKey FromConfig(int fsModifiers, int vkCode);
    // The key as the menu names it, for example "Alt+D" or "Ctrl+Shift+F5".
    std::wstring Name() const;
    // The title-bar menu row: "老板键(Alt+D)", or "老板键(不可用)" when unavailable.
    std::wstring MenuText() const;
};
