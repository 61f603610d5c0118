#include "frames/BossKeyPeers.h"

#include <cwchar>
#include <utility>

namespace {

struct Search {
    const wchar_t* frameClass;
    HWND self;
    DWORD session;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectPeer(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    if (hwnd == search->self)
        return TRUE;
    wchar_t name[64] = {};
    if (!GetClassNameW(hwnd, name, 64) || std::wcscmp(name, search->frameClass) != 0)
        return TRUE;
    DWORD process = 0;
    DWORD session = 0;
    GetWindowThreadProcessId(hwnd, &process);
    // A client of another session (another user's, or the same user's on
    // another log-on) is left alone.
    if (process && ProcessIdToSessionId(process, &session) && session == search->session)
        search->found.push_back(hwnd);
    return TRUE;
}

} // namespace

BossKeyPeers::BossKeyPeers(const wchar_t* frameClass) : m_frameClass(frameClass)
{
    m_message = RegisterWindowMessageW(L"zarvoostrel.BossKey");
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &m_session))
        m_message = 0; // without its own session the client cannot tell whom to leave alone
}

std::vector<HWND> BossKeyPeers::Others(HWND self) const
{
    Search search{m_frameClass, self, m_session, {}};
    if (m_message)
        EnumWindows(CollectPeer, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void BossKeyPeers::Tell(HWND self, Command command) const
{
    for (HWND peer : Others(self))
        PostMessageW(peer, m_message, command, 0);
}

BossKey BossKeyPeers::AskHolder(HWND self) const
{
    for (HWND peer : Others(self)) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutW(peer, m_message, kWhoHolds, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                                &answer) &&
            answer != 0)
            return Unpack(static_cast<LRESULT>(answer));
    }
    BossKey none;
    none.available = false;
    return none;
}

LRESULT BossKeyPeers::Pack(const BossKey& key)
{
    return static_cast<LRESULT>(MAKELONG(key.virtualKey & 0xFFFF, key.modifiers & 0xFFFF));
}

BossKey BossKeyPeers::Unpack(LRESULT answer)
{
    // Whatever came back is checked as Config.ini's combination is.
    const DWORD packed = static_cast<DWORD>(answer);
    return BossKey::FromConfig(HIWORD(packed), LOWORD(packed));
}

bool BossKeyHold::Take(HWND window, const BossKey& key)
{
    if (Held() || !RegisterHotKey(window, m_id, key.modifiers, key.virtualKey))
        return false;
    m_window = window;
    return true;
}

void BossKeyHold::End()
{
    if (!Held())
        return;
    const HWND window = std::exchange(m_window, nullptr);
    UnregisterHotKey(window, m_id);
    m_peers.Tell(window, BossKeyPeers::kReleased);
}
