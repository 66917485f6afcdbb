#pragma once
// A connection log over a folder of its own, with the clock set and every message box
// captured. Helpers read and write the data files through their own image code, so that tests
// look at the files, not at the log's insides.
#include "ExpectedPages.h"
#include "framework/CArchive.h"
#include "log/CConnectionLog.h"
#include "log/MonthLog.h"
#include "resource.h"
#include "support/FileBytes.h"
#include "support/LocalTime.h"
#include "support/MessageCapture.h"
#include "support/ScopedClock.h"
#include "support/TempFolder.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <memory>
#include <string>

constexpr TIME64 DAY = 86400;
constexpr std::int64_t MB = 1048576;

// The user's short date of a time, as the system's own date formatting writes it (German
// settings write 17.01.2002 or 17.1.2002, depending on the system's locale data).
inline std::string ShortDate(TIME64 time) {
    const __time64_t value = time;
    std::tm local{};
    _localtime64_s(&local, &value);
    SYSTEMTIME day{};
    day.wYear = static_cast<WORD>(local.tm_year + 1900);
    day.wMonth = static_cast<WORD>(local.tm_mon + 1);
    day.wDay = static_cast<WORD>(local.tm_mday);
    char text[80] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, text, sizeof text);
    return text;
}

// A report template as it reaches the disk: every line ends in CR CR LF.
inline std::string TemplateOnDisk(int id) {
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    return InFileForm(std::string_view(bytes, SizeofResource(nullptr, info)));
}

// The month page as it reaches the disk, one row of cells (month, duration, megabytes received,
// sent and in all) for each of the three months it shows.
inline std::string MonthPage(std::initializer_list<std::initializer_list<std::string>> rows) {
    std::string page = TemplateOnDisk(IDR_MLOG_HEAD);
    for (std::initializer_list<std::string> cells : rows)
        page += Row(cells);
    return page + MONTH_PAGE_FOOT;
}

// The month table with every entry filled: entry m holds duration 100 + m, padding 0xAB,
// m + 1 megabytes received and m + 1 kilobytes sent.
inline MonthTable FullMonthTable() {
    MonthTable table{};
    for (int m = 0; m < MONTH_ENTRIES; ++m)
        table[m] = {100 + m, 0xAB, (m + 1) * MB, (m + 1) * 1024};
    return table;
}

inline int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class LogFolderTest : public ::testing::Test {
protected:
    // The application selects the user's locale for the C library at start-up.
    static void SetUpTestSuite() { std::setlocale(LC_ALL, ""); }

    void TearDown() override {
        if (!m_bMessagesExpected) {
            EXPECT_THAT(m_messages.Texts(), ::testing::IsEmpty());
        }
    }

    std::string Path(const std::string& name) const { return m_folder / name; }

    std::unique_ptr<CConnectionLog> OpenLog() {
        return std::make_unique<CConnectionLog>(m_folder.Path());
    }

    void WriteMonthFile(TIME64 saveTime, const MonthTable& table) {
        CFile file(Path("mlog.dat"), CFile::modeCreate | CFile::modeWrite);
        WriteMonthLog(file, saveTime, table);
    }

    MonthTable ReadMonthFile(TIME64* saveTime = nullptr) {
        MonthTable table{};
        CFile file(Path("mlog.dat"), CFile::modeRead);
        const TIME64 time = ReadMonthLog(file, table);
        if (saveTime)
            *saveTime = time;
        return table;
    }

    // A month table saved a day ago: the log starts without resetting anything.
    void WriteRecentMonthFile(const MonthTable& table = MonthTable{}) {
        WriteMonthFile(Clock::Now() - DAY, table);
    }

    void WriteConnectionFile(const CConnectionList& list) {
        CFile file(Path("clog.dat"), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(file, CArchive::store);
        StoreConnectionList(archive, list);
        archive.Close();
    }

    CConnectionList ReadConnectionFile() {
        CFile file(Path("clog.dat"), CFile::modeRead);
        CArchive archive(file, CArchive::load);
        CConnectionList list;
        LoadConnectionList(archive, list);
        return list;
    }

    // One connection from start for duration seconds, counters starting at 0.
    void Connect(CConnectionLog& log, TIME64 start, int duration, std::int64_t received,
                 std::int64_t sent) {
        m_clock.Set(start);
        log.StartConnection(0, 0);
        log.UpdateConnection(0, 0);
        OnlineFor(log, duration, received, sent);
        log.EndConnection();
    }

    // So many seconds more online, sampled at least once a minute as the program does (a longer
    // gap would be a sleep); the samples read these counters.
    void OnlineFor(CConnectionLog& log, int seconds, std::int64_t received, std::int64_t sent) {
        int left = seconds;
        do {
            const int step = left < 60 ? left : 60;
            m_clock.Advance(step);
            log.UpdateConnection(received, sent);
            left -= step;
        } while (left > 0);
    }

    void ExpectMessages() { m_bMessagesExpected = true; }

    TempFolder m_folder;
    ScopedClock m_clock{LocalTime(2002, 1, 20, 12)};
    MessageCapture m_messages;
    bool m_bMessagesExpected = false;
};
