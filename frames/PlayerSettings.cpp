#include "frames/PlayerSettings.h"

#include "browser/PageZoom.h"
#include "ui/framework/Scoped.h"
#include "ui/framework/WorkArea.h"

namespace {

// The settings key, opened or created for the life of the object.
class SettingsKey {
public:
    explicit SettingsKey(bool create)
    {
        HKEY key = nullptr;
        const LSTATUS status =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, PlayerSettings::kKeyPath, 0, nullptr, 0,
                                     KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, PlayerSettings::kKeyPath, 0, KEY_QUERY_VALUE, &key);
        if (status == ERROR_SUCCESS)
            m_key.Reset(key);
    }

    explicit operator bool() const { return m_key.Valid(); }

    std::optional<LONG> Read(const wchar_t* name) const
    {
        DWORD value = 0;
        DWORD type = 0;
        DWORD size = sizeof(value);
        if (RegQueryValueExW(m_key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
                ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof(value))
            return std::nullopt;
        return static_cast<LONG>(value);
    }
    bool Write(const wchar_t* name, LONG value) const
    {
        const DWORD stored = static_cast<DWORD>(value);
        return RegSetValueExW(m_key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored),
                              sizeof(stored)) == ERROR_SUCCESS;
    }

private:
    ScopedRegKey m_key;
};

constexpr const wchar_t* kLeft = L"Left";
constexpr const wchar_t* kTop = L"Top";
constexpr const wchar_t* kRight = L"Right";
constexpr const wchar_t* kBottom = L"Bottom";
constexpr const wchar_t* kMaximized = L"Maximized";
constexpr const wchar_t* kFullScreen = L"FullScreen";
constexpr const wchar_t* kMuted = L"Muted";
constexpr const wchar_t* kPageZoom = L"PageZoom";
constexpr const wchar_t* kMuteWhileHidden = L"MuteWhileHidden";
constexpr const wchar_t* kTopmost = L"Topmost";

bool ReadFlag(const wchar_t* name, bool absent)
{
    const SettingsKey key(false);
    return key ? key.Read(name).value_or(absent) != 0 : absent;
}

bool WriteFlag(const wchar_t* name, bool value)
{
    const SettingsKey key(true);
    return key && key.Write(name, value);
}

} // namespace

std::optional<GameViewRecord> PlayerSettings::ReadGameView()
{
    const SettingsKey key(false);
    if (!key)
        return std::nullopt;
    const auto left = key.Read(kLeft), top = key.Read(kTop), right = key.Read(kRight), bottom = key.Read(kBottom);
    if (!left || !top || !right || !bottom)
        return std::nullopt;
    GameViewRecord record;
    record.restored = {*left, *top, *right, *bottom};
    // No window has had such a rectangle: nothing usable was kept.
    if (!workarea::IsPlausibleWindowRect(record.restored))
        return std::nullopt;
    record.maximized = key.Read(kMaximized).value_or(0) != 0;
    record.fullScreen = key.Read(kFullScreen).value_or(0) != 0;
    return record;
}

bool PlayerSettings::WriteGameView(const GameViewRecord& record)
{
    const SettingsKey key(true);
    const RECT& r = record.restored;
    return key && key.Write(kLeft, r.left) && key.Write(kTop, r.top) && key.Write(kRight, r.right) &&
           key.Write(kBottom, r.bottom) && key.Write(kMaximized, record.maximized) &&
           key.Write(kFullScreen, record.fullScreen);
}

bool PlayerSettings::ReadMuted() { return ReadFlag(kMuted, false); }

bool PlayerSettings::WriteMuted(bool muted) { return WriteFlag(kMuted, muted); }

bool PlayerSettings::ReadMuteWhileHidden() { return ReadFlag(kMuteWhileHidden, true); }

bool PlayerSettings::WriteMuteWhileHidden(bool mute) { return WriteFlag(kMuteWhileHidden, mute); }

bool PlayerSettings::ReadTopmost() { return ReadFlag(kTopmost, false); }

bool PlayerSettings::WriteTopmost(bool topmost) { return WriteFlag(kTopmost, topmost); }

int PlayerSettings::ReadPageZoom()
{
    const SettingsKey key(false);
    return pagezoom::ValidChoice(key ? key.Read(kPageZoom).value_or(pagezoom::kActualSize) : pagezoom::kActualSize);
}

bool PlayerSettings::WritePageZoom(int choice)
{
    const SettingsKey key(true);
    return key && key.Write(kPageZoom, choice);
}
