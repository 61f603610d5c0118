#pragma once
// The other clients the user runs beside this one, as the boss key sees them.
// One client holds the system-wide hot key and, on the key, hides or brings
// back every client of the same user session at once; when it closes, the
// others are told and the first to register the key holds it next. The
// clients find each other by their frame windows' class on this desktop and
// in this session, and talk through one registered window message.

#include "frames/BossKey.h"

#include <windows.h>

#include <vector>

class BossKeyPeers {
public:
    // The registered message's wParam.
    enum Command : WPARAM {
        kHide = 1,     // hide as the boss key does
        kShow = 2,     // come back from the notification area
        kReleased = 3, // the holder let the hot key go: try to take it
        kWhoHolds = 4, // answered with the held key (Pack), 0 by a client that holds none
    };

    explicit BossKeyPeers(const wchar_t* frameClass);

    // Zero when the system would not register the message.
    UINT Message() const { return m_message; }
    // The other clients' frame windows: the frame class, this session, not `self`.
    std::vector<HWND> Others(HWND self) const;
    // Posts the command to every other client.
    void Tell(HWND self, Command command) const;
    // The key another client holds, asked with a bounded wait (a hung client
    // answers nothing); available is false when none holds one.
    BossKey AskHolder(HWND self) const;

    // The answer to kWhoHolds for a held key; never zero.
    static LRESULT Pack(const BossKey& key);
    static BossKey Unpack(LRESULT answer);

    // How long a client waits for each answer to kWhoHolds.
    static constexpr UINT kAnswerTimeoutMs = 1000;

private:
    const wchar_t* m_frameClass;
    UINT m_message = 0;
    DWORD m_session = 0;
};

// The boss key as this client holds it: registered for a window by Take, let
// go by End or with the object; then the other clients are told, and the first
// of them to register it holds it next.
class BossKeyHold {
public:
    BossKeyHold(const BossKeyPeers& peers, int hotKeyId) : m_peers(peers), m_id(hotKeyId) {}
    ~BossKeyHold() { End(); }
    BossKeyHold(const BossKeyHold&) = delete;
    BossKeyHold& operator=(const BossKeyHold&) = delete;

    // Registers the key for window; false when the system will not (another
    // client or program holds it) or this one holds a key already.
    bool Take(HWND window, const BossKey& key);
    bool Held() const { return m_window != nullptr; }
    void End();

private:
    const BossKeyPeers& m_peers;
    int m_id;
    // The window the key is registered for while it is held.
    HWND m_window = nullptr;
};
