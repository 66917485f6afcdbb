#include "counters/CAdapterCounter.h"

#include <utility>

CAdapterCounter::CAdapterCounter(std::string guid, std::string alias)
    : m_adapter(std::move(guid), std::move(alias)) {}

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
    if (!m_adapter.Read())
        return FALSE;
    const NETWORK_ADAPTER& adapter = m_adapter.Get();
    if (adapter.bSixtyFourBit) {
        m_nReceived = m_received.Next(adapter.nInOctets);
        m_nSent = m_sent.Next(adapter.nOutOctets);
    } else {
        m_nReceived = adapter.nInOctets;
        m_nSent = adapter.nOutOctets;
    }
    return TRUE;
}

std::uint64_t CAdapterCounter::RISING::Next(std::uint64_t nReading) {
    if (nReading < nLast)
        nBase += nLast; // the device's counter started again from 0
    nLast = nReading;
    return nBase + nReading;
}
