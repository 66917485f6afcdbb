#pragma once
// The online period that runs: its record (start, duration and volumes, with the counters'
// readings at its start) kept up to date from each sample, and when it is due in "clog.run". It
// knows no file; its times come from Clock, which tests set.
//
// Its length is the tick count added up sample by sample, which a change of the clock does not
// move and whose wrap every 49.7 days does not matter. Where the clock's time since the start
// differs from it by more than CLOCK_CHANGE_SECONDS, the clock was set meanwhile: the period then
// began its measured length before now.
#include "log/CConnectionInfo.h"

#include <cstdint>

class CRunningPeriod {
public:
    // A reading that could not be taken. As a start reading it leaves the baseline to the first
    // update.
    static constexpr std::int64_t MISSING_READING = -1;
    // An update with this reading leaves that volume as it is: a counter that the system clears
    // with the link reads it once the link is down.
    static constexpr std::int64_t READING_KEEPS_VOLUME = 0;
    static constexpr std::int64_t CLOCK_CHANGE_SECONDS = 60;
    // Samples come every few seconds. A longer time without one is a machine that slept (modern
    // standby may say nothing of it) or stood still, and no online time.
    static constexpr std::uint32_t GAP_MS = 60000;

    // A period begins now with these readings; one still running is dropped.
    void Start(std::int64_t nReceived, std::int64_t nSent);
    // New readings: the volumes are the readings less the start readings, the duration the
    // length measured so far.
    void Update(std::int64_t nReceived, std::int64_t nSent);
    // The period as of its last update; none runs afterwards.
    CConnectionInfo End();
    // The period as of its last update, and a new one that begins now from the readings of that
    // update: what the counters move from here on is the new period's.
    CConnectionInfo Cut();
    // Ends the period's time at the moment at where it lies within it (a midnight passed since
    // the last update): the period is booked as ending there.
    void EndTimeAt(TIME64 at);
    // The period as of its last update, and a new one that begins where it ends, from the
    // readings of that update. Unlike a cut at a gap, the new one is online time from its start.
    CConnectionInfo Continue();

    bool IsRunning() const { return m_bRunning; }
    // More than GAP_MS since the last update: the next one should follow a Cut().
    bool IsGapSinceUpdate() const;
    // The period began at a cut and no byte has moved since: a link that went down while the
    // machine slept, with nothing to book.
    bool IsIdleSinceCut() const;
    // The running period as of its last update.
    const CConnectionInfo& Info() const { return m_info; }

    // With an interval, the first update of a period is due in "clog.run", and then one each
    // time the interval has passed since the last; 0 makes none due.
    void SetCheckpointInterval(unsigned nSeconds);
    bool HasCheckpoints() const { return m_nCheckpointMs != 0; }
    bool IsCheckpointDue() const;
    void CheckpointTaken() { m_nCheckpointAtMs = m_nOnlineMs; }

private:
    void Begin(TIME64 start, std::int64_t nReceived, std::int64_t nSent);
    void UpdateDuration();

    CConnectionInfo m_info;
    bool m_bRunning = false;
    bool m_bFromCut = false;
    std::uint64_t m_nOnlineMs = 0;   // the length by the tick count
    std::uint32_t m_dwLastTicks = 0; // the tick count at the last update
    std::uint64_t m_nCheckpointMs = 0;
    std::uint64_t m_nCheckpointAtMs = 0; // m_nOnlineMs when the period was last checkpointed
};
