#include "counters/CFollowedAdapter.h"

#include "counters/NetworkAdapters.h"

#include <utility>

CFollowedAdapter::CFollowedAdapter(std::string guid, std::string alias)
    : m_guid(std::move(guid)), m_alias(std::move(alias)) {}

bool CFollowedAdapter::Read() {
    m_bFoundAnew = false;
    if (m_bFound && CNetworkAdapters::Refresh(m_adapter))
        return true;
    m_bFound = m_bFoundAnew = CNetworkAdapters::Find(m_guid, m_alias, m_adapter);
    return m_bFound;
}
