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

#include <ctime>
#include <memory>
#include <string>

namespace e2e {

constexpr DWORD kPatience = 20000;
constexpr long long kMegabyte = 1048576;
// Longer than one period of the measuring timer (5 s), so that a sample is taken meanwhile.
constexpr DWORD kOneMeasuringStep = 6500;
// Time for the watcher to see a change of the connections and the frame to take it in.
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
        DeleteRegistryValue(HKEY_CURRENT_USER, kUserKey, "Profile");
        DeleteRegistryValue(HKEY_LOCAL_MACHINE, kRunKey, "Tarvolo");
        ASSERT_TRUE(Sim({{"connections", "0"}, {"received", "1000"}, {"sent", "500"}}));
    }

    void TearDown() override {
        if (running && running->IsRunning())
            running->Terminate();
        WaitForTrayIconCount(0, kPatience);
    }

    bool Sim(const std::map<std::string, std::string>& values) {
        return install.Simulator().Set(values);
    }

    // Starts the instance that keeps running; its hidden frame once it is there.
    HWND StartRunning(EnvironmentChanges environment = {}) {
        running = install.Start("", std::move(environment));
        if (!running->Started())
            return nullptr;
        HWND frame = WaitForWindow({kFrameClass, "", running->ProcessId()}, kPatience);
        // The first report of the watcher (nothing or something connected) is handled at once.
        Sleep(kWatcherNotices);
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

    // An online period: dial in, the counters move by the volumes, one measuring step, hang up.
    // The online period begins with a sample of the counters: traffic played after it counts.
    void DialIn() {
        const std::string before = Collections();
        Sim({{"connections", "1"}});
        WaitUntil([&] { return Collections() != before; }, kPatience);
    }
    // The simulator's note of the program's last sample of the counters.
    std::string Collections() {
        return ReadWholeFile(install.Simulator().Path() + ".collects").value_or("");
    }
    void Traffic(long long received, long long sent) {
        Sim({{"received", std::to_string(1000 + received)}, {"sent", std::to_string(500 + sent)}});
        Sleep(kOneMeasuringStep);
    }
    void HangUp() { Sim({{"connections", "0"}}); }

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

    static int CurrentMonth() {
        const std::time_t now = std::time(nullptr);
        return std::localtime(&now)->tm_mon + 1;
    }

    std::vector<HWND> SheetsOf(DWORD processId) {
        return FindTopLevelWindows({"", kSheetCaption, processId});
    }

    ProgramInstall install;
    std::unique_ptr<ProgramRun> running;
};

} // namespace e2e
