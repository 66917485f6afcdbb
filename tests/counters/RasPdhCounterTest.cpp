// Discovery of the remote access byte totals through the performance data helper.
#include "counters/RasPdhCounter.h"

#include "DiscoveryTable.h"
#include "FakePdh.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pdh;

namespace {

const FakePdhObject PROCESSOR = {"Prozessor", {"% Prozessorzeit"}, {"0", "_Total"}};

class RasPdhCounterTest : public ::testing::Test {
protected:
    FakePdh m_pdh;
    CRasPdhCounter m_counter;
};

using RasPdhCase = DiscoveryCase<FakePdhObject>;

class RasPdhNames : public RasPdhCounterTest, public ::testing::WithParamInterface<RasPdhCase> {};

// Both the object name and the counter names in a letter case of their own.
RasPdhCase LetterCase(const char* name, const char* object) {
    return {name,
            {PROCESSOR, {object, {"BYTES RECEIVED", "bytes gesendet"}, {}}},
            FakePdh::PathOf(object, "BYTES RECEIVED"),
            FakePdh::PathOf(object, "bytes gesendet")};
}

const RasPdhCase RAS_PDH_NAMES[] = {
    {"EnglishNamesGiveBothCounters",
     {{"RAS total", {"Bytes transmitted", "Frames received", "Bytes received"}, {}}},
     FakePdh::PathOf("RAS total", "Bytes received"),
     FakePdh::PathOf("RAS total", "Bytes transmitted")},
    {"ErhalteneBytesCountsAsReceived",
     {{"RAS insgesamt", {"Erhaltene Bytes", "Bytes gesendet"}, {}}},
     FakePdh::PathOf("RAS insgesamt", "Erhaltene Bytes"),
     FakePdh::PathOf("RAS insgesamt", "Bytes gesendet")},
    LetterCase("AnyLetterCase_RAS", "RAS"),
    LetterCase("AnyLetterCase_ras", "ras"),
    LetterCase("AnyLetterCase_rAs", "rAs"),
    LetterCase("AnyLetterCase_ras_TOTAL", "ras TOTAL"),
    LetterCase("AnyLetterCase_Ras_Insgesamt", "Ras Insgesamt")};

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

TEST_P(RasPdhNames, FindTheByteTotals) {
    m_pdh.objects = GetParam().objects;
    ExpectDiscovered(m_counter, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Objects, RasPdhNames, ::testing::ValuesIn(RAS_PDH_NAMES), RowName());

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
    EXPECT_EQ(FakePdh::PathOf("RAS", "Bytes received"),
              FoundPath(m_counter, COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(FakePdh::PathOf("RAS", "Bytes gesendet"), FoundPath(m_counter, COUNTER_BYTES_SENT))
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
