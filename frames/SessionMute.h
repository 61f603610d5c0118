#pragma once
// Mutes and unmutes this process's own audio session: the default session on
// the default output device, where everything the client plays goes (the page
// and its plug-ins included), and nothing of other programs. The audio API is
// loaded only when the mute is first set. Used on one thread, with COM
// initialised there, and released there before COM ends.

#include "browser/ComPtr.h"

#include <audiopolicy.h>

class SessionMute {
public:
    SessionMute() = default;
    SessionMute(const SessionMute&) = delete;
    SessionMute& operator=(const SessionMute&) = delete;

    // True when the session took the setting; false without an audio device.
    // The session is looked up anew each time (the default device may have
    // changed) and kept.
    bool Set(bool muted);
    // The kept session's mute as the system reports it; false when no session
    // was opened.
    bool Read(bool* muted) const;
    void Release() { m_volume.Reset(); }

private:
    ComPtr<ISimpleAudioVolume> m_volume;
};
