#include "frames/SessionMute.h"

#include <atomic>

namespace {
// Marks the client's own changes of the mute, which the client need not be told of.
constexpr GUID kOwnChange = {0x6c1f2a47, 0x93d8, 0x4b0e, {0x8a, 0x51, 0x2e, 0x7d, 0x04, 0xb9, 0xc3, 0x16}};
} // namespace

// Hears the session's and the devices' news on the system's threads and hands
// them to the window. It lives as long as anyone holds a reference (the
// system may still hold one while a call is under way), so it owns itself.
class SessionMute::Listener final : public IAudioSessionEvents, public IMMNotificationClient {
public:
    Listener(HWND window, UINT message) : m_window(window), m_message(message) {}

    // No more messages from here on, whatever the system still calls.
    void Detach() { m_window = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IAudioSessionEvents))
            *out = static_cast<IAudioSessionEvents*>(this);
        else if (iid == __uuidof(IMMNotificationClient))
            *out = static_cast<IMMNotificationClient*>(this);
        else
            return *out = nullptr, E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    // The session's volume or mute changed, by someone else than the client.
    HRESULT STDMETHODCALLTYPE OnSimpleVolumeChanged(float, BOOL muted, LPCGUID context) override
    {
        if (!context || !IsEqualGUID(*context, kOwnChange))
            Post(kMuteChanged, muted ? 1 : 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override
    {
        // Told once for each role: the console's is the session's device.
        if (flow == eRender && role == eConsole)
            Post(kDefaultDeviceChanged, 0);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE OnDisplayNameChanged(LPCWSTR, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnIconPathChanged(LPCWSTR, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnChannelVolumeChanged(DWORD, float*, DWORD, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnGroupingParamChanged(LPCGUID, LPCGUID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStateChanged(AudioSessionState) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnSessionDisconnected(AudioSessionDisconnectReason) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }

private:
    ~Listener() = default;
    void Post(WPARAM what, LPARAM value) const
    {
        if (HWND window = m_window)
            PostMessageW(window, m_message, what, value);
    }

    std::atomic<HWND> m_window;
    const UINT m_message;
    std::atomic<ULONG> m_references{1};
};

SessionMute::SessionMute()
    : createEnumerator([](IMMDeviceEnumerator** out) {
          return CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(out));
      })
{}

SessionMute::~SessionMute() { Release(); }

bool SessionMute::Open(HWND window, UINT message)
{
    Release();
    ComPtr<IMMDevice> device;
    ComPtr<IAudioSessionManager> sessions;
    if (!createEnumerator || FAILED(createEnumerator(m_devices.Put())) || !m_devices ||
        FAILED(m_devices->GetDefaultAudioEndpoint(eRender, eConsole, device.Put())) ||
        FAILED(device->Activate(__uuidof(IAudioSessionManager), CLSCTX_INPROC_SERVER, nullptr, sessions.PutVoid())) ||
        // No session GUID (GUID_NULL) and not cross-process: the process's own default session.
        FAILED(sessions->GetAudioSessionControl(nullptr, FALSE, m_control.Put())) ||
        FAILED(sessions->GetSimpleAudioVolume(nullptr, FALSE, m_volume.Put()))) {
        Release();
        return false;
    }
    m_listener = new Listener(window, message);
    // Following is a bonus: a session that cannot be followed still mutes.
    m_control->RegisterAudioSessionNotification(m_listener);
    m_devices->RegisterEndpointNotificationCallback(m_listener);
    return true;
}

bool SessionMute::Set(bool muted)
{
    return m_volume && SUCCEEDED(m_volume->SetMute(muted ? TRUE : FALSE, &kOwnChange));
}

bool SessionMute::Read(bool* muted) const
{
    BOOL value = FALSE;
    if (!m_volume || !muted || FAILED(m_volume->GetMute(&value)))
        return false;
    *muted = value != FALSE;
    return true;
}

void SessionMute::Release()
{
    if (m_listener) {
        m_listener->Detach();
        if (m_control)
            m_control->UnregisterAudioSessionNotification(m_listener);
        if (m_devices)
            m_devices->UnregisterEndpointNotificationCallback(m_listener);
        std::exchange(m_listener, nullptr)->Release();
    }
    m_volume.Reset();
    m_control.Reset();
    m_devices.Reset();
}
