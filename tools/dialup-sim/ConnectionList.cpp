#include "ConnectionList.h"

#include "SimStateFile.h"

namespace dialup_sim {
namespace {

bool SameConnections(const SimState& a, const SimState& b) {
    if (a.connections != b.connections)
        return false;
    for (uint32_t n = 1; n <= a.connections && n <= b.connections; ++n) {
        const ConnectionStatus x = a.StatusOf(n);
        const ConnectionStatus y = b.StatusOf(n);
        if (x.kind != y.kind || x.error != y.error)
            return false;
    }
    return true;
}

SimState WithConnectionsOf(SimState state, const SimState& listed) {
    state.connections = listed.connections;
    state.statuses = listed.statuses;
    return state;
}

} // namespace

ConnectionList& ConnectionList::Instance() {
    static ConnectionList* instance = new ConnectionList;
    return *instance;
}

ConnectionList::ConnectionList() {
    InitializeCriticalSection(&m_lock);
}

SimState ConnectionList::Show() {
    const std::string path = StateFilePath();
    return Show(path, LoadSimState(path));
}

SimState ConnectionList::Show(const std::string& path, const SimState& state) {
    EnterCriticalSection(&m_lock);
    if (path != m_path || state.listLagMs == 0 || SameConnections(state, m_shown)) {
        m_path = path;
        m_shown = state;
        m_hasPending = false;
    } else if (!m_hasPending || !SameConnections(state, m_pending)) {
        m_pending = state;
        m_hasPending = true;
        m_pendingSince = GetTickCount();
    } else if (GetTickCount() - m_pendingSince >= state.listLagMs) {
        m_shown = state;
        m_hasPending = false;
    }
    const SimState shown = WithConnectionsOf(state, m_shown);
    LeaveCriticalSection(&m_lock);
    return shown;
}

} // namespace dialup_sim
