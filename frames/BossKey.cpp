#include "frames/BossKey.h"

namespace {

constexpr UINT kModifierMask = MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN;
// A system-wide hot key takes its combination from every program on the machine:
// Shift with a letter or digit is typing, so one of these must be part of it.
constexpr UINT kCommandModifiers = MOD_ALT | MOD_CONTROL | MOD_WIN;

bool IsUsableKey(int vk)
{
    return (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || (vk >= VK_F1 && vk <= VK_F24);
}

} // namespace

BossKey BossKey::FromConfig(int fsModifiers, int vkCode)
{
    BossKey key;
    const UINT modifiers = static_cast<UINT>(fsModifiers);
    const bool modifiersOk = fsModifiers > 0 && (modifiers & ~kModifierMask) == 0 && (modifiers & kCommandModifiers);
    if (modifiersOk && IsUsableKey(vkCode)) {
        key.modifiers = static_cast<UINT>(fsModifiers);
        key.virtualKey = static_cast<UINT>(vkCode);
    }
    return key;
}

std::wstring BossKey::Name() const
{
    std::wstring name;
    if (modifiers & MOD_CONTROL)
        name += L"Ctrl+";
    if (modifiers & MOD_ALT)
        name += L"Alt+";
    if (modifiers & MOD_SHIFT)
        name += L"Shift+";
    if (modifiers & MOD_WIN)
        name += L"Win+";
    if (virtualKey >= VK_F1 && virtualKey <= VK_F24)
        name += L"F" + std::to_wstring(virtualKey - VK_F1 + 1);
    else
        name += static_cast<wchar_t>(virtualKey);
    return name;
}

std::wstring BossKey::MenuText() const { return L"老板键(" + (available ? Name() : L"不可用") + L")"; }
