// When a chosen adapter's link counts: up, present and, with a Wi-Fi network named, on that
// network, or where the network cannot be read, as if on it.
#include "links/CAdapterWatcher.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

namespace {

using STATUS = WLAN_NETWORK::STATUS;

struct LinkCase {
    const char* name;
    bool bPresent;
    bool bUp;
    const char* wanted;
    STATUS status;
    const char* ssid;
    bool bCounts;
};

class AdapterLink : public ::testing::TestWithParam<LinkCase> {};

TEST_P(AdapterLink, Counts) {
    const LinkCase& row = GetParam();
    WLAN_NETWORK network;
    network.status = row.status;
    network.ssid = row.ssid;
    EXPECT_EQ(row.bCounts, CAdapterWatcher::IsLinkUp(row.bPresent, row.bUp, row.wanted, network));
}

INSTANTIATE_TEST_SUITE_P(
    Rule, AdapterLink,
    ::testing::Values(
        LinkCase{"UpWithoutANetworkNamed", true, true, "", STATUS::connected, "Heim", true},
        LinkCase{"Removed", false, true, "", STATUS::notWifi, "", false},
        LinkCase{"OnTheNamedNetwork", true, true, "Handy", STATUS::connected, "Handy", true},
        LinkCase{"OnAnotherNetwork", true, true, "Handy", STATUS::connected, "Heim", false},
        LinkCase{"OnANetworkNamedInAnotherCase", true, true, "Handy", STATUS::connected, "handy",
                 false},
        LinkCase{"OnNoNetwork", true, true, "Handy", STATUS::notConnected, "", false},
        LinkCase{"WlanServiceOff", true, true, "Handy", STATUS::serviceOff, "", true},
        LinkCase{"LocationPermissionMissing", true, true, "Handy", STATUS::accessDenied, "", true},
        LinkCase{"UnreadableButDown", true, false, "Handy", STATUS::accessDenied, "", false},
        LinkCase{"NotAWifiAdapter", true, true, "Handy", STATUS::notWifi, "", true}),
    RowName());

} // namespace
