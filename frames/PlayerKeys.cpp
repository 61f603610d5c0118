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
    if (msg.message == WM_MOUSEWHEEL) {
        // The keys held as the wheel turned come with it; only Ctrl zooms.
        const WORD held = GET_KEYSTATE_WPARAM(msg.wParam);
        const short delta = GET_WHEEL_DELTA_WPARAM(msg.wParam);
        if ((held & (MK_CONTROL | MK_SHIFT)) == MK_CONTROL && !Down(VK_MENU) && delta != 0)
            key.command = delta > 0 ? PlayerCommand::ZoomIn : PlayerCommand::ZoomOut;
        return key;
    }
    // Alt held alone turns a key into WM_SYSKEYDOWN; with Ctrl it stays WM_KEYDOWN.
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return key;
    const bool ctrl = Down(VK_CONTROL);
    const bool alt = Down(VK_MENU);
    const bool altGr = layoutHasAltGr && Down(VK_RMENU);
    const bool plain = !ctrl && !alt && !Down(VK_SHIFT) && !Down(VK_LWIN) && !Down(VK_RWIN);
    const bool ctrlAlt = ctrl && alt && !altGr && !Down(VK_SHIFT) && !Down(VK_LWIN) && !Down(VK_RWIN);
    // Shift may be held: "+" is Shift+= on many layouts.
    const bool ctrlOnly = ctrl && !alt && !Down(VK_LWIN) && !Down(VK_RWIN);
    const auto zoom = [ctrlOnly](PlayerCommand command) { return ctrlOnly ? command : PlayerCommand::None; };
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
    case VK_OEM_PLUS:
    case VK_ADD:
        key.command = zoom(PlayerCommand::ZoomIn);
        break;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
        key.command = zoom(PlayerCommand::ZoomOut);
        break;
    case '0':
    case VK_NUMPAD0:
        key.command = zoom(PlayerCommand::ZoomReset);
        break;
    default:
        break;
    }
    // Bit 30 of lParam: the key was already down before this message. A zoom
    // key held down goes on zooming.
    const bool zooming = key.command == PlayerCommand::ZoomIn || key.command == PlayerCommand::ZoomOut;
    key.repeat = key.command != PlayerCommand::None && !zooming && (msg.lParam & (1 << 30)) != 0;
    return key;
}
