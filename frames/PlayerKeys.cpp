#include "frames/PlayerKeys.h"

#include <utility>

namespace {

bool Down(int virtualKey) { return GetKeyState(virtualKey) < 0; }

} // namespace

bool LayoutHasAltGr(HKL layout)
{
    // The characters of the alphabets and signs keyboards type; a layout with
    // AltGr has some of them on Ctrl+Alt (shift state 6, or 7 with Shift).
    // Worked out once per layout and thread: layouts change rarely.
    thread_local HKL known = nullptr;
    thread_local bool knownHasAltGr = false;
    if (layout == known && known)
        return knownHasAltGr;
    bool altGr = false;
    for (const auto& [first, last] : {std::pair{0x20, 0x24F}, {0x370, 0x52F}, {0x2000, 0x20CF}}) {
        for (int c = first; c <= last && !altGr; ++c) {
            const SHORT scan = VkKeyScanExW(static_cast<WCHAR>(c), layout);
            altGr = scan != -1 && ((scan >> 8) & 6) == 6;
        }
    }
    known = layout;
    knownHasAltGr = altGr;
    return altGr;
}

PlayerKey PlayerKeyOf(const MSG& msg, bool fullScreen)
{
    // The layout of the thread that took the keystroke: the one the player types with there.
    return PlayerKeyOf(msg, fullScreen, LayoutHasAltGr(GetKeyboardLayout(0)));
}

PlayerKey PlayerKeyOf(const MSG& msg, bool fullScreen, bool layoutHasAltGr)
{
    PlayerKey key;
    // Alt held alone turns a key into WM_SYSKEYDOWN; with Ctrl it stays WM_KEYDOWN.
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return key;
    const bool ctrl = Down(VK_CONTROL);
    const bool alt = Down(VK_MENU);
    const bool altGr = layoutHasAltGr && Down(VK_RMENU);
    const bool plain = !ctrl && !alt && !Down(VK_SHIFT) && !Down(VK_LWIN) && !Down(VK_RWIN);
    const bool ctrlAlt = ctrl && alt && !altGr && !Down(VK_SHIFT) && !Down(VK_LWIN) && !Down(VK_RWIN);
    switch (msg.wParam) {
    case VK_F11:
        key.command = plain ? PlayerCommand::ToggleFullScreen : PlayerCommand::None;
        break;
    case VK_ESCAPE:
        key.command = plain && fullScreen ? PlayerCommand::LeaveFullScreen : PlayerCommand::None;
        break;
    case 'S':
        key.command = ctrlAlt ? PlayerCommand::Screenshot : PlayerCommand::None;
        break;
    case 'M':
        key.command = ctrlAlt ? PlayerCommand::ToggleMute : PlayerCommand::None;
        break;
    default:
        break;
    }
    // Bit 30 of lParam: the key was already down before this message.
    key.repeat = key.command != PlayerCommand::None && (msg.lParam & (1 << 30)) != 0;
    return key;
}
