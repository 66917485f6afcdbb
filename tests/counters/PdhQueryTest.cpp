// The PDH back end's base: one query and its counters, enumeration through the helper.
#include "counters/PdhQuery.h"

#include "CountersTestResources.h"
#include "FakePdh.h"
#include "RecordingCounter.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace pdh;

namespace {

const std::string RECEIVED = FakePdh::PathOf("RAS total", "Bytes received");
const std::string SENT = FakePdh::PathOf("RAS total", "Bytes transmitted");

// The helper lists an object's instances before its counters; they are recorded in that order.
class RecordingPdhQuery : public RecordingCounter<CPdhQuery> {
public:
    BOOL OnInstance(const char* szObject, const char* szInstance) override {
        events.push_back("instance " + std::string(szObject) + "/" + szInstance);
        return ++instances < instanceLimit;
    }

    int instances = 0, instanceLimit = 100;
};

class PdhQueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_pdh.objects = {{"Prozessor", {"% Prozessorzeit"}, {"0", "_Total"}},
                         {"RAS total", {"Bytes received", "Bytes transmitted"}, {}}};
        m_pdh.values[RECEIVED] = 1000;
        m_pdh.values[SENT] = 200;
    }
    void Open() { ASSERT_TRUE(m_query.Open()); }
    bool AddBothTotals() {
        return m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()) &&
               m_query.AddCounterByPath(COUNTER_BYTES_SENT, SENT.c_str());
    }

    FakePdh m_pdh;
    RecordingPdhQuery m_query;
};

// A second sample that the helper cannot give for one counter.
struct LostSampleCase {
    const char* name;
    std::set<std::string> FakePdh::*fault;
    std::string path;
    DWORD dwReceived, dwSent; // after the second sample
};

void PrintTo(const LostSampleCase& c, std::ostream* os) {
    *os << c.name;
}

class PdhQueryLostSample : public PdhQueryTest,
                           public ::testing::WithParamInterface<LostSampleCase> {};

const LostSampleCase LOST_SAMPLES[] = {
    {"FailedFormatting", &FakePdh::failingFormat, RECEIVED, 1000, 400},
    {"InvalidCounterStatus", &FakePdh::invalidData, SENT, 3000, 200}};

} // namespace

TEST_F(PdhQueryTest, OpenOpensOneQueryWithoutDataSource) {
    EXPECT_TRUE(m_query.Open());
    EXPECT_EQ(1u, m_pdh.openQueries.size());
}

TEST_F(PdhQueryTest, OpenFailsWhenTheHelperRefuses) {
    m_pdh.openStatus = PDH_INVALID_ARGUMENT;
    EXPECT_FALSE(m_query.Open());
}

TEST_F(PdhQueryTest, CollectedValuesAreReadPerId) {
    Open();
    ASSERT_TRUE(AddBothTotals());
    EXPECT_EQ(0u, m_query.GetValue(COUNTER_BYTES_RECEIVED)) << "0 until the first sample";
    EXPECT_TRUE(m_query.Collect());
    EXPECT_EQ(1000u, m_query.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(200u, m_query.GetValue(COUNTER_BYTES_SENT));
}

TEST_F(PdhQueryTest, GetValueTakesNoNewSample) {
    Open();
    ASSERT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_query.Collect());
    m_pdh.values[RECEIVED] = 5000;
    EXPECT_EQ(1000u, m_query.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(1000u, m_query.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(1, m_pdh.CallCount("PdhCollectQueryData"));
}

TEST_F(PdhQueryTest, GetValueOfAnIdNeverAddedIsZero) {
    Open();
    EXPECT_EQ(0u, m_query.GetValue(COUNTER_BYTES_SENT));
}

TEST_F(PdhQueryTest, GetLargeValueHandsOnTheWholeCountAndGetValueItsLow32Bits) {
    Open();
    m_pdh.values[RECEIVED] = 0x1FFFFFFFBLL;
    ASSERT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_query.Collect());
    EXPECT_EQ(0x1FFFFFFFBull, m_query.GetLargeValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(0xFFFFFFFBu, m_query.GetValue(COUNTER_BYTES_RECEIVED));
}

TEST_F(PdhQueryTest, CollectWithoutCountersFailsWithoutTouchingTheHelper) {
    Open();
    m_pdh.calls.clear();
    EXPECT_FALSE(m_query.Collect());
    EXPECT_TRUE(m_pdh.calls.empty());
}

TEST_F(PdhQueryTest, CollectFailsWhenTheQueryCannotBeSampled) {
    Open();
    ASSERT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    m_pdh.collectStatus = PDH_NO_DATA;
    EXPECT_FALSE(m_query.Collect());
    EXPECT_EQ(0, m_pdh.CallCount("PdhGetFormattedCounterValue"));
}

TEST_P(PdhQueryLostSample, KeepsTheLastValueWhileTheOtherMovesOn) {
    const LostSampleCase& c = GetParam();
    Open();
    ASSERT_TRUE(AddBothTotals());
    ASSERT_TRUE(m_query.Collect());
    m_pdh.values[RECEIVED] = 3000;
    m_pdh.values[SENT] = 400;
    (m_pdh.*c.fault).insert(c.path);
    EXPECT_TRUE(m_query.Collect());
    EXPECT_EQ(c.dwReceived, m_query.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(c.dwSent, m_query.GetValue(COUNTER_BYTES_SENT));
}

INSTANTIATE_TEST_SUITE_P(Faults, PdhQueryLostSample, ::testing::ValuesIn(LOST_SAMPLES), RowName());

TEST_F(PdhQueryTest, AddCounterByPathRefusesAnEmptyPathAndChangesNothing) {
    Open();
    ASSERT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_query.Collect());
    m_pdh.calls.clear();
    EXPECT_FALSE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, ""));
    EXPECT_FALSE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, nullptr));
    EXPECT_TRUE(m_pdh.calls.empty());
    EXPECT_EQ(1000u, m_query.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_EQ(1u, m_pdh.liveCounters.size());
}

TEST_F(PdhQueryTest, AddingAnIdAgainReplacesTheOldCounterInTheQuery) {
    Open();
    ASSERT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_query.Collect());
    ASSERT_EQ(1u, m_pdh.liveCounters.size());
    const PDH_HCOUNTER old = m_pdh.liveCounters.begin()->first;
    EXPECT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, SENT.c_str()));
    EXPECT_EQ(std::vector<PDH_HCOUNTER>{old}, m_pdh.removedCounters);
    ASSERT_EQ(1u, m_pdh.liveCounters.size());
    EXPECT_EQ(SENT, m_pdh.liveCounters.begin()->second);
    EXPECT_EQ(0u, m_query.GetValue(COUNTER_BYTES_RECEIVED)) << "a new entry starts at 0";
    ASSERT_TRUE(m_query.Collect());
    EXPECT_EQ(200u, m_query.GetValue(COUNTER_BYTES_RECEIVED));
}

TEST_F(PdhQueryTest, AFailedAddLeavesNoEntry) {
    Open();
    m_pdh.addStatus = PDH_CSTATUS_NO_COUNTER;
    EXPECT_FALSE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    EXPECT_FALSE(m_query.Collect());
}

TEST_F(PdhQueryTest, RemoveCounterStopsTheCounterAndForgetsTheId) {
    Open();
    ASSERT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    ASSERT_TRUE(m_query.Collect());
    EXPECT_TRUE(m_query.RemoveCounter(COUNTER_BYTES_RECEIVED));
    EXPECT_TRUE(m_pdh.liveCounters.empty());
    EXPECT_EQ(0u, m_query.GetValue(COUNTER_BYTES_RECEIVED));
    EXPECT_FALSE(m_query.Collect());
}

TEST_F(PdhQueryTest, RemoveCounterOfAnUnknownIdIsTrueAndChangesNothing) {
    Open();
    ASSERT_TRUE(m_query.AddCounterByPath(COUNTER_BYTES_RECEIVED, RECEIVED.c_str()));
    m_pdh.calls.clear();
    EXPECT_TRUE(m_query.RemoveCounter(COUNTER_BYTES_SENT));
    EXPECT_TRUE(m_pdh.calls.empty());
    EXPECT_EQ(1u, m_pdh.liveCounters.size());
}

TEST_F(PdhQueryTest, CloseRemovesEveryCounterAndClosesTheQueryOnce) {
    Open();
    ASSERT_TRUE(AddBothTotals());
    m_query.Close();
    EXPECT_TRUE(m_pdh.liveCounters.empty());
    EXPECT_TRUE(m_pdh.openQueries.empty());
    m_query.Close();
    EXPECT_EQ(1, m_pdh.CallCount("PdhCloseQuery"));
    EXPECT_FALSE(m_query.Collect());
}

TEST_F(PdhQueryTest, DestructionClosesTheQuery) {
    {
        RecordingPdhQuery query;
        ASSERT_TRUE(query.Open());
        ASSERT_TRUE(query.AddCounterByPath(COUNTER_BYTES_SENT, SENT.c_str()));
    }
    EXPECT_TRUE(m_pdh.liveCounters.empty());
    EXPECT_TRUE(m_pdh.openQueries.empty());
}

TEST_F(PdhQueryTest, AddCounterFromResourceTakesThePathFromTheStringTable) {
    Open();
    EXPECT_TRUE(m_query.AddCounterFromResource(COUNTER_BYTES_RECEIVED, IDS_TEST_PDH_PATH));
    EXPECT_EQ(std::vector<std::string>{RECEIVED}, m_pdh.pathsAdded);
    EXPECT_FALSE(m_query.AddCounterFromResource(COUNTER_BYTES_SENT, IDS_TEST_MISSING));
    EXPECT_EQ(1u, m_pdh.liveCounters.size());
}

TEST_F(PdhQueryTest, GetCounterNameAnswersOnlyForANonEmptyName) {
    std::string name = "kept";
    EXPECT_FALSE(m_query.GetCounterName(COUNTER_BYTES_RECEIVED, name));
    m_query.SetCounterName(COUNTER_BYTES_SENT, "");
    EXPECT_FALSE(m_query.GetCounterName(COUNTER_BYTES_SENT, name));
    EXPECT_EQ("kept", name);
    m_query.SetCounterName(COUNTER_BYTES_RECEIVED, "Empfangen");
    EXPECT_TRUE(m_query.GetCounterName(COUNTER_BYTES_RECEIVED, name));
    EXPECT_EQ("Empfangen", name);
}

TEST_F(PdhQueryTest, EnumObjectsCallsOnObjectInTheHelpersOrderUntilFalse) {
    m_pdh.objects.push_back({"Speicher", {}, {}});
    ExpectObjectWalks(m_query, {"object Prozessor", "object RAS total", "object Speicher"}, 2,
                      {"object Prozessor", "object RAS total"});
}

TEST_F(PdhQueryTest, EnumObjectsWithALengthOfZeroAnswersTheSizeStatus) {
    m_pdh.enumObjectsSizeZero = true;
    EXPECT_TRUE(m_query.EnumObjects());
    m_pdh.enumObjectsSizeStatus = PDH_INVALID_ARGUMENT;
    EXPECT_FALSE(m_query.EnumObjects());
    EXPECT_TRUE(m_query.events.empty());
    EXPECT_EQ(2, m_pdh.CallCount("PdhEnumObjectsA")) << "no second call without a length";
}

TEST_F(PdhQueryTest, EnumObjectsFailsWithoutCallbacksWhenTheListCannotBeFetched) {
    m_pdh.enumObjectsStatus = PDH_INVALID_ARGUMENT;
    EXPECT_FALSE(m_query.EnumObjects());
    EXPECT_TRUE(m_query.events.empty());
}

TEST_F(PdhQueryTest, EnumObjectItemsWalksInstancesThenCounters) {
    EXPECT_TRUE(m_query.EnumObjectItems("Prozessor"));
    EXPECT_EQ((std::vector<std::string>{"instance Prozessor/0", "instance Prozessor/_Total",
                                        "counter Prozessor/% Prozessorzeit"}),
              m_query.events);
}

TEST_F(PdhQueryTest, EnumObjectItemsStopsEachListAtFalseOnly) {
    m_pdh.objects[0].counters = {"a", "b", "c"};
    m_query.instanceLimit = 1;
    m_query.counterLimit = 2;
    EXPECT_TRUE(m_query.EnumObjectItems("Prozessor"));
    EXPECT_EQ((std::vector<std::string>{"instance Prozessor/0", "counter Prozessor/a",
                                        "counter Prozessor/b"}),
              m_query.events);
}

TEST_F(PdhQueryTest, EnumObjectItemsAcceptsStatusZeroForTheSizes) {
    m_pdh.itemsSizeOk = true;
    EXPECT_TRUE(m_query.EnumObjectItems("RAS total"));
    EXPECT_EQ(2u, m_query.events.size());
}

TEST_F(PdhQueryTest, EnumObjectItemsFailsOnOtherStatuses) {
    m_pdh.itemsSizeStatus = PDH_CSTATUS_NO_OBJECT;
    EXPECT_FALSE(m_query.EnumObjectItems("RAS total"));
    EXPECT_TRUE(m_pdh.itemsAskedFor.empty());
    m_pdh.itemsSizeStatus = 0;
    m_pdh.itemsStatus = PDH_INVALID_DATA;
    EXPECT_FALSE(m_query.EnumObjectItems("RAS total"));
    EXPECT_TRUE(m_query.events.empty());
}

TEST_F(PdhQueryTest, EnumObjectItemsOfAnObjectWithoutItemsCallsNothing) {
    m_pdh.objects.push_back({"Leer", {}, {}});
    EXPECT_TRUE(m_query.EnumObjectItems("Leer"));
    EXPECT_TRUE(m_query.events.empty());
}

TEST_F(PdhQueryTest, EnumObjectInstancesWalksOnlyTheInstances) {
    EXPECT_TRUE(m_query.EnumObjectInstances("Prozessor"));
    EXPECT_EQ((std::vector<std::string>{"instance Prozessor/0", "instance Prozessor/_Total"}),
              m_query.events);
    m_pdh.itemsStatus = PDH_INVALID_DATA;
    EXPECT_FALSE(m_query.EnumObjectInstances("Prozessor"));
}

TEST_F(PdhQueryTest, MakeCounterPathAsksForTheLocalMachinesPath) {
    std::string path = "old";
    EXPECT_TRUE(m_query.MakeCounterPath("RAS total", "Bytes received", nullptr, path));
    EXPECT_EQ(RECEIVED, path);
    ASSERT_EQ(1u, m_pdh.pathElements.size());
    const PDH_COUNTER_PATH_ELEMENTS_A& e = m_pdh.pathElements[0];
    EXPECT_EQ(nullptr, e.szMachineName);
    EXPECT_EQ(nullptr, e.szInstanceName);
    EXPECT_EQ(nullptr, e.szParentInstance);
    EXPECT_EQ(0u, e.dwInstanceIndex);
    EXPECT_STREQ("RAS total", e.szObjectName);
    EXPECT_STREQ("Bytes received", e.szCounterName);
}

TEST_F(PdhQueryTest, MakeCounterPathFailsWithAnEmptyText) {
    std::string path = "old";
    m_pdh.makePathSizeStatus = PDH_INVALID_ARGUMENT;
    EXPECT_FALSE(m_query.MakeCounterPath("RAS total", "Bytes received", nullptr, path));
    EXPECT_EQ("", path);
    m_pdh.makePathSizeStatus = 0;
    m_pdh.makePathStatus = PDH_INVALID_DATA;
    EXPECT_FALSE(m_query.MakeCounterPath("RAS total", "Bytes received", nullptr, path));
}

// The system's own pdh.dll behind the slots. Its counter list lacks the remote access objects,
// so a counter of its own stands in for them.
TEST(PdhQuerySystem, SamplesACounterOfTheSystemsHelper) {
    class SystemQuery : public CPdhQuery {
    public:
        BOOL AddCounter(DWORD) override { return FALSE; }
        BOOL OnObject(const char*) override { return FALSE; }
        BOOL OnCounter(const char*, const char*) override { return FALSE; }
        BOOL OnInstance(const char*, const char*) override { return FALSE; }
    } query;
    ASSERT_TRUE(query.Open());
    ASSERT_TRUE(query.AddCounterByPath(1, "\\System\\System Up Time"));
    EXPECT_FALSE(query.AddCounterByPath(2, "\\Tarvolo\\No Such Counter"));
    EXPECT_TRUE(query.Collect());
    Sleep(1100);
    EXPECT_TRUE(query.Collect());
    EXPECT_GT(query.GetValue(1), 0u);
    EXPECT_EQ(0u, query.GetValue(2));
    query.Close();
    EXPECT_FALSE(query.Collect());
}
