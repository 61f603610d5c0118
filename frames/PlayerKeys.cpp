#include "frames/PlayerKeys.h"

namespace {

bool Down(int virtualKey) { return GetKeyState(virtualKey) < 0; }

} // namespace

PlayerKey PlayerKeyOf(const MSG& msg, bool fullScreen)
{
    PlayerKey key;
    // Alt held alone turns a key into WM_SYSKEYDOWN; with Ctrl it stays WM_KEYDOWN.
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return key;
    const bool ctrl = Down(VK_CONTROL);
    const bool alt = Down(VK_MENU);
    const bool plain = !ctrl && !alt && !Down(VK_SHIFT) && !Down(VK_LWIN) && !Down(VK_RWIN);
    const bool ctrlAlt = ctrl && alt && !Down(VK_SHIFT) && !Down(VK_LWIN) && !Down(VK_RWIN);
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
