#include "SimState.h"

#include <gtest/gtest.h>

using dialup_sim::ParseSimState;
using dialup_sim::RasmanMode;
using dialup_sim::SimState;

TEST(SimStateParse, EmptyTextGivesTheDefaults) {
    const SimState state = ParseSimState("");
    EXPECT_EQ(0u, state.connections);
    EXPECT_EQ(0u, state.received);
    EXPECT_EQ(0u, state.sent);
    EXPECT_EQ(1u, state.devices);
    EXPECT_EQ(RasmanMode::Ok, state.rasman);
    EXPECT_TRUE(state.notify);
    EXPECT_EQ("RAS Total", state.pdhObject);
    EXPECT_EQ("Bytes Received", state.pdhReceived);
    EXPECT_EQ("Bytes Transmitted", state.pdhSent);
    EXPECT_FALSE(state.collectFails);
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
                                         "collect=fail\n");
    EXPECT_EQ(2u, state.connections);
    EXPECT_EQ(123456u, state.received);
    EXPECT_EQ(654321u, state.sent);
    EXPECT_EQ(3u, state.devices);
    EXPECT_EQ(RasmanMode::Fail, state.rasman);
    EXPECT_FALSE(state.notify);
    EXPECT_EQ("RAS insgesamt", state.pdhObject);
    EXPECT_EQ("Bytes empfangen", state.pdhReceived);
    EXPECT_EQ("Bytes gesendet", state.pdhSent);
    EXPECT_TRUE(state.collectFails);
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
                                         "sent=7");
    EXPECT_EQ(0u, state.connections);
    EXPECT_EQ(1u, state.devices);
    EXPECT_EQ(0u, state.received);
    EXPECT_EQ(RasmanMode::Ok, state.rasman);
    EXPECT_TRUE(state.notify);
    EXPECT_FALSE(state.collectFails);
    EXPECT_EQ(7u, state.sent); // a last line without line end counts
}

TEST(SimStateParse, TotalsShowModuloTwoToThe32) {
    const SimState state = ParseSimState("received=4294967301\nsent=4294967295\n");
    EXPECT_EQ(4294967301u, state.received);
    EXPECT_EQ(5u, state.ReceivedCounter());
    EXPECT_EQ(4294967295u, state.SentCounter());
}

TEST(SimStateParse, EmptyNamesStayEmpty) {
    const SimState state = ParseSimState("pdh_object=\npdh_received=\npdh_sent=\n");
    EXPECT_EQ("", state.pdhObject);
    EXPECT_EQ("", state.pdhReceived);
    EXPECT_EQ("", state.pdhSent);
}
