#include "export/CsvExport.h"

#include "framework/CArchive.h"
#include "log/BillingPeriod.h"
#include "log/MonthLog.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>

namespace {

const char CSV_LINE_END[] = "\r\n";

std::string FormatIso(const std::tm& time, const char* zone) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%s", time.tm_year + 1900,
                  time.tm_mon + 1, time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, zone);
    return text;
}

// The time broken down by convert (_gmtime64_s or _localtime64_s), followed by zone; empty
// when the C library cannot convert it.
std::string FormatIsoTime(TIME64 time, errno_t (*convert)(std::tm*, const __time64_t*),
                          const char* zone) {
    const __time64_t value = time;
    std::tm broken{};
    if (convert(&broken, &value) != 0)
        return std::string();
    return FormatIso(broken, zone);
}

struct Totals {
    std::int64_t nConnections = 0;
    std::int64_t nDuration = 0;
    std::int64_t nReceived = 0;
    std::int64_t nSent = 0;

    void Add(const CConnectionInfo& info) {
        ++nConnections;
        nDuration += info.m_nDuration;
        nReceived += info.m_nReceived;
        nSent += info.m_nSent;
    }
};

std::ostream& operator<<(std::ostream& out, const Totals& totals) {
    return out << totals.nConnections << ',' << totals.nDuration << ',' << totals.nReceived << ','
               << totals.nSent << CSV_LINE_END;
}

struct PeriodTotal : Totals {
    TIME64 next = 0;
};

// The local calendar day of a time as "2027-03-28"; empty where the C library cannot convert it.
std::string LocalDate(TIME64 time) {
    return FormatIsoTime(time, &_localtime64_s, "").substr(0, 10);
}

} // namespace

std::string FormatIsoUtc(TIME64 time) {
    return FormatIsoTime(time, &_gmtime64_s, "Z");
}

std::string FormatIsoLocal(TIME64 time) {
    return FormatIsoTime(time, &_localtime64_s, "");
}

void WriteConnectionsCsv(const CConnectionList& list, std::ostream& out) {
    out << "start_utc,start_local,duration_s,received_bytes,sent_bytes" << CSV_LINE_END;
    for (const CConnectionInfo& info : list) {
        out << FormatIsoUtc(info.m_timeStart) << ',' << FormatIsoLocal(info.m_timeStart) << ','
            << info.m_nDuration << ',' << info.m_nReceived << ',' << info.m_nSent << CSV_LINE_END;
    }
}

void WritePeriodsCsv(const CConnectionList& list, int nBillingDay, std::ostream& out) {
    // Keyed by the start, so that a record booked after a clock was set back still joins its
    // period in order.
    std::map<TIME64, PeriodTotal> periods;
    PeriodTotal* period = nullptr;
    TIME64 start = 0;
    for (const CConnectionInfo& info : list) {
        // Neighbouring records nearly always share a period; the C library's time conversions
        // are the cost here, for up to 65,535 records.
        if (!period || info.m_timeStart < start || info.m_timeStart >= period->next) {
            start = BillingPeriodStart(info.m_timeStart, nBillingDay);
            period = &periods[start];
            period->next = NextBillingPeriodStart(start, nBillingDay);
        }
        period->Add(info);
    }
    out << "period_start_local,period_end_local,connections,duration_s,received_bytes,sent_bytes"
        << CSV_LINE_END;
    for (const auto& entry : periods) {
        const PeriodTotal& total = entry.second;
        out << FormatIsoLocal(entry.first) << ',' << FormatIsoLocal(total.next) << ',' << total;
    }
}

void WriteDaysCsv(const CConnectionList& list, std::ostream& out) {
    // Keyed by the local midnight: the dates then come in order, and a record booked after a
    // clock was set back still joins its day.
    std::map<TIME64, Totals> days;
    Totals* day = nullptr;
    TIME64 start = 0;
    TIME64 next = 0;
    for (const CConnectionInfo& info : list) {
        if (!day || info.m_timeStart < start || info.m_timeStart >= next) {
            start = LocalDayStart(info.m_timeStart);
            next = NextLocalDayStart(start);
            day = &days[start];
        }
        day->Add(info);
    }
    out << "date,connections,duration_s,received_bytes,sent_bytes" << CSV_LINE_END;
    for (const auto& entry : days)
        out << LocalDate(entry.first) << ',' << entry.second;
}

void WriteMonthsCsv(const MonthTable& table, TIME64 saveTime, std::ostream& out) {
    out << "month,duration_s,received_bytes,sent_bytes" << CSV_LINE_END;
    for (int month = 1; month <= 12; ++month) {
        const MONTHTOTAL& entry = table[month];
        out << month << ',' << entry.nDuration << ',' << entry.nReceived << ',' << entry.nSent
            << CSV_LINE_END;
    }
    out << "# saved_utc," << FormatIsoUtc(saveTime) << CSV_LINE_END;
}

CConnectionList ReadConnectionsFile(const std::string& path) {
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    CArchive archive(file, CArchive::load, CArchive::DEFAULT_BUFFER_SIZE);
    CConnectionList list;
    LoadConnectionList(archive, list);
    return list;
}

TIME64 ReadMonthsFile(const std::string& path, MonthTable& table) {
    CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
    table = MonthTable{};
    return ReadMonthLog(file, table);
}
