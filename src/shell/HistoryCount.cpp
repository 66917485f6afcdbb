#include "shell/HistoryCount.h"

#include "framework/FillPlaceholders.h"
#include "framework/LoadStringResource.h"
#include "log/BillingPeriod.h"
#include "resource.h"
#include "shell/VolumeTexts.h"

#include <algorithm>
#include <map>

namespace {

struct Period {
    int nBillingDay = 1;
    TIME64 start = 0;
    TIME64 next = 0;
    std::vector<TIME64> dayStarts; // local midnights: the days the clocks change are not 24 hours
};

Period PeriodAt(TIME64 now, int nBillingDay) {
    Period period;
    period.nBillingDay = nBillingDay;
    period.start = BillingPeriodStart(now, nBillingDay);
    period.next = NextBillingPeriodStart(period.start, nBillingDay);
    for (TIME64 day = period.start; day >= 0 && day < period.next; day = NextLocalDayStart(day))
        period.dayStarts.push_back(day);
    if (period.dayStarts.empty())
        period.dayStarts.push_back(period.start);
    return period;
}

// A connection begun after the period (a clock set back meanwhile) counts on its last day, as
// the meter counts it in the period.
int DayOf(const Period& period, TIME64 time) {
    const auto after = std::upper_bound(period.dayStarts.begin(), period.dayStarts.end(), time);
    return std::max(0, static_cast<int>(after - period.dayStarts.begin()) - 1);
}

struct Tally {
    HistoryFigures figures;
    int nConnections = 0;                   // those that count in the period, split ones included
    std::map<TIME64, std::int64_t> earlier; // the use of the periods before, by their start
    TIME64 earlierStart = 0;                // the last of them asked for, up to earlierNext
    TIME64 earlierNext = 0;
};

// Neighbouring records nearly always share a period; the C library's time conversions are the
// cost here, for up to 65,535 records at every sample.
std::int64_t& EarlierPeriod(Tally& tally, TIME64 recordStart, int nBillingDay) {
    if (recordStart < tally.earlierStart || recordStart >= tally.earlierNext) {
        tally.earlierStart = BillingPeriodStart(recordStart, nBillingDay);
        tally.earlierNext = NextBillingPeriodStart(tally.earlierStart, nBillingDay);
    }
    return tally.earlier[tally.earlierStart];
}

void CountConnection(const CConnectionInfo& info, const Period& period,
                     const CVolumeWatch::SPLIT* pSplit, Tally& tally) {
    HistoryFigures& figures = tally.figures;
    const bool bReceivedOnly = figures.bReceivedOnly;
    if (info.m_timeStart >= period.start) {
        HistoryDay& day = figures.days[static_cast<std::size_t>(DayOf(period, info.m_timeStart))];
        day.nReceived += info.m_nReceived;
        day.nSent += info.m_nSent;
        figures.nUsed += info.GetUse(bReceivedOnly);
        ++tally.nConnections;
        return;
    }
    std::int64_t& earlier = EarlierPeriod(tally, info.m_timeStart, period.nBillingDay);
    if (!pSplit || pSplit->recordStart != info.m_timeStart) {
        earlier += info.GetUse(bReceivedOnly);
        return;
    }
    // What it had moved by the split stays in the period it began in.
    figures.days.front().nReceived +=
        std::max<std::int64_t>(0, info.m_nReceived - pSplit->nReceived);
    figures.days.front().nSent += std::max<std::int64_t>(0, info.m_nSent - pSplit->nSent);
    const std::int64_t nAfter =
        std::max<std::int64_t>(0, info.GetUse(bReceivedOnly) - pSplit->Before(bReceivedOnly));
    figures.nUsed += nAfter;
    earlier += info.GetUse(bReceivedOnly) - nAfter;
    ++tally.nConnections;
}

// The use so far spread over the whole period at the pace of the time gone by, in whole
// numbers: use times length would overflow for a large use over a month of seconds.
std::int64_t Forecast(std::int64_t nUsed, TIME64 elapsed, TIME64 length) {
    return nUsed / elapsed * length + nUsed % elapsed * length / elapsed;
}

std::string UsedLine(const HistoryFigures& figures, const Period& period, TIME64 now,
                     const CNumberFormat& format) {
    std::string line;
    if (figures.nLimit == 0) {
        line = fw::FillPlaceholders(fw::LoadStringResource(IDS_HISTORY_USED),
                                    {WholeMegabytes(figures.nUsed, format)});
    } else {
        line = fw::FillPlaceholders(fw::LoadStringResource(IDS_HISTORY_USED_OF_LIMIT),
                                    {WholeMegabytes(figures.nUsed, format),
                                     WholeMegabytes(figures.nLimit, format),
                                     std::to_string(figures.nUsed * 100 / figures.nLimit)});
        const int nDaysLeft = static_cast<int>(figures.days.size()) - 1 - figures.nToday;
        if (nDaysLeft == 1)
            line += fw::LoadStringResource(IDS_HISTORY_DAY_LEFT);
        else if (nDaysLeft > 1)
            line += fw::FillPlaceholders(fw::LoadStringResource(IDS_HISTORY_DAYS_LEFT),
                                         {std::to_string(nDaysLeft)});
    }
    // On the first day the pace of a few hours says little.
    if (figures.nToday >= 1 && now > period.start)
        line += fw::FillPlaceholders(
            fw::LoadStringResource(IDS_HISTORY_FORECAST),
            {DayAndMonth(period.next),
             WholeMegabytes(Forecast(figures.nUsed, now - period.start, period.next - period.start),
                            format)});
    return line;
}

// The periods from the oldest that holds a connection up to the one before now's, those
// without one included, oldest first.
std::string EarlierLine(const Tally& tally, const Period& period, const CNumberFormat& format) {
    if (tally.earlier.empty())
        return {};
    std::string list;
    for (TIME64 start = tally.earlier.begin()->first; start >= 0 && start < period.start;) {
        const auto found = tally.earlier.find(start);
        if (!list.empty())
            list += ", ";
        list += WholeMegabytes(found == tally.earlier.end() ? 0 : found->second, format) + " MB";
        const TIME64 next = NextBillingPeriodStart(start, period.nBillingDay);
        if (next <= start)
            break;
        start = next;
    }
    return fw::FillPlaceholders(fw::LoadStringResource(IDS_HISTORY_PREVIOUS), {list});
}

} // namespace

HistoryFigures CountHistory(const CConnectionList& connections, const CVolumeWatch& watch,
                            TIME64 now, const CNumberFormat& format) {
    const bool bLimit = watch.IsOn();
    const Period period = PeriodAt(now, bLimit ? watch.Settings().nBillingDay : 1);
    Tally tally;
    HistoryFigures& figures = tally.figures;
    figures.days.resize(period.dayStarts.size());
    figures.nToday = DayOf(period, now);
    figures.bReceivedOnly = bLimit && watch.Settings().bReceivedOnly;
    figures.nLimit = bLimit ? watch.LimitBytes() : 0;
    const CVolumeWatch::SPLIT* pSplit = watch.SplitOf(period.start);
    for (const CConnectionInfo& info : connections)
        CountConnection(info, period, pSplit, tally);
    figures.line = tally.nConnections == 0 ? fw::LoadStringResource(IDS_HISTORY_EMPTY)
                                           : UsedLine(figures, period, now, format);
    figures.previous = EarlierLine(tally, period, format);
    return std::move(figures);
}
