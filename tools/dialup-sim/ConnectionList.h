#pragma once
// The connections as the dial-up functions list them. A real system may set its events a little
// before its list shows the change; with list_lag_ms the list keeps showing the connections as
// they were until that long after it first saw the state file change.
#include "SimState.h"

#include <windows.h>

#include <string>

namespace dialup_sim {

class ConnectionList {
public:
    static ConnectionList& Instance();

    // The state read from path, its connections as the list shows them now.
    SimState Show(const std::string& path, const SimState& state);
    // The same for the state file as it is now.
    SimState Show();

private:
    ConnectionList();
    ~ConnectionList() = delete; // lives as long as the process, like the notifier

    CRITICAL_SECTION m_lock;
    std::string m_path; // another file is another system: its connections show at once
    SimState m_shown;
    bool m_hasPending = false;
    SimState m_pending;
    DWORD m_pendingSince = 0;
};

} // namespace dialup_sim
