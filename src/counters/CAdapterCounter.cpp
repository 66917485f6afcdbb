#include "counters/CAdapterCounter.h"

#include "counters/NetworkAdapters.h"

#include <utility>

CAdapterCounter::CAdapterCounter(std::string guid, std::string alias)
    : m_guid(std::move(guid)), m_alias(std::move(alias)) {}

BOOL CAdapterCounter::AddCounter(DWORD dwId) {
    return dwId == COUNTER_BYTES_RECEIVED || dwId == COUNTER_BYTES_SENT;
}

ULONGLONG CAdapterCounter::GetLargeValue(DWORD dwId) {
    if (dwId == COUNTER_BYTES_RECEIVED)
        return m_nReceived;
    if (dwId == COUNTER_BYTES_SENT)
        return m_nSent;
    return 0;
}

BOOL CAdapterCounter::Collect() {
    if (!Read())
        return FALSE;
    if (m_adapter.bSixtyFourBit) {
        m_nReceived = m_received.Next(m_adapter.nInOctets);
        m_nSent = m_sent.Next(m_adapter.nOutOctets);
    } else {
        m_nReceived = m_adapter.nInOctets;
        m_nSent = m_adapter.nOutOctets;
    }
    return TRUE;
}

// The adapter known so far, or found anew where it went (on XP its index changes with a new
// plug-in) or was never found.
bool CAdapterCounter::Read() {
    if (m_bFound && CNetworkAdapters::Refresh(m_adapter))
        return true;
    m_bFound = CNetworkAdapters::Find(m_guid, m_alias, m_adapter);
    return m_bFound;
}

std::uint64_t CAdapterCounter::RISING::Next(std::uint64_t nReading) {
    if (nReading < nLast)
        nBase += nLast; // the device's counter started again from 0
    nLast = nReading;
    return nBase + nReading;
}
