#pragma once
// The player's keys in the game view: F11 switches full screen on and off, Esc
// leaves it, Ctrl+Alt+S saves a picture of the page area, Ctrl+Alt+M mutes
// or unmutes the game, and Ctrl+= / Ctrl+- / Ctrl+0 (or the number pad's +, -
// and 0, or the wheel with Ctrl) zoom the page in, out and back to its size. They are read from the keystrokes of the client's own
// windows (the frame's on the main thread, the page's on the UI thread) and are
// never registered system-wide: other programs keep these keys.

#include <windows.h>

enum class PlayerCommand : WPARAM {
    None = 0,
    ToggleFullScreen,
    LeaveFullScreen,
    Screenshot,
    ToggleMute,
    ZoomIn,
    ZoomOut,
    ZoomReset,
};

struct PlayerKey {
    PlayerCommand command = PlayerCommand::None;
    // The key is held down: the keystroke is still the player's, but the
    // command runs once, at the first press.
    bool repeat = false;
};

// The command a key-down message (or a turn of the wheel) stands for, with the modifier keys as the
// calling thread saw them when the message was taken. Esc counts only in full
// screen; every other keystroke is None and goes on to its window.
//
// Windows reports AltGr, the right Alt of layouts that type characters with it
// (AltGr+S is "ś" on a Polish keyboard), as Ctrl+Alt: on such a layout the
// right Alt makes no player key, and the character goes to the page.
PlayerKey PlayerKeyOf(const MSG& msg, bool fullScreen);
PlayerKey PlayerKeyOf(const MSG& msg, bool fullScreen, bool layoutHasAltGr);

// Whether the keyboard layout types any character with AltGr (Ctrl+Alt).
bool LayoutHasAltGr(HKL layout);
