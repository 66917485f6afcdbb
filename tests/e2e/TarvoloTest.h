#pragma once
// The real tarvolo.exe in a fresh folder with the dial-up simulator beside it, driven the way a
// user and the system would drive it: connections and byte counters in the simulator, a second
// start, menu commands to the hidden frame, answers to its message boxes.
#include "E2ePaths.h"
#include "MessageBoxWindow.h"
#include "ProgramInstall.h"
#include "Registry.h"
#include "TrayIcons.h"
#include "WindowSearch.h"

#include "framework/CArchive.h"
#include "framework/CFile.h"
#include "log/CConnectionList.h"
#include "log/MonthLog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>

namespace e2e {

constexpr DWORD kPatience = 20000;
constexpr long long kMegabyte = 1048576;
// Longer than one period of the measuring timer (5 s): time in which nothing may happen.
constexpr DWORD kOneMeasuringStep = 6500;
// Time for the watcher to see a change of the connections and the frame to take it in, where a
// test shows that nothing happens.
constexpr DWORD kWatcherNotices = 3000;

const std::string kFrameClass = "5D0C3A71-9B2E-4F86-A1C4-7E3B92D0F615";
const std::string kSheetCaption = "Tarvolo - Einstellungen";
const std::string kUserKey = "software\\Brenkor\\Tarvolo";
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const kReportFiles[] = {"clog.dat", "mlog.dat", "frame.htm", "clog.htm", "mlog.htm"};

class Tarvolo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(install.Installed());
        ASSERT_TRUE(install.HasSimulator()) << "the build has no dial-up simulator";
        // Each test starts as on a machine where the program never ran.
        for (const char* value :
             {"Profile", "CheckpointSeconds", "VolumeLimitMB", "BillingDay", "VolumeReceivedOnly",
              "VolumeWarnPercent", "VolumeWarnedPeriod", "VolumeWarnedPercent"})
            DeleteRegistryValue(HKEY_CURRENT_USER, kUserKey, value);
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo");
        ASSERT_TRUE(Sim({{"connections", "0"}, {"received", "1000"}, {"sent", "500"}}));
    }

    void TearDown() override {
        if (running && running->IsRunning())
            running->Terminate();
        WaitForTrayIconCount(0, kPatience);
    }

    // Sets values of the simulator; the fixture remembers the connections and the counters.
    bool Sim(const std::map<std::string, std::string>& values) {
        for (const auto& value : values) {
            if (value.first == "connections")
                m_bConnected = value.second != "0";
            else if (value.first == "received")
                m_nReceived = std::stoll(value.second);
            else if (value.first == "sent")
                m_nSent = std::stoll(value.second);
        }
        return install.Simulator().Set(values);
    }

    // Starts the instance that keeps running; its hidden frame once its start-up is done, and
    // with a connection up, once the sample that begins the online period is taken.
    HWND StartRunning(EnvironmentChanges environment = {}) {
        running = install.Start("", std::move(environment));
        if (!running->Started())
            return nullptr;
        HWND frame = WaitForWindow({kFrameClass, "", running->ProcessId()}, kPatience);
        EXPECT_TRUE(running->WaitUntilIdle(kPatience)) << "the start-up did not end";
        if (m_bConnected)
            ExpectOnlinePeriodBegins(0);
        return frame;
    }

    // Starts another instance and waits for its end; its exit code.
    std::optional<DWORD> StartAndWait(const std::string& arguments) {
        auto other = install.Start(arguments);
        return other->Started() ? other->WaitForExit(kPatience) : std::nullopt;
    }

    // "tarvolo.exe /quit" and the running instance's end.
    bool QuitRunning() {
        return StartAndWait("/quit").has_value() && running->WaitForExit(kPatience).has_value();
    }

    // An online period: dial in, the counters move by the volumes, hang up. The online period
    // begins with a sample of the counters: traffic played after it counts.
    void DialIn() {
        const long before = SamplesTaken();
        ASSERT_TRUE(Sim({{"connections", "1"}}));
        ExpectOnlinePeriodBegins(before);
    }
    void ExpectOnlinePeriodBegins(long samplesBefore) {
        EXPECT_TRUE(WaitUntil([&] { return SamplesTaken() > samplesBefore; }, kPatience))
            << "no sample began the online period";
    }
    // The counters move to the running totals of received + 1000 and sent + 500 bytes, and a
    // sample of the measuring timer takes them.
    void Traffic(long long received, long long sent) { Counters(1000 + received, 500 + sent); }
    void Counters(long long received, long long sent) {
        const long before = SamplesTaken();
        ASSERT_TRUE(Sim({{"received", std::to_string(received)}, {"sent", std::to_string(sent)}}));
        EXPECT_TRUE(WaitUntil(
            [&] {
                const SampleNote note = LastSample();
                return IsRunningProgram(note) && note.count > before && note.received == received &&
                       note.sent == sent;
            },
            kPatience))
            << "no sample took the counters " << received << " and " << sent;
    }
    // Hangs up, and waits for the sample that ends the online period.
    void HangUpAfterLastSample() {
        const long before = SamplesTaken();
        HangUp();
        EXPECT_TRUE(WaitUntil([&] { return SamplesTaken() > before; }, kPatience))
            << "no sample ended the online period";
    }
    void HangUp() { ASSERT_TRUE(Sim({{"connections", "0"}})); }

    // The simulator's note of the last sample of the counters: which process took it, its
    // number in that process, and the volumes it took.
    struct SampleNote {
        DWORD processId = 0;
        long count = 0;
        long long received = 0;
        long long sent = 0;
    };
    SampleNote LastSample() {
        const std::string text =
            ReadWholeFile(install.Simulator().Path() + ".collects").value_or("");
        SampleNote note;
        unsigned long processId = 0;
        if (std::sscanf(text.c_str(), "%lu:%ld:%lld:%lld", &processId, &note.count, &note.received,
                        &note.sent) != 4)
            return SampleNote{};
        note.processId = processId;
        return note;
    }
    bool IsRunningProgram(const SampleNote& note) const {
        return running && note.processId == running->ProcessId();
    }
    // How many samples the running program has taken.
    long SamplesTaken() {
        const SampleNote note = LastSample();
        return IsRunningProgram(note) ? note.count : 0;
    }
    // The frame has handled every message it was sent before: a message sent now returns.
    static bool FrameHasCaughtUp(HWND frame) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &result) != 0;
    }

    // The records of "clog.dat" once there are count of them.
    CConnectionList WaitForRecords(size_t count) {
        CConnectionList records;
        WaitUntil([&] { return (records = Records()).size() == count; }, kPatience);
        return records;
    }

    // One record in "clog.dat" with these volumes.
    void ExpectOneRecord(long long received, long long sent) {
        const CConnectionList records = WaitForRecords(1);
        ASSERT_EQ(1u, records.size());
        EXPECT_EQ(received, records.front().m_nReceived);
        EXPECT_EQ(sent, records.front().m_nSent);
    }

    CConnectionList Records() {
        CConnectionList records;
        try {
            CFile file(install.Folder().File("clog.dat"), CFile::modeRead | CFile::shareDenyNone);
            CArchive archive(file, CArchive::load);
            LoadConnectionList(archive, records);
        } catch (...) {
            records.clear(); // not there yet, or being replaced
        }
        return records;
    }

    MonthTable Months() {
        MonthTable table{};
        try {
            CFile file(install.Folder().File("mlog.dat"), CFile::modeRead | CFile::shareDenyNone);
            ReadMonthLog(file, table);
        } catch (...) {
        }
        return table;
    }

    // Whether "mlog.dat" comes to hold this volume received in the current month: the program
    // saves the month totals after "clog.dat".
    bool WaitForMonthReceived(long long received) {
        return WaitUntil([&] { return Months()[CurrentMonth()].nReceived == received; }, kPatience);
    }

    static int CurrentMonth() {
        const std::time_t now = std::time(nullptr);
        return std::localtime(&now)->tm_mon + 1;
    }

    std::vector<HWND> SheetsOf(DWORD processId) {
        return FindTopLevelWindows({"", kSheetCaption, processId});
    }

    ProgramInstall install;
    std::unique_ptr<ProgramRun> running;
    bool m_bConnected = false;
    long long m_nReceived = 1000;
    long long m_nSent = 500;
};

} // namespace e2e
