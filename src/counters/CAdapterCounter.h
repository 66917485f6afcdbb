#pragma once
// The byte counter of one network adapter: its interface's own totals of bytes received and
// sent, under the two byte counter ids. A sample finds the adapter by its GUID or its name
// while it is not known or has gone; one where it is missing fails, as a dial-up counter's
// does while its service is away.
//
// The 64-bit totals of Vista and later never wrap; they start again from 0 when the device comes
// back, and are then handed on as one rising total, so that a new start is never taken for a
// wrap. XP's 32-bit totals are handed on as they are: the running reading of the shell tells a
// wrap from a new start, as for the dial-up counters.
#include "counters/CFollowedAdapter.h"
#include "counters/TrafficCounter.h"

#include <cstdint>
#include <string>

class CAdapterCounter : public CTrafficCounter {
public:
    CAdapterCounter(std::string guid, std::string alias);

    BOOL Open() override { return TRUE; }
    void Close() override {}
    DWORD GetValue(DWORD dwId) override { return static_cast<DWORD>(GetLargeValue(dwId)); }
    ULONGLONG GetLargeValue(DWORD dwId) override;
    BOOL Collect() override;
    BOOL RemoveCounter(DWORD) override { return TRUE; }
    BOOL AddCounter(DWORD dwId) override;
    BOOL AddCounterByPath(DWORD, const char*) override { return FALSE; }
    BOOL EnumObjects() override { return FALSE; }
    BOOL EnumObjectItems(const char*) override { return FALSE; }
    BOOL EnumObjectInstances(const char*) override { return FALSE; }
    BOOL OnObject(const char*) override { return FALSE; }
    BOOL OnCounter(const char*, const char*) override { return FALSE; }
    BOOL OnInstance(const char*, const char*) override { return FALSE; }

private:
    // One 64-bit total as a rising value across new starts of the device's counter.
    struct RISING {
        std::uint64_t nBase = 0;
        std::uint64_t nLast = 0;
        std::uint64_t Next(std::uint64_t nReading);
    };

    CFollowedAdapter m_adapter;
    RISING m_received;
    RISING m_sent;
    std::uint64_t m_nReceived = 0;
    std::uint64_t m_nSent = 0;
};
