#pragma once
// One adapter followed from read to read: read again by its LUID (on XP its index) while it
// stays, found anew by its GUID or name once it has gone or was never found.
#include "counters/NetworkAdapter.h"

#include <string>

class CFollowedAdapter {
public:
    CFollowedAdapter(std::string guid, std::string alias);

    // The adapter's state and counters now; false where it is not found.
    bool Read();
    // The last Read found the adapter anew (perhaps another device under the same name).
    bool IsFoundAnew() const { return m_bFoundAnew; }
    const NETWORK_ADAPTER& Get() const { return m_adapter; }

private:
    std::string m_guid;
    std::string m_alias;
    NETWORK_ADAPTER m_adapter;
    bool m_bFound = false;
    bool m_bFoundAnew = false;
};
