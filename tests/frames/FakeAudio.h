#pragma once
// The system's audio sessions as the volume mixer sees them, for what Wine
// lacks: Wine 8 gives a new session for every look-up of the process's default
// one, enumerates no sessions and calls back no listener. Here every output
// device has one session for the process, with the mute the mixer shows; the
// test plays the mixer (changing a session's mute from a thread of its own, as
// the system calls back) and the player switching the default device. The
// objects count references but live on the test's stack.

#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <thread>
#include <vector>

namespace frametest {

// QueryInterface of an object that is two interfaces (First answering IUnknown too).
template <class First, class Second, class Self> HRESULT AnswerFor(Self* self, REFIID iid, void** out)
{
    if (iid == __uuidof(IUnknown) || iid == __uuidof(First))
        *out = static_cast<First*>(self);
    else if (iid == __uuidof(Second))
        *out = static_cast<Second*>(self);
    else
        return *out = nullptr, E_NOINTERFACE;
    return S_OK;
}

class FakeSession : public IAudioSessionControl, public ISimpleAudioVolume {
public:
    std::atomic<bool> muted{false};
    std::atomic<IAudioSessionEvents*> listener{nullptr};

    // The player clicks the session's speaker in the volume mixer.
    void MixerSets(bool mute)
    {
        std::thread([&] { SetMute(mute ? TRUE : FALSE, nullptr); }).join();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return AnswerFor<IAudioSessionControl, ISimpleAudioVolume>(this, iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE SetMute(BOOL mute, LPCGUID context) override
    {
        muted = mute != FALSE;
        if (IAudioSessionEvents* events = listener)
            events->OnSimpleVolumeChanged(1.0f, mute, context);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* mute) override { return *mute = muted ? TRUE : FALSE, S_OK; }
    HRESULT STDMETHODCALLTYPE RegisterAudioSessionNotification(IAudioSessionEvents* events) override
    {
        events->AddRef();
        listener = events;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnregisterAudioSessionNotification(IAudioSessionEvents* events) override
    {
        if (listener != events)
            return E_INVALIDARG;
        listener = nullptr;
        events->Release();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetMasterVolume(float, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolume(float*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(AudioSessionState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayName(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDisplayName(LPCWSTR, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIconPath(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetIconPath(LPCWSTR, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGroupingParam(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetGroupingParam(LPCGUID, LPCGUID) override { return E_NOTIMPL; }
};

class FakeDevice : public IMMDevice, public IAudioSessionManager {
public:
    FakeSession session;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return AnswerFor<IMMDevice, IAudioSessionManager>(this, iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override
    {
        return QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE GetAudioSessionControl(LPCGUID, DWORD, IAudioSessionControl** out) override
    {
        return *out = &session, S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSimpleAudioVolume(LPCGUID, DWORD, ISimpleAudioVolume** out) override
    {
        return *out = &session, S_OK;
    }

    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD*) override { return E_NOTIMPL; }
};

class FakeAudio : public IMMDeviceEnumerator {
public:
    FakeDevice devices[2];
    std::atomic<int> current{0};
    std::atomic<IMMNotificationClient*> client{nullptr};
    std::atomic<int> opened{0};

    // Where the client finds the devices.
    HRESULT Create(IMMDeviceEnumerator** out)
    {
        ++opened;
        return *out = this, S_OK;
    }
    FakeSession& Session(int device) { return devices[device].session; }
    // The player makes the second device the default one.
    void SwitchToSecondDevice()
    {
        current = 1;
        std::thread([&] {
            for (ERole role : {eConsole, eMultimedia, eCommunications})
                if (IMMNotificationClient* notify = client)
                    notify->OnDefaultDeviceChanged(eRender, role, L"second");
        }).join();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid != __uuidof(IUnknown) && iid != __uuidof(IMMDeviceEnumerator))
            return *out = nullptr, E_NOINTERFACE;
        return *out = this, S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole, IMMDevice** out) override
    {
        if (flow != eRender)
            return *out = nullptr, HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        return *out = &devices[current], S_OK;
    }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient* notify) override
    {
        notify->AddRef();
        client = notify;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient* notify) override
    {
        if (client != notify)
            return E_INVALIDARG;
        client = nullptr;
        notify->Release();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow, DWORD, IMMDeviceCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
};

} // namespace frametest
