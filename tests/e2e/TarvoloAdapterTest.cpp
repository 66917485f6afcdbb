// The real tarvolo.exe metering a network adapter: a tun device in the test's own network
// namespace, which Wine's own iphlpapi.dll lists with the Linux kernel's link state and byte
// counts (no stand-in), and the simulated wlanapi.dll for the Wi-Fi network. The records are
// compared with the kernel's own counts.
#include "TarvoloTest.h"
#include "TunDevice.h"

#include "log/CRunningCheckpoint.h"

#include <prsht.h>

#include <string>
#include <vector>

using namespace e2e;

namespace {

class TarvoloAdapter : public Tarvolo {
protected:
    void SetUp() override {
        Tarvolo::SetUp();
        ASSERT_TRUE(TunDevice::Available()) << "not inside the test's own network namespace";
        for (const char* value : {"AdapterGuid", "WlanNetwork"})
            DeleteRegistryValue(HKEY_CURRENT_USER, kUserKey, value);
        // Wine announces no change of the interfaces: the program's own look finds them.
        ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kUserKey, "AdapterCheckSeconds", 1));
        // Every sample goes to "clog.run", where the test sees what the program has read.
        ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kUserKey, "CheckpointSeconds", 1));
    }

    // The adapter chosen by its name alone, as a deployment script would write it.
    void Choose(const std::string& name, const std::string& network = "") {
        ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, kUserKey, "AdapterName", name));
        if (!network.empty()) {
            ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, kUserKey, "WlanNetwork", network));
        }
    }

    // A period runs from its first sample on: it is in "clog.run" at once.
    bool PeriodRuns() {
        return GetFileAttributesA(install.Folder().File("clog.run").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    }
    void ExpectPeriodBegins() {
        EXPECT_TRUE(WaitUntil([&] { return PeriodRuns(); }, kPatience)) << "no period began";
    }
    // A sample of the running period has read this many bytes received.
    void ExpectSampleReads(long long received) {
        CRunningCheckpoint checkpoint;
        checkpoint.SetPath(install.Folder().File("clog.run"));
        EXPECT_TRUE(WaitUntil(
            [&] {
                const auto running = checkpoint.Read();
                return running && running->info.m_nReceived == received;
            },
            kPatience))
            << "no sample read " << received;
    }
    // The lines of the adapter list on the page "Verbindung" of the sheet a second start opens,
    // and the one chosen.
    std::vector<std::string> AdapterLines(std::string& chosen) {
        std::vector<std::string> lines;
        EXPECT_EQ(0u, StartAndWait("").value_or(999));
        const HWND sheet = WaitForWindow({"", kSheetCaption, running->ProcessId()}, kPatience);
        if (!sheet)
            return lines;
        SendMessageA(sheet, PSM_SETCURSEL, 1, 0); // "Verbindung"
        const HWND list = GetDlgItem(PropSheet_GetCurrentPageHwnd(sheet), 1032);
        // Asked across processes, Wine hands the list's text over in its own width only.
        WCHAR line[512];
        const LRESULT nCount = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < nCount; ++i) {
            char narrow[1024] = {};
            if (SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line)) != LB_ERR)
                WideCharToMultiByte(CP_ACP, 0, line, -1, narrow, sizeof narrow, nullptr, nullptr);
            lines.push_back(narrow);
        }
        const LRESULT nChosen = SendMessageW(list, LB_GETCURSEL, 0, 0);
        chosen = nChosen >= 0 && nChosen < nCount ? lines[nChosen] : "";
        SendMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
        return lines;
    }
    // The kernel's counts once the period has begun, to compare its record with.
    void Counts(unsigned long long& received, unsigned long long& sent) {
        ASSERT_TRUE(tun.KernelCounts(received, sent)) << tun.Error();
    }

    TunDevice tun;
};

} // namespace

// A stick is plugged in, carries traffic both ways, goes down, comes back and is pulled out:
// two records with the kernel's bytes, exact to the byte, in the month and the volume use.
TEST_F(TarvoloAdapter, AStickGoesDownComesBackAndIsPulledOut_TwoRecordsOfTheKernelsBytes) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kUserKey, "VolumeLimitMB", 1));
    Choose("tvstick0");
    ASSERT_NE(nullptr, StartRunning());
    // Not plugged in: no error, nothing counts.
    ASSERT_TRUE(tun.Create("tvstick0")) << tun.Error();
    EXPECT_FALSE(WaitUntil([&] { return PeriodRuns(); }, kWatcherNotices)) << "down, yet counted";
    // The page lists it, as not connected and chosen, and leaves the loopback out.
    std::string chosen;
    const std::vector<std::string> lines = AdapterLines(chosen);
    std::string listed;
    for (const std::string& line : lines)
        listed += line + "|";
    EXPECT_EQ(0u, chosen.find("tvstick0 (nicht verbunden)")) << chosen << " of " << listed;
    for (const std::string& line : lines)
        EXPECT_NE(0u, line.find("lo")) << line;

    ASSERT_TRUE(tun.SetUp()) << tun.Error();
    ExpectPeriodBegins();
    unsigned long long received0 = 0, sent0 = 0, received1 = 0, sent1 = 0;
    Counts(received0, sent0);
    ASSERT_TRUE(tun.Receive(900, 1000)) << tun.Error();
    ASSERT_TRUE(tun.Send(50, 1472)) << tun.Error();
    ASSERT_TRUE(tun.SetDown()) << tun.Error();
    CConnectionList records = WaitForRecords(1);
    ASSERT_EQ(1u, records.size());
    Counts(received1, sent1);
    EXPECT_EQ(static_cast<long long>(received1 - received0), records[0].m_nReceived);
    EXPECT_EQ(static_cast<long long>(sent1 - sent0), records[0].m_nSent);
    EXPECT_LE(900000, records[0].m_nReceived);
    EXPECT_TRUE(WaitUntil(
        [] {
            return ReadRegistryValue(HKEY_CURRENT_USER, kUserKey, "VolumeWarnedPercent") ==
                   std::string("\x50\0\0\0", 4);
        },
        kPatience))
        << "no warning at 80 % of the limit";

    ASSERT_TRUE(tun.SetUp()) << tun.Error();
    ExpectPeriodBegins();
    ASSERT_TRUE(tun.Receive(10, 1000)) << tun.Error();
    // A device pulled out takes its counters along: what moved since the last sample is gone.
    ExpectSampleReads(10000);
    ASSERT_TRUE(tun.Remove()) << tun.Error();
    records = WaitForRecords(2);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(10000, records[1].m_nReceived);
    EXPECT_TRUE(WaitForMonthReceived(records[0].m_nReceived + records[1].m_nReceived));
    ASSERT_TRUE(QuitRunning());
}

// With a network named, a Wi-Fi adapter counts only on it; where the network cannot be read,
// as if on it.
TEST_F(TarvoloAdapter, AWifiAdapterCountsOnlyOnTheNamedNetworkOrWhereItCannotBeRead) {
    Choose("tvwlan0", "Handy");
    ASSERT_TRUE(Sim({{"wlan_interface", "tvwlan0"}, {"wlan_ssid", "Heim"}}));
    ASSERT_NE(nullptr, StartRunning());
    ASSERT_TRUE(tun.Create("tvwlan0") && tun.SetUp()) << tun.Error();
    EXPECT_FALSE(WaitUntil([&] { return PeriodRuns(); }, kWatcherNotices))
        << "counted on the home network";

    ASSERT_TRUE(Sim({{"wlan_ssid", "Handy"}}));
    ExpectPeriodBegins();
    ASSERT_TRUE(tun.Receive(20, 1000)) << tun.Error();
    ASSERT_TRUE(Sim({{"wlan_ssid", "Heim"}}));
    CConnectionList records = WaitForRecords(1);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(20000, records[0].m_nReceived);

    // Windows 11 without the location permission: the network is unknown, the adapter counts.
    ASSERT_TRUE(Sim({{"wlan_access", "denied"}}));
    ExpectPeriodBegins();
    ASSERT_TRUE(tun.Receive(5, 1000)) << tun.Error();
    ASSERT_TRUE(tun.SetDown()) << tun.Error();
    records = WaitForRecords(2);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(5000, records[1].m_nReceived);
    ASSERT_TRUE(QuitRunning());
}
