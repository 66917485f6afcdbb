#pragma once
// PerfStats statistics of a test's own: descriptions below a scratch key of the local machine,
// live data below a scratch key of the dynamic-data root, and a clock that the test sets.
#include "counters/PerfStatsReader.h"

#include "support/ScratchKey.h"

#include <memory>
#include <string>

class PerfStatsTestSource {
public:
    PerfStatsTestSource()
        : m_enum(HKEY_LOCAL_MACHINE), m_data(HKEY_DYN_DATA, "TarvoloTests"),
          m_tick(std::make_shared<DWORD>(0)) {}

    PERFSTATS_SOURCE Source() const {
        auto tick = m_tick;
        return {m_enum.Root(), m_enum.Sub("Enum"), m_data.Root(), m_data.Sub("PerfStats"),
                [tick] { return *tick; }};
    }

    void SetTick(DWORD dwTick) { *m_tick = dwTick; }

    // A statistic with its "Differentiate" description.
    bool AddStatistic(const std::string& component, const std::string& statistic,
                      const std::string& differentiate = "FALSE") const {
        return m_enum.SetString("Enum\\" + component + "\\" + statistic, "Differentiate",
                                differentiate);
    }
    bool AddStatisticWithoutDescription(const std::string& component,
                                        const std::string& statistic) const {
        return m_enum.CreateKey("Enum\\" + component + "\\" + statistic);
    }
    bool SetRawValue(const std::string& path, DWORD value) const {
        return m_data.SetRaw("PerfStats\\StatData", path.c_str(), REG_BINARY, &value, 4,
                             REG_OPTION_VOLATILE);
    }
    bool SetData(const std::string& path, DWORD type, const void* data, DWORD cb) const {
        return m_data.SetRaw("PerfStats\\StatData", path.c_str(), type, data, cb,
                             REG_OPTION_VOLATILE);
    }
    // A value under StartStat or StopStat, so that starting or stopping the statistic succeeds.
    bool AllowStartStop(const std::string& path, bool bStart) const {
        const DWORD dwZero = 0;
        return m_data.SetRaw(bStart ? "PerfStats\\StartStat" : "PerfStats\\StopStat", path.c_str(),
                             REG_BINARY, &dwZero, 4, REG_OPTION_VOLATILE);
    }

private:
    ScratchKey m_enum;
    ScratchKey m_data;
    std::shared_ptr<DWORD> m_tick;
};
