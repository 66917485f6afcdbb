#include "SimState.h"

#include <gtest/gtest.h>

using dialup_sim::ConnectionStatus;
using dialup_sim::ParseSimState;
using dialup_sim::RasmanMode;
using dialup_sim::SimState;

namespace {

std::string DescribedStatuses(const SimState& state) {
    const char* const kinds[] = {"connected", "dialling", "disconnected", ""};
    std::string text;
    for (const auto& entry : state.statuses)
        text +=
            " connection" + std::to_string(entry.first) + "=" +
            (entry.second.kind == ConnectionStatus::Unreadable ? std::to_string(entry.second.error)
                                                               : kinds[entry.second.kind]);
    return text;
}

// Every field of the state, in the state file's own words, so that one comparison shows them all.
std::string Described(const SimState& state) {
    const char* const rasman[] = {"ok", "fail", "error"};
    const char* const longFormat[] = {"cast", "clamp", "error"};
    return "connections=" + std::to_string(state.connections) + DescribedStatuses(state) +
           " received=" + std::to_string(state.received) + " sent=" + std::to_string(state.sent) +
           " devices=" + std::to_string(state.devices) +
           " rasman=" + rasman[static_cast<int>(state.rasman)] +
           " notify=" + (state.notify ? "1" : "0") + " pdh_object=" + state.pdhObject +
           " pdh_received=" + state.pdhReceived + " pdh_sent=" + state.pdhSent +
           " collect=" + (state.collectFails ? "fail" : "ok") +
           " enum_count=" + (state.enumCountsWritten ? "written" : "all") +
           " list_lag_ms=" + std::to_string(state.listLagMs) +
           " pdh_size_short=" + std::to_string(state.pdhSizeShort) +
           " counter_bits=" + (state.counters64 ? "64" : "32") +
           " pdh_long=" + longFormat[static_cast<int>(state.longFormat)] +
           " pdh_cstatus=" + (state.newDataStatus ? "new" : "valid") +
           " ras_delay_ms=" + std::to_string(state.rasDelayMs) +
           " wlan_interface=" + state.wlan.interfaceName + " wlan_ssid=" + state.wlan.ssid +
           " wlan_service=" + (state.wlan.serviceRunning ? "running" : "stopped") +
           " wlan_access=" + (state.wlan.accessDenied ? "denied" : "ok") +
           " wlan_version=" + std::to_string(state.wlan.serverVersion);
}

} // namespace

TEST(SimStateParse, EmptyTextGivesTheDefaults) {
    EXPECT_EQ("connections=0 received=0 sent=0 devices=1 rasman=ok notify=1 pdh_object=RAS Total"
              " pdh_received=Bytes Received pdh_sent=Bytes Transmitted collect=ok enum_count=all"
              " list_lag_ms=0 pdh_size_short=0 counter_bits=32 pdh_long=cast pdh_cstatus=valid"
              " ras_delay_ms=0 wlan_interface= wlan_ssid= wlan_service=running wlan_access=ok"
              " wlan_version=2",
              Described(ParseSimState("")));
}

TEST(SimStateParse, EveryKeyIsRead) {
    const SimState state = ParseSimState("connections=2\n"
                                         "received=123456\n"
                                         "sent=654321\n"
                                         "devices=3\n"
                                         "rasman=fail\n"
                                         "notify=0\n"
                                         "pdh_object=RAS insgesamt\n"
                                         "pdh_received=Bytes empfangen\n"
                                         "pdh_sent=Bytes gesendet\n"
                                         "collect=fail\n"
                                         "connection1=dialling\n"
                                         "connection2=disconnected\n"
                                         "connection3=668\n"
                                         "connection4=connected\n"
                                         "enum_count=written\n"
                                         "list_lag_ms=700\n"
                                         "pdh_size_short=1\n"
                                         "counter_bits=64\n"
                                         "pdh_long=clamp\n"
                                         "pdh_cstatus=new\n"
                                         "ras_delay_ms=900\n"
                                         "wlan_interface=Mobilfunk 2\n"
                                         "wlan_ssid=Telefon-Hotspot\n"
                                         "wlan_service=stopped\n"
                                         "wlan_access=denied\n"
                                         "wlan_version=1\n");
    EXPECT_EQ("connections=2 connection1=dialling connection2=disconnected connection3=668"
              " connection4=connected received=123456 sent=654321 devices=3 rasman=fail notify=0"
              " pdh_object=RAS insgesamt pdh_received=Bytes empfangen pdh_sent=Bytes gesendet"
              " collect=fail enum_count=written list_lag_ms=700 pdh_size_short=1 counter_bits=64"
              " pdh_long=clamp pdh_cstatus=new ras_delay_ms=900 wlan_interface=Mobilfunk 2"
              " wlan_ssid=Telefon-Hotspot wlan_service=stopped wlan_access=denied wlan_version=1",
              Described(state));
    EXPECT_EQ(0u, state.ConnectedCount()); // 1 and 2 are not through, 3 and 4 not listed
}

TEST(SimStateParse, CrLfBlanksAndLaterLinesWin) {
    const SimState state =
        ParseSimState("connections = 1\r\nrasman=error\r\nconnections=4\r\n  notify = 0  \r\n");
    EXPECT_EQ(4u, state.connections);
    EXPECT_EQ(RasmanMode::Error, state.rasman);
    EXPECT_FALSE(state.notify);
}

TEST(SimStateParse, UnknownKeysNoiseAndBadValuesAreIgnored) {
    const SimState state = ParseSimState("# a note\n"
                                         "colour=blue\n"
                                         "just text\n"
                                         "connections=-1\n"
                                         "devices=two\n"
                                         "received=99999999999999999999999\n"
                                         "rasman=maybe\n"
                                         "notify=yes\n"
                                         "collect=sometimes\n"
                                         "connection0=dialling\n"
                                         "connection1=0\n"
                                         "connection2=ringing\n"
                                         "counter_bits=48\n"
                                         "wlan_service=off\n"
                                         "wlan_access=maybe\n"
                                         "wlan_version=3\n"
                                         "sent=7");
    EXPECT_EQ(0u, state.connections);
    EXPECT_EQ(1u, state.devices);
    EXPECT_EQ(0u, state.received);
    EXPECT_EQ(RasmanMode::Ok, state.rasman);
    EXPECT_TRUE(state.notify);
    EXPECT_FALSE(state.collectFails);
    EXPECT_EQ(std::string(" connection1=connected connection2=connected"),
              DescribedStatuses(state));
    EXPECT_FALSE(state.counters64);
    EXPECT_TRUE(state.wlan.serviceRunning);
    EXPECT_FALSE(state.wlan.accessDenied);
    EXPECT_EQ(2u, state.wlan.serverVersion);
    EXPECT_EQ(7u, state.sent); // a last line without line end counts
}

TEST(SimStateParse, TotalsShowModuloTwoToThe32) {
    const SimState state = ParseSimState("received=4294967301\nsent=4294967295\n");
    EXPECT_EQ(4294967301u, state.received);
    EXPECT_EQ(5u, state.ReceivedCounter());
    EXPECT_EQ(4294967295u, state.SentCounter());
    EXPECT_EQ(4294967301u,
              ParseSimState("received=4294967301\ncounter_bits=64\n").ReceivedCounter());
}

TEST(SimStateParse, SsidLongerThanTheRadioAllowsIsCutAt32Bytes) {
    EXPECT_EQ(std::string(32, 'w'), ParseSimState("wlan_ssid=" + std::string(40, 'w')).wlan.ssid);
}

TEST(SimStateParse, EmptyNamesStayEmpty) {
    const SimState state = ParseSimState("pdh_object=\npdh_received=\npdh_sent=\n");
    EXPECT_EQ("", state.pdhObject);
    EXPECT_EQ("", state.pdhReceived);
    EXPECT_EQ("", state.pdhSent);
}
