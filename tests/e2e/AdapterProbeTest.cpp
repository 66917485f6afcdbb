// The technique of the adapter tests proves itself: in the test's own network namespace a tun
// device, played by the tun driver, is a network adapter to Wine's own iphlpapi.dll (no stand-in),
// with the link state and byte counts of the Linux kernel, and the simulated wlanapi.dll names
// the network of the interface its state file makes a Wi-Fi one.
//
// The interface functions of Vista and later are hidden by the build's XP target; the program
// binds them at run time, and so does this test.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#define NTDDI_VERSION 0x06000000
#include "TunDevice.h"
#include "WindowSearch.h"
#include "support/DialupSimState.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <windows.h>

#include <iphlpapi.h>
#include <wlanapi.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace e2e;

namespace {

const DWORD kLinkPatienceMs = 1000;

using GetIfTable2Fn = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
using GetIfEntry2Fn = DWORD(WINAPI*)(PMIB_IF_ROW2);
using FreeMibTableFn = VOID(WINAPI*)(PVOID);
using WlanOpenHandleFn = DWORD(WINAPI*)(DWORD, PVOID, PDWORD, PHANDLE);
using WlanCloseHandleFn = DWORD(WINAPI*)(HANDLE, PVOID);
using WlanFreeMemoryFn = VOID(WINAPI*)(PVOID);
using WlanEnumInterfacesFn = DWORD(WINAPI*)(HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST*);
using WlanQueryInterfaceFn = DWORD(WINAPI*)(HANDLE, const GUID*, WLAN_INTF_OPCODE, PVOID, PDWORD,
                                            PVOID*, PWLAN_OPCODE_VALUE_TYPE);

template <typename Function> Function Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

class AdapterProbe : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TunDevice::Available()) << "not inside the test's network namespace";
        ASSERT_TRUE(m_getTable && m_getEntry && m_freeTable);
    }

    // The device's row of GetIfTable2, found by its alias.
    std::optional<MIB_IF_ROW2> Listed(const std::string& alias) {
        PMIB_IF_TABLE2 table = nullptr;
        if (m_getTable(&table) != NO_ERROR)
            return std::nullopt;
        std::optional<MIB_IF_ROW2> found;
        for (ULONG i = 0; i < table->NumEntries && !found; ++i)
            if (Wide(alias) == table->Table[i].Alias)
                found = table->Table[i];
        m_freeTable(table);
        return found;
    }

    // A device plugged in, and its row in the table.
    void PlugIn(const std::string& name, MIB_IF_ROW2& row) {
        ASSERT_TRUE(tun.Create(name)) << tun.Error();
        const auto listed = Listed(name);
        ASSERT_TRUE(listed.has_value()) << name << " not listed";
        row = *listed;
    }

    // The row as GetIfEntry2 reads it afresh by the interface's LUID.
    std::optional<MIB_IF_ROW2> Entry(const NET_LUID& luid) {
        MIB_IF_ROW2 row = {};
        row.InterfaceLuid = luid;
        if (m_getEntry(&row) != NO_ERROR)
            return std::nullopt;
        return row;
    }

    bool OperStatusBecomes(const NET_LUID& luid, IF_OPER_STATUS status) {
        return WaitUntil(
            [&] {
                const auto row = Entry(luid);
                return row && row->OperStatus == status;
            },
            kLinkPatienceMs);
    }

    // Wine's counts and the kernel's, read when no byte moved in between.
    void ExpectCountsOfTheKernel(TunDevice& tun, const NET_LUID& luid) {
        unsigned long long received = 0, sent = 0, receivedAfter = 0, sentAfter = 0;
        std::optional<MIB_IF_ROW2> row;
        ASSERT_TRUE(WaitUntil(
            [&] {
                return tun.KernelCounts(received, sent) && (row = Entry(luid)) &&
                       tun.KernelCounts(receivedAfter, sentAfter) && received == receivedAfter &&
                       sent == sentAfter;
            },
            kLinkPatienceMs));
        EXPECT_EQ(received, row->InOctets);
        EXPECT_EQ(sent, row->OutOctets);
    }

    TunDevice tun;

private:
    HMODULE m_iphlpapi = LoadLibraryA("iphlpapi.dll");
    GetIfTable2Fn m_getTable = Bind<GetIfTable2Fn>(m_iphlpapi, "GetIfTable2");
    GetIfEntry2Fn m_getEntry = Bind<GetIfEntry2Fn>(m_iphlpapi, "GetIfEntry2");
    FreeMibTableFn m_freeTable = Bind<FreeMibTableFn>(m_iphlpapi, "FreeMibTable");
};

TEST_F(AdapterProbe, DevicePlugsInWithItsNameAsAliasFollowsItsLinkAndIsPulledOut) {
    MIB_IF_ROW2 row;
    ASSERT_NO_FATAL_FAILURE(PlugIn("tvprobe0", row));
    const NET_LUID luid = row.InterfaceLuid;

    ASSERT_TRUE(tun.SetUp()) << tun.Error();
    EXPECT_TRUE(OperStatusBecomes(luid, IfOperStatusUp));
    ASSERT_TRUE(tun.SetDown()) << tun.Error();
    EXPECT_TRUE(OperStatusBecomes(luid, IfOperStatusDown));
    ASSERT_TRUE(tun.SetUp()) << tun.Error();
    EXPECT_TRUE(OperStatusBecomes(luid, IfOperStatusUp));

    // Windows drops a device pulled out from the table; Wine keeps listing it, with OperStatus
    // unknown and counts of 0. Neither is up.
    ASSERT_TRUE(tun.Remove()) << tun.Error();
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto gone = Entry(luid);
            return !gone || (gone->OperStatus != IfOperStatusUp && gone->InOctets == 0);
        },
        kLinkPatienceMs));
}

TEST_F(AdapterProbe, BytesPlayedBothWaysAreTheInterfaceCountsAndTheKernels) {
    MIB_IF_ROW2 row;
    ASSERT_NO_FATAL_FAILURE(PlugIn("tvprobe1", row));
    const NET_LUID luid = row.InterfaceLuid;
    ASSERT_TRUE(tun.SetUp()) << tun.Error();
    ASSERT_TRUE(OperStatusBecomes(luid, IfOperStatusUp));
    const ULONG64 before = Entry(luid)->InOctets;

    ASSERT_TRUE(tun.Receive(100, 1000)) << tun.Error();
    EXPECT_EQ(before + 100000, Entry(luid)->InOctets);
    ASSERT_TRUE(tun.Send(50, 1500)) << tun.Error();
    ExpectCountsOfTheKernel(tun, luid);
    unsigned long long received = 0, sent = 0;
    ASSERT_TRUE(tun.KernelCounts(received, sent));
    EXPECT_EQ(50u * 1500u, sent); // nothing of the kernel's own joins them

    // A link that is down takes nothing in.
    ASSERT_TRUE(tun.SetDown()) << tun.Error();
    EXPECT_FALSE(tun.Receive(1, 1000));
}

TEST_F(AdapterProbe, WlanStandInNamesTheNetworkOfTheDeviceItsStateMakesWifi) {
    MIB_IF_ROW2 row;
    ASSERT_NO_FATAL_FAILURE(PlugIn("tvwlan0", row));
    DialupSimState state;
    state.Set("wlan_interface", "tvwlan0");
    state.Set("wlan_ssid", "Telefon-Hotspot");

    const HMODULE wlanapi = LoadLibraryA("wlanapi.dll");
    ASSERT_NE(nullptr, wlanapi);
    char path[MAX_PATH] = "";
    GetModuleFileNameA(wlanapi, path, MAX_PATH);
    EXPECT_EQ(std::string::npos, std::string(path).find("system32")) << path;
    const auto open = Bind<WlanOpenHandleFn>(wlanapi, "WlanOpenHandle");
    const auto close = Bind<WlanCloseHandleFn>(wlanapi, "WlanCloseHandle");
    const auto freeMemory = Bind<WlanFreeMemoryFn>(wlanapi, "WlanFreeMemory");
    const auto enumerate = Bind<WlanEnumInterfacesFn>(wlanapi, "WlanEnumInterfaces");
    const auto query = Bind<WlanQueryInterfaceFn>(wlanapi, "WlanQueryInterface");
    ASSERT_TRUE(open && close && freeMemory && enumerate && query);

    DWORD version = 0;
    HANDLE client = nullptr;
    ASSERT_EQ(DWORD{ERROR_SUCCESS}, open(2, nullptr, &version, &client));
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    ASSERT_EQ(DWORD{ERROR_SUCCESS}, enumerate(client, nullptr, &list));
    ASSERT_EQ(1u, list->dwNumberOfItems);
    EXPECT_TRUE(IsEqualGUID(row.InterfaceGuid, list->InterfaceInfo[0].InterfaceGuid));
    DWORD size = 0;
    PVOID data = nullptr;
    ASSERT_EQ(DWORD{ERROR_SUCCESS},
              query(client, &list->InterfaceInfo[0].InterfaceGuid,
                    wlan_intf_opcode_current_connection, nullptr, &size, &data, nullptr));
    const auto* connection = static_cast<const WLAN_CONNECTION_ATTRIBUTES*>(data);
    const DOT11_SSID& ssid = connection->wlanAssociationAttributes.dot11Ssid;
    EXPECT_EQ("Telefon-Hotspot",
              std::string(reinterpret_cast<const char*>(ssid.ucSSID), ssid.uSSIDLength));
    freeMemory(data);
    freeMemory(list);

    // The stick pulled out is no Wi-Fi interface any more.
    ASSERT_TRUE(tun.Remove()) << tun.Error();
    ASSERT_EQ(DWORD{ERROR_SUCCESS}, enumerate(client, nullptr, &list));
    EXPECT_EQ(0u, list->dwNumberOfItems);
    freeMemory(list);
    EXPECT_EQ(DWORD{ERROR_SUCCESS}, close(client, nullptr));
}

} // namespace
