// Discovery of the remote access byte totals through the performance data helper.
#include "counters/RasPdhCounter.h"

#include "FakePdh.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pdh;

namespace {

const FakePdhObject PROCESSOR = {"Prozessor", {"% Prozessorzeit"}, {"0", "_Total"}};

class RasPdhCounterTest : public ::testing::Test {
protected:
    std::string PathOf(DWORD dwId) const {
        const std::string* path = m_counter.FindPath(dwId);
        return path ? *path : std::string("<none>");
    }

    FakePdh m_pdh;
    CRasPdhCounter m_counter;
};

} // namespace

TEST_F(RasPdhCounterTest, GermanNamesGiveBothCounters) {
    m_pdh.objects = {PROCESSOR, {"RAS insgesamt", {"Bytes empfangen", "Bytes gesendet"}, {}}};
    const std::string received = FakePdh::PathOf("RAS insgesamt", "Bytes empfangen");
    const std::string sent = FakePdh::PathOf("RAS insgesamt", "Bytes gesendet");
    m_pdh.values[received] = 123456;
    m_pdh.values[sent] = 7890;

    ASSERT_TRUE(m_counter.Open());
    ASSERT_TRUE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    ASSERT_TRUE(m_counter.AddCounter(COUNTER_BYTES_SENT));
    EXPECT_EQ((std::vector<std::string>{received, sent}), m_pdh.pathsAdded);
    ASSERT_TRUE(m_counter.Collect());
    EXPECT_EQ(123456u, m_counter.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(7890u, m_counter.GetValue(COUNTER_BYTES_SENT));
}

TEST_F(RasPdhCounterTest, EnglishNamesGiveBothCounters) {
    m_pdh.objects = {{"RAS total", {"Bytes transmitted", "Frames received", "Bytes received"}, {}}};
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ(FakePdh::PathOf("RAS total", "Bytes received"), PathOf(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(FakePdh::PathOf("RAS total", "Bytes transmitted"), PathOf(COUNTER_BYTES_SENT));
}

TEST_F(RasPdhCounterTest, ErhalteneBytesCountsAsReceived) {
    m_pdh.objects = {{"RAS insgesamt", {"Erhaltene Bytes", "Bytes gesendet"}, {}}};
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ(FakePdh::PathOf("RAS insgesamt", "Erhaltene Bytes"), PathOf(COUNTER_BYTES_RECEIVED));
}

TEST_F(RasPdhCounterTest, ObjectAndCounterNamesIgnoreLetterCase) {
    for (const char* name : {"RAS", "ras", "rAs", "ras TOTAL", "Ras Insgesamt"}) {
        FakePdh pdh;
        pdh.objects = {PROCESSOR, {name, {"BYTES RECEIVED", "bytes gesendet"}, {}}};
        CRasPdhCounter counter;
        ASSERT_TRUE(counter.Open());
        EXPECT_TRUE(counter.AddCounter(COUNTER_BYTES_RECEIVED)) << name;
        EXPECT_TRUE(counter.AddCounter(COUNTER_BYTES_SENT)) << name;
    }
}

TEST_F(RasPdhCounterTest, AnObjectThatOnlyContainsRasIsNotSearched) {
    m_pdh.objects = {{"RAS Port", {"Bytes received", "Bytes transmitted"}, {}}};
    ASSERT_TRUE(m_counter.Open());
    EXPECT_TRUE(m_pdh.itemsAskedFor.empty());
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
}

TEST_F(RasPdhCounterTest, OnlyTheFirstMatchingObjectIsSearched) {
    m_pdh.objects = {PROCESSOR,
                     {"RAS total", {"Bytes received"}, {}},
                     {"RAS insgesamt", {"Bytes empfangen", "Bytes gesendet"}, {}}};
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ(std::vector<std::string>{"RAS total"}, m_pdh.itemsAskedFor);
    EXPECT_TRUE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_SENT));
}

TEST_F(RasPdhCounterTest, AMissingCounterFailsOnlyItsOwnAdd) {
    m_pdh.objects = {{"RAS insgesamt", {"Bytes empfangen", "Frames gesendet"}, {}}};
    EXPECT_TRUE(m_counter.Open());
    EXPECT_TRUE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_SENT));
    EXPECT_EQ(1u, m_pdh.liveCounters.size());
}

TEST_F(RasPdhCounterTest, ALaterMatchReplacesThePathUntilBothAreFound) {
    m_pdh.objects = {
        {"RAS", {"Bytes empfangen", "Bytes received", "Bytes gesendet", "Bytes transmitted"}, {}}};
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ(FakePdh::PathOf("RAS", "Bytes received"), PathOf(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(FakePdh::PathOf("RAS", "Bytes gesendet"), PathOf(COUNTER_BYTES_SENT))
        << "the enumeration ends as soon as both ids have a path";
    EXPECT_EQ(3, m_pdh.CallCount("PdhMakeCounterPathA") / 2);
}

TEST_F(RasPdhCounterTest, InstancesEndTheirEnumerationAtTheFirst) {
    CRasPdhCounter& counter = m_counter;
    EXPECT_FALSE(counter.OnInstance("RAS", "Port 1"));
    m_pdh.objects = {{"RAS", {"Bytes received", "Bytes transmitted"}, {"Port 1", "Port 2"}}};
    ASSERT_TRUE(counter.Open());
    EXPECT_TRUE(counter.AddCounter(COUNTER_BYTES_SENT)) << "counters are walked after instances";
}

TEST_F(RasPdhCounterTest, NoRasObjectStillOpensButAddsNothing) {
    m_pdh.objects = {PROCESSOR};
    EXPECT_TRUE(m_counter.Open());
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_SENT));
    EXPECT_TRUE(m_pdh.pathsAdded.empty());
}

TEST_F(RasPdhCounterTest, AFailedObjectListStillOpens) {
    m_pdh.objects = {{"RAS", {"Bytes received", "Bytes transmitted"}, {}}};
    m_pdh.enumObjectsStatus = PDH_INVALID_DATA;
    EXPECT_TRUE(m_counter.Open());
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
}

TEST_F(RasPdhCounterTest, AFailedQueryEndsOpenBeforeDiscovery) {
    m_pdh.objects = {{"RAS", {"Bytes received", "Bytes transmitted"}, {}}};
    m_pdh.openStatus = PDH_INVALID_ARGUMENT;
    EXPECT_FALSE(m_counter.Open());
    EXPECT_EQ(0, m_pdh.CallCount("PdhEnumObjectsA"));
}

TEST_F(RasPdhCounterTest, APathThatCannotBeMadeIsNotRecorded) {
    m_pdh.objects = {{"RAS", {"Bytes received", "Bytes transmitted"}, {}}};
    m_pdh.makePathStatus = PDH_INVALID_DATA;
    ASSERT_TRUE(m_counter.Open());
    EXPECT_EQ(nullptr, m_counter.FindPath(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_counter.AddCounter(COUNTER_BYTES_RECEIVED));
}

TEST_F(RasPdhCounterTest, OnCounterGoesOnUntilBothIdsHaveAPath) {
    m_pdh.objects = {{"RAS", {}, {}}};
    ASSERT_TRUE(m_counter.Open());
    EXPECT_TRUE(m_counter.OnCounter("RAS", "Frames received"));
    EXPECT_TRUE(m_counter.OnCounter("RAS", "Bytes received"));
    EXPECT_FALSE(m_counter.OnCounter("RAS", "Bytes transmitted"));
    EXPECT_FALSE(m_counter.OnCounter("RAS", "Frames received"));
}

TEST_F(RasPdhCounterTest, OnObjectStopsTheListOnlyAtAMatch) {
    m_pdh.objects = {{"RAS", {}, {}}};
    EXPECT_TRUE(m_counter.OnObject("Prozessor"));
    EXPECT_FALSE(m_counter.OnObject("RAS"));
    EXPECT_EQ(std::vector<std::string>{"RAS"}, m_pdh.itemsAskedFor);
}
