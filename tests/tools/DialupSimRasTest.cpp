// The simulated rasapi32.dll, loaded from the test program's folder as the program loads it.
#include "RasRecords.h"
#include "SimLibrary.h"
#include "support/DialupSimState.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

using dialup_sim::RasConnA;
using dialup_sim::RasConnStatusA;
using dialup_sim::RasDevInfoA;

namespace {

using RasEnumDevicesFn = DWORD(WINAPI*)(RasDevInfoA*, DWORD*, DWORD*);
using RasEnumConnectionsFn = DWORD(WINAPI*)(RasConnA*, DWORD*, DWORD*);
using RasGetConnectStatusFn = DWORD(WINAPI*)(HANDLE, RasConnStatusA*);
using RasConnectionNotificationFn = DWORD(WINAPI*)(HANDLE, HANDLE, DWORD);

constexpr DWORD kRasConnSize = sizeof(void*) == 4 ? 412 : 424; // the first layout
constexpr DWORD kRasConnStatusSize = 160;
constexpr DWORD kRasDevInfoSize = 152;
constexpr DWORD kBufferTooSmall = 603;
constexpr DWORD kRasmanCannotInitialize = 711;
constexpr DWORD kInvalidSize = 632;
constexpr DWORD kConnected = 0x2000;
constexpr DWORD kBothDirections = 3; // RASCN_Connection | RASCN_Disconnection

// Long enough for the simulator's 100 ms look at the file on a busy machine.
constexpr DWORD kSignalWaitMs = 3000;
constexpr DWORD kQuietWaitMs = 600;

// An auto-reset event of the test's own, as the watcher registers one.
class OwnedEvent {
public:
    HANDLE Get() const { return m_event.Get(); }
    void Close() { m_event.Reset(); }
    bool IsSignalledWithin(DWORD ms) const {
        return WaitForSingleObject(m_event.Get(), ms) == WAIT_OBJECT_0;
    }

private:
    fw::ScopedHandle m_event{CreateEventA(nullptr, FALSE, FALSE, nullptr)};
};

class RasSim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_library.IsLoaded());
        m_enumDevices = m_library.Get<RasEnumDevicesFn>("RasEnumDevicesA");
        m_enumConnections = m_library.Get<RasEnumConnectionsFn>("RasEnumConnectionsA");
        m_getStatus = m_library.Get<RasGetConnectStatusFn>("RasGetConnectStatusA");
        m_notification = m_library.Get<RasConnectionNotificationFn>("RasConnectionNotificationA");
        ASSERT_TRUE(m_enumDevices && m_enumConnections && m_getStatus && m_notification);
    }

    // The watcher's way of counting: one 412-byte entry and a size of 0 first.
    DWORD AskConnectionCount(DWORD* result = nullptr) {
        RasConnA probe{};
        probe.dwSize = kRasConnSize;
        DWORD size = 0;
        DWORD count = 0;
        const DWORD code = m_enumConnections(&probe, &size, &count);
        if (result)
            *result = code;
        return count;
    }

    std::vector<RasConnA> ListConnections() {
        const DWORD count = AskConnectionCount();
        std::vector<RasConnA> entries(count ? count : 1);
        entries[0].dwSize = kRasConnSize;
        DWORD size = count * kRasConnSize;
        DWORD listed = 0;
        EXPECT_EQ(0u, m_enumConnections(entries.data(), &size, &listed));
        EXPECT_EQ(count, listed);
        entries.resize(listed);
        return entries;
    }

    DWORD StatusOf(HANDLE connection, RasConnStatusA& status) {
        status = RasConnStatusA{};
        status.dwSize = kRasConnStatusSize;
        return m_getStatus(connection, &status);
    }

    DialupSimState m_state;
    SimLibrary m_library{"rasapi32.dll"};
    RasEnumDevicesFn m_enumDevices = nullptr;
    RasEnumConnectionsFn m_enumConnections = nullptr;
    RasGetConnectStatusFn m_getStatus = nullptr;
    RasConnectionNotificationFn m_notification = nullptr;
};

} // namespace

static_assert(sizeof(RasConnA) == kRasConnSize, "entry layout the program passes");
static_assert(sizeof(RasConnStatusA) == kRasConnStatusSize, "status layout the program passes");
static_assert(sizeof(RasDevInfoA) == kRasDevInfoSize, "device layout");

// Wine names its own library after a file of that name beside the program even when it keeps
// its own code, so the path alone proves nothing: the libraries must answer from the state file.
TEST(SimLibraries, AreTheSimulatorsNotWinesOwn) {
    DialupSimState state;
    state.Set("devices", 2);
    state.Set("pdh_object", "Simulierter DFUE-Zaehler");

    SimLibrary ras("RASAPI32.dll");
    ASSERT_TRUE(ras.IsLoaded());
    EXPECT_EQ(0, lstrcmpiA(ProgramFolder().c_str(), FolderOf(ras.FileName()).c_str()));
    auto enumDevices = ras.Get<RasEnumDevicesFn>("RasEnumDevicesA");
    ASSERT_NE(nullptr, enumDevices);
    DWORD size = 0;
    DWORD count = 0;
    enumDevices(nullptr, &size, &count);
    EXPECT_EQ(2u, count);

    SimLibrary pdh("pdh.dll");
    ASSERT_TRUE(pdh.IsLoaded());
    using EnumObjectsFn = LONG(WINAPI*)(LPCSTR, LPCSTR, LPSTR, LPDWORD, DWORD, BOOL);
    auto enumObjects = pdh.Get<EnumObjectsFn>("PdhEnumObjectsA");
    ASSERT_NE(nullptr, enumObjects);
    std::vector<char> list(4096);
    DWORD length = static_cast<DWORD>(list.size());
    ASSERT_EQ(0, enumObjects(nullptr, nullptr, list.data(), &length, 400, TRUE));
    bool found = false;
    for (const char* name = list.data(); *name; name += strlen(name) + 1)
        found = found || std::string(name) == "Simulierter DFUE-Zaehler";
    EXPECT_TRUE(found);
}

TEST(SimLibraries, ExportTheUndecoratedNames) {
    SimLibrary ras("rasapi32.dll");
    for (const char* name : {"RasEnumDevicesA", "RasEnumConnectionsA", "RasGetConnectStatusA",
                             "RasConnectionNotificationA"})
        EXPECT_NE(nullptr, ras.Get<FARPROC>(name)) << name;
    EXPECT_EQ(nullptr, ras.Get<FARPROC>("RasEnumDevicesA@12"));
    EXPECT_EQ(nullptr, ras.Get<FARPROC>("_RasEnumDevicesA@12"));

    SimLibrary pdh("pdh.dll");
    for (const char* name :
         {"PdhOpenQuery", "PdhOpenQueryA", "PdhCloseQuery", "PdhAddCounterA", "PdhRemoveCounter",
          "PdhCollectQueryData", "PdhGetFormattedCounterValue", "PdhEnumObjectsA",
          "PdhEnumObjectItemsA", "PdhMakeCounterPathA"})
        EXPECT_NE(nullptr, pdh.Get<FARPROC>(name)) << name;
    EXPECT_EQ(nullptr, pdh.Get<FARPROC>("PdhCloseQuery@4"));
}

TEST_F(RasSim, OneDeviceByDefault) {
    DWORD size = 0;
    DWORD count = 0;
    EXPECT_EQ(kBufferTooSmall, m_enumDevices(nullptr, &size, &count));
    EXPECT_EQ(1u, count);
    EXPECT_EQ(kRasDevInfoSize, size);
}

TEST_F(RasSim, DeviceCountFollowsTheStateAndEntriesAreFilled) {
    m_state.Set("devices", 3);
    DWORD size = 0;
    DWORD count = 0;
    EXPECT_EQ(kBufferTooSmall, m_enumDevices(nullptr, &size, &count));
    ASSERT_EQ(3u, count);
    ASSERT_EQ(3 * kRasDevInfoSize, size);

    std::vector<RasDevInfoA> devices(count);
    devices[0].dwSize = kRasDevInfoSize;
    EXPECT_EQ(0u, m_enumDevices(devices.data(), &size, &count));
    std::set<std::string> names;
    for (const RasDevInfoA& device : devices) {
        EXPECT_EQ(kRasDevInfoSize, device.dwSize);
        EXPECT_STREQ("modem", device.szDeviceType);
        names.insert(device.szDeviceName);
    }
    EXPECT_EQ(3u, names.size());
}

TEST_F(RasSim, NoDevicesIsSuccessWithACountOfZero) {
    m_state.Set("devices", 0);
    DWORD size = 0;
    DWORD count = 7;
    EXPECT_EQ(0u, m_enumDevices(nullptr, &size, &count));
    EXPECT_EQ(0u, count);
}

TEST_F(RasSim, RasmanFailureAndOtherErrors) {
    DWORD size = 0;
    DWORD count = 0;
    m_state.Set("rasman", "fail");
    EXPECT_EQ(kRasmanCannotInitialize, m_enumDevices(nullptr, &size, &count));
    m_state.Set("rasman", "error");
    const DWORD other = m_enumDevices(nullptr, &size, &count);
    EXPECT_NE(0u, other);
    EXPECT_NE(kBufferTooSmall, other);
    EXPECT_NE(kRasmanCannotInitialize, other);
    m_state.Set("rasman", "ok");
    EXPECT_EQ(kBufferTooSmall, m_enumDevices(nullptr, &size, &count));
}

TEST_F(RasSim, NoConnectionByDefault) {
    DWORD result = 1;
    EXPECT_EQ(0u, AskConnectionCount(&result));
    EXPECT_EQ(0u, result);
}

TEST_F(RasSim, ListsEachConnectionAsConnected) {
    m_state.Set("connections", 2);
    DWORD result = 0;
    ASSERT_EQ(2u, AskConnectionCount(&result));
    EXPECT_EQ(kBufferTooSmall, result);

    const std::vector<RasConnA> entries = ListConnections();
    ASSERT_EQ(2u, entries.size());
    EXPECT_NE(entries[0].hrasconn, entries[1].hrasconn);
    for (const RasConnA& entry : entries) {
        EXPECT_EQ(kRasConnSize, entry.dwSize);
        EXPECT_STRNE("", entry.szEntryName);
        RasConnStatusA status;
        ASSERT_EQ(0u, StatusOf(entry.hrasconn, status));
        EXPECT_EQ(kRasConnStatusSize, status.dwSize);
        EXPECT_EQ(kConnected, status.rasconnstate);
        EXPECT_EQ(0u, status.dwError);
    }
}

TEST_F(RasSim, EachConnectionReadsAsItsKeySays) {
    m_state.Set("connections", 4);
    m_state.Set("connection2", "dialling");
    m_state.Set("connection3", "disconnected");
    m_state.Set("connection4", "668");
    const std::vector<RasConnA> entries = ListConnections();
    ASSERT_EQ(4u, entries.size());
    const DWORD states[] = {kConnected, 2 /* RASCS_ConnectDevice */, 0x2001};
    for (size_t i = 0; i < 3; ++i) {
        RasConnStatusA status;
        ASSERT_EQ(0u, StatusOf(entries[i].hrasconn, status)) << i;
        EXPECT_EQ(states[i], status.rasconnstate) << i;
    }
    RasConnStatusA status;
    EXPECT_EQ(668u, StatusOf(entries[3].hrasconn, status));
}

// Documented is only that the count tells the entries written: with 603, none.
TEST_F(RasSim, TooSmallABufferCanReportNoEntryAndOnlyTheSizeNeeded) {
    m_state.Set("connections", 2);
    m_state.Set("enum_count", "written");
    RasConnA probe{};
    probe.dwSize = kRasConnSize;
    DWORD size = 0;
    DWORD count = 99;
    EXPECT_EQ(kBufferTooSmall, m_enumConnections(&probe, &size, &count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(2 * kRasConnSize, size);
}

TEST_F(RasSim, TheFileIsReadAfreshOnEveryCall) {
    m_state.Set("connections", 1);
    EXPECT_EQ(1u, AskConnectionCount());
    m_state.Set("connections", 3);
    EXPECT_EQ(3u, AskConnectionCount());
    DeleteFileA(m_state.Path().c_str());
    EXPECT_EQ(0u, AskConnectionCount());
}

TEST_F(RasSim, AConnectionThatWentDownCannotBeRead) {
    m_state.Set("connections", 2);
    const std::vector<RasConnA> entries = ListConnections();
    ASSERT_EQ(2u, entries.size());
    m_state.Set("connections", 1);
    RasConnStatusA status;
    EXPECT_EQ(0u, StatusOf(entries[0].hrasconn, status));
    EXPECT_NE(0u, StatusOf(entries[1].hrasconn, status));
    EXPECT_NE(0u, StatusOf(nullptr, status));
}

TEST_F(RasSim, RecordSizesOtherThanTheKnownLayoutsAreRefused) {
    m_state.Set("connections", 1);
    RasConnA entry{};
    entry.dwSize = 400;
    DWORD size = sizeof entry;
    DWORD count = 0;
    EXPECT_EQ(kInvalidSize, m_enumConnections(&entry, &size, &count));

    const std::vector<RasConnA> entries = ListConnections();
    ASSERT_EQ(1u, entries.size());
    RasConnStatusA status{};
    status.dwSize = 100;
    EXPECT_EQ(kInvalidSize, m_getStatus(entries[0].hrasconn, &status));
}

TEST_F(RasSim, WithoutTheVariableTheFileBesideTheProgramCounts) {
    const std::string besideProgram = ProgramFolder() + "dialup-sim.txt";
    DialupSimState::Replace(besideProgram, "connections=4\r\n");
    SetEnvironmentVariableA("DIALUP_SIM_STATE", nullptr);
    EXPECT_EQ(4u, AskConnectionCount());

    SetEnvironmentVariableA("DIALUP_SIM_STATE", m_state.Path().c_str());
    m_state.Set("connections", 1);
    EXPECT_EQ(1u, AskConnectionCount()); // the variable wins over the folder's file
    DeleteFileA(besideProgram.c_str());
}

TEST_F(RasSim, UnknownKeysAndNoiseInTheFileAreIgnored) {
    m_state.WriteRaw("# Zustand\r\ncolour=blue\r\nconnections = 2\r\nnonsense\r\n");
    EXPECT_EQ(2u, AskConnectionCount());
}

TEST_F(RasSim, NotificationFailsWhenNotifyIsOff) {
    OwnedEvent event;
    m_state.Set("notify", 0);
    EXPECT_NE(0u, m_notification(INVALID_HANDLE_VALUE, event.Get(), kBothDirections));
    m_state.Set("notify", 1);
    EXPECT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, event.Get(), kBothDirections));
}

TEST_F(RasSim, EveryRegisteredEventIsSetWhenTheCountChanges) {
    OwnedEvent first;
    OwnedEvent second;
    ASSERT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, first.Get(), kBothDirections));
    ASSERT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, second.Get(), kBothDirections));
    EXPECT_FALSE(first.IsSignalledWithin(kQuietWaitMs));

    m_state.Set("connections", 1);
    EXPECT_TRUE(first.IsSignalledWithin(kSignalWaitMs));
    EXPECT_TRUE(second.IsSignalledWithin(kSignalWaitMs));

    m_state.Set("connections", 0);
    EXPECT_TRUE(first.IsSignalledWithin(kSignalWaitMs));
    EXPECT_TRUE(second.IsSignalledWithin(kSignalWaitMs));
}

TEST_F(RasSim, NoSignalWithoutAChangeOfCount) {
    m_state.Set("connections", 1);
    OwnedEvent event;
    ASSERT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, event.Get(), kBothDirections));
    m_state.Set("received", 5000);
    m_state.Set("connections", 1);
    EXPECT_FALSE(event.IsSignalledWithin(kQuietWaitMs));
}

TEST_F(RasSim, EachEventHearsOnlyTheDirectionsItAskedFor) {
    m_state.Set("connections", 1);
    OwnedEvent ups;
    OwnedEvent downs;
    ASSERT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, ups.Get(), 1));
    ASSERT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, downs.Get(), 2));
    m_state.Set("connections", 0);
    EXPECT_TRUE(downs.IsSignalledWithin(kSignalWaitMs));
    EXPECT_FALSE(ups.IsSignalledWithin(kQuietWaitMs));
}

TEST_F(RasSim, AnEventClosedByItsOwnerDoesNotDisturbTheOthers) {
    OwnedEvent closedLater;
    OwnedEvent kept;
    ASSERT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, closedLater.Get(), kBothDirections));
    ASSERT_EQ(0u, m_notification(INVALID_HANDLE_VALUE, kept.Get(), kBothDirections));
    closedLater.Close();
    // A new object may take over the closed handle's value; it must not be set by the simulator.
    OwnedEvent bystander;
    m_state.Set("connections", 2);
    EXPECT_TRUE(kept.IsSignalledWithin(kSignalWaitMs));
    EXPECT_FALSE(bystander.IsSignalledWithin(kQuietWaitMs));
}

TEST_F(RasSim, NotificationNeedsAnEvent) {
    EXPECT_NE(0u, m_notification(INVALID_HANDLE_VALUE, nullptr, kBothDirections));
}
