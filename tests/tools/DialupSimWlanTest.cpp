// The simulated wlanapi.dll, loaded from the test program's folder as the program loads it: the
// Wi-Fi interface, its network and the service's failures from the state file, and the
// argument checks the system makes.
#include "SimLibrary.h"
#include "support/DialupSimState.h"
#include "support/TableRow.h"

#include <windows.h>

#include <wlanapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using OpenFn = DWORD(WINAPI*)(DWORD, PVOID, PDWORD, PHANDLE);
using CloseFn = DWORD(WINAPI*)(HANDLE, PVOID);
using FreeFn = VOID(WINAPI*)(PVOID);
using EnumFn = DWORD(WINAPI*)(HANDLE, PVOID, PWLAN_INTERFACE_INFO_LIST*);
using QueryFn = DWORD(WINAPI*)(HANDLE, const GUID*, WLAN_INTF_OPCODE, PVOID, PDWORD, PVOID*,
                               PWLAN_OPCODE_VALUE_TYPE);

const char kWifiGuid[] = "{6B29FC40-CA47-1067-B31D-00DD010662DA}";
const GUID kWifi = {0x6B29FC40, 0xCA47, 0x1067, {0xB3, 0x1D, 0x00, 0xDD, 0x01, 0x06, 0x62, 0xDA}};
const GUID kOther = {0x6B29FC40, 0xCA47, 0x1067, {0xB3, 0x1D, 0x00, 0xDD, 0x01, 0x06, 0x62, 0xDB}};

class WlanSim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_library.IsLoaded());
        m_open = m_library.Get<OpenFn>("WlanOpenHandle");
        m_close = m_library.Get<CloseFn>("WlanCloseHandle");
        m_free = m_library.Get<FreeFn>("WlanFreeMemory");
        m_enum = m_library.Get<EnumFn>("WlanEnumInterfaces");
        m_query = m_library.Get<QueryFn>("WlanQueryInterface");
        ASSERT_TRUE(m_open && m_close && m_free && m_enum && m_query);
        m_state.Set("wlan_interface", kWifiGuid);
    }

    HANDLE Open() {
        DWORD version = 0;
        HANDLE client = nullptr;
        EXPECT_EQ(DWORD{ERROR_SUCCESS}, m_open(2, nullptr, &version, &client));
        return client;
    }

    // The network WlanQueryInterface names for the interface, or its failure.
    DWORD QueryNetwork(const GUID& guid, std::string& ssid) {
        HANDLE client = Open();
        DWORD size = 0;
        PVOID data = nullptr;
        WLAN_OPCODE_VALUE_TYPE type = wlan_opcode_value_type_invalid;
        const DWORD status = m_query(client, &guid, wlan_intf_opcode_current_connection, nullptr,
                                     &size, &data, &type);
        if (status == ERROR_SUCCESS) {
            EXPECT_EQ(sizeof(WLAN_CONNECTION_ATTRIBUTES), size);
            EXPECT_EQ(wlan_opcode_value_type_query_only, type);
            const auto* connection = static_cast<const WLAN_CONNECTION_ATTRIBUTES*>(data);
            EXPECT_EQ(wlan_interface_state_connected, connection->isState);
            const DOT11_SSID& id = connection->wlanAssociationAttributes.dot11Ssid;
            ssid.assign(reinterpret_cast<const char*>(id.ucSSID), id.uSSIDLength);
            m_free(data);
        }
        m_close(client, nullptr);
        return status;
    }

    DialupSimState m_state;
    SimLibrary m_library{"wlanapi.dll"};
    OpenFn m_open = nullptr;
    CloseFn m_close = nullptr;
    FreeFn m_free = nullptr;
    EnumFn m_enum = nullptr;
    QueryFn m_query = nullptr;
};

struct OpenRow {
    const char* name;
    const char* state; // key=value for the state file, or empty
    DWORD clientVersion;
    bool reserved, nullVersion, nullHandle;
    DWORD status;
    DWORD negotiated;
};

class WlanSimOpen : public WlanSim, public ::testing::WithParamInterface<OpenRow> {};

TEST_P(WlanSimOpen, AnswersAsTheSystemDoes) {
    const OpenRow& row = GetParam();
    const std::string state = row.state;
    if (!state.empty())
        m_state.Set(state.substr(0, state.find('=')), state.substr(state.find('=') + 1));
    int reserved = 0;
    DWORD version = 99;
    HANDLE client = nullptr;
    const DWORD status =
        m_open(row.clientVersion, row.reserved ? &reserved : nullptr,
               row.nullVersion ? nullptr : &version, row.nullHandle ? nullptr : &client);
    EXPECT_EQ(row.status, status);
    if (status == ERROR_SUCCESS) {
        EXPECT_EQ(row.negotiated, version);
        EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), m_close(client, nullptr));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WlanSimOpen,
    ::testing::Values(
        OpenRow{"XpClient", "", 1, false, false, false, ERROR_SUCCESS, 1},
        OpenRow{"VistaClient", "", 2, false, false, false, ERROR_SUCCESS, 2},
        OpenRow{"VistaClientOnXp", "wlan_version=1", 2, false, false, false, ERROR_SUCCESS, 1},
        OpenRow{"UnknownVersion", "", 3, false, false, false, ERROR_INVALID_PARAMETER, 0},
        OpenRow{"VersionZero", "", 0, false, false, false, ERROR_INVALID_PARAMETER, 0},
        OpenRow{"ReservedGiven", "", 2, true, false, false, ERROR_INVALID_PARAMETER, 0},
        OpenRow{"NoVersionOut", "", 2, false, true, false, ERROR_INVALID_PARAMETER, 0},
        OpenRow{"NoHandleOut", "", 2, false, false, true, ERROR_INVALID_PARAMETER, 0},
        OpenRow{"ServiceStopped", "wlan_service=stopped", 2, false, false, false,
                ERROR_SERVICE_NOT_ACTIVE, 0}),
    RowName());

TEST_F(WlanSim, ExportsTheUndecoratedNames) {
    EXPECT_EQ(nullptr, m_library.Get<FARPROC>("WlanOpenHandle@16"));
    EXPECT_NE(std::string::npos, m_library.FileName().find(ProgramFolder()))
        << m_library.FileName();
}

TEST_F(WlanSim, HandleIsValidUntilItIsClosedOnce) {
    HANDLE client = Open();
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), m_close(nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), m_close(client, &list));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), m_close(&list, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), m_close(client, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), m_close(client, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), m_enum(client, nullptr, &list));
    DWORD size = 0;
    PVOID data = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE),
              m_query(client, &kWifi, wlan_intf_opcode_current_connection, nullptr, &size, &data,
                      nullptr));
}

TEST_F(WlanSim, ListsTheStatesInterfaceWithItsAssociation) {
    HANDLE client = Open();
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), m_enum(nullptr, nullptr, &list));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), m_enum(client, &list, &list));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), m_enum(client, nullptr, nullptr));

    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), m_enum(client, nullptr, &list));
    ASSERT_EQ(1u, list->dwNumberOfItems);
    EXPECT_TRUE(IsEqualGUID(kWifi, list->InterfaceInfo[0].InterfaceGuid));
    EXPECT_EQ(wlan_interface_state_disconnected, list->InterfaceInfo[0].isState);
    m_free(list);

    m_state.Set("wlan_ssid", "Telefon");
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), m_enum(client, nullptr, &list));
    EXPECT_EQ(wlan_interface_state_connected, list->InterfaceInfo[0].isState);
    m_free(list);

    for (const char* none : {"", "Kein Adapter dieses Namens", "{6B29FC40-CA47}"}) {
        m_state.Set("wlan_interface", none);
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), m_enum(client, nullptr, &list));
        EXPECT_EQ(0u, list->dwNumberOfItems) << none;
        m_free(list);
    }
    m_close(client, nullptr);
}

struct QueryRow {
    const char* name;
    const char* ssid;   // wlan_ssid
    const char* access; // wlan_access
    const GUID* guid;
    DWORD status;
};

class WlanSimQuery : public WlanSim, public ::testing::WithParamInterface<QueryRow> {};

TEST_P(WlanSimQuery, CurrentConnectionFollowsTheState) {
    const QueryRow& row = GetParam();
    m_state.Set("wlan_ssid", row.ssid);
    m_state.Set("wlan_access", row.access);
    std::string ssid;
    EXPECT_EQ(row.status, QueryNetwork(*row.guid, ssid));
    EXPECT_EQ(row.status == ERROR_SUCCESS ? row.ssid : "", ssid);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WlanSimQuery,
    ::testing::Values(
        QueryRow{"Associated", "Telefon-Hotspot", "ok", &kWifi, ERROR_SUCCESS},
        QueryRow{"NotAssociated", "", "ok", &kWifi, ERROR_INVALID_STATE},
        QueryRow{"LocationRefused", "Telefon-Hotspot", "denied", &kWifi, ERROR_ACCESS_DENIED},
        QueryRow{"NoWifiInterface", "Telefon-Hotspot", "ok", &kOther, ERROR_NOT_FOUND}),
    RowName());

TEST_F(WlanSim, QueryRefusesMissingArgumentsAndOtherQuestions) {
    m_state.Set("wlan_ssid", "Telefon");
    HANDLE client = Open();
    DWORD size = 0;
    PVOID data = nullptr;
    const auto query = [&](const GUID* guid, PVOID reserved, PDWORD sizeOut, PVOID* dataOut,
                           WLAN_INTF_OPCODE opcode = wlan_intf_opcode_current_connection) {
        return m_query(client, guid, opcode, reserved, sizeOut, dataOut, nullptr);
    };
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER),
              m_query(nullptr, &kWifi, wlan_intf_opcode_current_connection, nullptr, &size, &data,
                      nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), query(nullptr, nullptr, &size, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), query(&kWifi, &size, &size, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), query(&kWifi, nullptr, nullptr, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), query(&kWifi, nullptr, &size, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SUPPORTED),
              query(&kWifi, nullptr, &size, &data, wlan_intf_opcode_interface_state));
    EXPECT_EQ(nullptr, data);
    m_close(client, nullptr);
}

} // namespace
