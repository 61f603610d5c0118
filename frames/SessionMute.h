#pragma once
// Mutes and unmutes this process's own audio session: the default session on
// the default output device, where everything the client plays goes (the page
// and its plug-ins included), and nothing of other programs. Once opened, the
// session is followed: whenever its mute changes by anyone but the client (the
// player in the system's volume mixer, for one) and whenever the default output
// device changes, the window given to Open is told by a posted message, for
// the system calls back on threads of its own. Used on one thread, with COM
// initialised there, and released there before COM ends; the audio API is
// loaded only when the session is first opened.

#include "ui/framework/ComPtr.h"

#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include <functional>

class SessionMute {
public:
    // What the posted message's wParam says; for kMuteChanged, lParam is the
    // session's mute (non-zero: muted).
    static constexpr WPARAM kMuteChanged = 1;
    static constexpr WPARAM kDefaultDeviceChanged = 2;
    using EnumeratorFactory = std::function<HRESULT(IMMDeviceEnumerator**)>;

    SessionMute();
    ~SessionMute();
    SessionMute(const SessionMute&) = delete;
    SessionMute& operator=(const SessionMute&) = delete;

    // Opens the session on the device that is the default now (letting go of
    // one opened before) and follows it, posting message to window. False
    // without an audio device.
    bool Open(HWND window, UINT message);
    bool IsOpen() const { return static_cast<bool>(m_volume); }
    // True when the open session took the setting.
    bool Set(bool muted);
    // The open session's mute as the system reports it; false when none is open.
    bool Read(bool* muted) const;
    // Stops following and lets the session go.
    void Release();

    // Where the device enumerator comes from: the system's, unless replaced.
    EnumeratorFactory createEnumerator;

private:
    class Listener;
    ComPtr<IMMDeviceEnumerator> m_devices;
    ComPtr<IAudioSessionControl> m_control;
    ComPtr<ISimpleAudioVolume> m_volume;
    Listener* m_listener = nullptr; // one reference of ours while following
};
