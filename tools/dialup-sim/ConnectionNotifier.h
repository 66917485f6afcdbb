#pragma once
// Signals registered events when the number of connected connections in the state file changes,
// as the Remote Access Service does when a connection is through or goes down.
#include <windows.h>

#include <string>
#include <vector>

namespace dialup_sim {

class ConnectionNotifier {
public:
    static ConnectionNotifier& Instance();

    // Keeps its own duplicate of the event, so that a caller closing its handle (or the
    // handle value being reused) never lets the simulator set an unrelated object.
    // Returns a Win32 error code, 0 on success.
    DWORD Register(HANDLE event, DWORD flags);

private:
    struct Registration {
        HANDLE event;
        DWORD flags;
    };

    ConnectionNotifier();
    ~ConnectionNotifier() = delete; // lives as long as the process; its thread may still run
    bool StartWatchingLocked();
    static DWORD WINAPI ThreadMain(void* self);
    void Watch();
    void Observe(const std::string& path, DWORD connections);
    void SignalChange(DWORD previous, DWORD current);

    CRITICAL_SECTION m_lock;
    std::vector<Registration> m_registrations;
    std::string m_lastPath; // another file is another system: its count is no change
    DWORD m_lastConnections = 0;
    bool m_watching = false;
};

} // namespace dialup_sim
