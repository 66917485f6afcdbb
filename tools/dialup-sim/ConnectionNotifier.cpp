#include "ConnectionNotifier.h"

#include "ConnectionList.h"
#include "SimStateFile.h"

#include "RasRecords.h"

namespace dialup_sim {
namespace {

constexpr DWORD kPollIntervalMs = 100;

class LockGuard {
public:
    explicit LockGuard(CRITICAL_SECTION& lock) : m_lock(lock) { EnterCriticalSection(&m_lock); }
    ~LockGuard() { LeaveCriticalSection(&m_lock); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CRITICAL_SECTION& m_lock;
};

} // namespace

ConnectionNotifier& ConnectionNotifier::Instance() {
    // Never destroyed: at process exit the watching thread is gone without having left the lock.
    static ConnectionNotifier* instance = new ConnectionNotifier;
    return *instance;
}

ConnectionNotifier::ConnectionNotifier() {
    InitializeCriticalSection(&m_lock);
}

DWORD ConnectionNotifier::Register(HANDLE event, DWORD flags) {
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &duplicate, 0, FALSE,
                         DUPLICATE_SAME_ACCESS))
        return ERROR_INVALID_HANDLE;
    // A registration takes the world as it is now as the baseline for its first signal.
    const std::string path = StateFilePath();
    const DWORD connections = LoadSimState(path).ConnectedCount();
    LockGuard guard(m_lock);
    Observe(path, connections);
    if (!m_watching && !StartWatchingLocked()) {
        CloseHandle(duplicate);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    m_registrations.push_back({duplicate, flags});
    return 0;
}

bool ConnectionNotifier::StartWatchingLocked() {
    // The thread runs until the process ends; pinning the library keeps its code mapped even
    // when a caller frees the library meanwhile.
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCSTR>(&ThreadMain), &self))
        return false;
    HANDLE thread = CreateThread(nullptr, 0, &ThreadMain, this, 0, nullptr);
    if (!thread)
        return false;
    CloseHandle(thread);
    m_watching = true;
    return true;
}

DWORD WINAPI ConnectionNotifier::ThreadMain(void* self) {
    static_cast<ConnectionNotifier*>(self)->Watch();
    return 0;
}

void ConnectionNotifier::Watch() {
    for (;;) {
        Sleep(kPollIntervalMs);
        const std::string path = StateFilePath();
        const SimState state = LoadSimState(path);
        // The events go out at once; the list may take list_lag_ms to follow from here.
        ConnectionList::Instance().Show(path, state);
        LockGuard guard(m_lock);
        Observe(path, state.ConnectedCount());
    }
}

void ConnectionNotifier::Observe(const std::string& path, DWORD connections) {
    if (path == m_lastPath && connections != m_lastConnections)
        SignalChange(m_lastConnections, connections);
    m_lastPath = path;
    m_lastConnections = connections;
}

void ConnectionNotifier::SignalChange(DWORD previous, DWORD current) {
    const DWORD wanted = current > previous ? kRascnConnection : kRascnDisconnection;
    for (const Registration& registration : m_registrations) {
        if (registration.flags & wanted)
            SetEvent(registration.event);
    }
}

} // namespace dialup_sim
