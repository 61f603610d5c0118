#include "frames/SessionMute.h"

#include <mmdeviceapi.h>

namespace {

// The volume control of this process's default session on the default output device.
ComPtr<ISimpleAudioVolume> OpenSessionVolume()
{
    ComPtr<IMMDeviceEnumerator> devices;
    ComPtr<IMMDevice> device;
    ComPtr<IAudioSessionManager> sessions;
    ComPtr<ISimpleAudioVolume> volume;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IMMDeviceEnumerator), devices.PutVoid())) ||
        FAILED(devices->GetDefaultAudioEndpoint(eRender, eConsole, device.Put())) ||
        FAILED(device->Activate(__uuidof(IAudioSessionManager), CLSCTX_INPROC_SERVER, nullptr, sessions.PutVoid())) ||
        // No session GUID (GUID_NULL) and not cross-process: the process's own default session.
        FAILED(sessions->GetSimpleAudioVolume(nullptr, FALSE, volume.Put())))
        volume.Reset();
    return volume;
}

} // namespace

bool SessionMute::Set(bool muted)
{
    if (ComPtr<ISimpleAudioVolume> volume = OpenSessionVolume())
        m_volume = std::move(volume);
    return m_volume && SUCCEEDED(m_volume->SetMute(muted ? TRUE : FALSE, nullptr));
}

bool SessionMute::Read(bool* muted) const
{
    BOOL value = FALSE;
    if (!m_volume || !muted || FAILED(m_volume->GetMute(&value)))
        return false;
    *muted = value != FALSE;
    return true;
}
