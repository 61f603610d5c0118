#pragma once
// What the client keeps for the current user between starts, under
// HKCU\Software\Morvane网页版: where the game view was left, whether the
// game is muted, whether it is muted while the boss key hides it, whether
// the game view stays above other windows, and the page's zoom. The remover
// deletes the key.

#include <windows.h>

#include <optional>

// The game view as it was left: its restored rectangle (screen coordinates)
// and whether it was maximised, full screen, or both (full screen entered from
// the maximised view).
struct GameViewRecord {
    RECT restored = {};
    bool maximized = false;
    bool fullScreen = false;
};

class PlayerSettings {
public:
    static constexpr const wchar_t* kKeyPath = L"Software\\Morvane网页版";

    // None when no complete record was kept, or its rectangle is one no window
    // can have (empty, or beyond the system's coordinates).
    static std::optional<GameViewRecord> ReadGameView();
    static bool WriteGameView(const GameViewRecord& record);
    // False when nothing was kept.
    static bool ReadMuted();
    static bool WriteMuted(bool muted);
    // True unless the player turned it off.
    static bool ReadMuteWhileHidden();
    static bool WriteMuteWhileHidden(bool mute);
    // False when nothing was kept.
    static bool ReadTopmost();
    static bool WriteTopmost(bool topmost);
    // A level of pagezoom::kLevels or pagezoom::kFit; actual size when nothing
    // usable was kept.
    static int ReadPageZoom();
    static bool WritePageZoom(int choice);
};
