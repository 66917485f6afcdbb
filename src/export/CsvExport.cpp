#include "export/CsvExport.h"

#include "framework/CArchive.h"
#include "log/MonthLog.h"

#include <cstdio>
#include <ctime>

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
