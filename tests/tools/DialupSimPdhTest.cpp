// The simulated pdh.dll, loaded from the test program's folder as the program loads it.
#include "SimLibrary.h"
#include "support/DialupSimState.h"

#include <windows.h>

#include <pdh.h>
#include <pdhmsg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using OpenQueryFn = PDH_STATUS(WINAPI*)(LPCSTR, DWORD_PTR, PDH_HQUERY*);
using CloseQueryFn = PDH_STATUS(WINAPI*)(PDH_HQUERY);
using AddCounterFn = PDH_STATUS(WINAPI*)(PDH_HQUERY, LPCSTR, DWORD_PTR, PDH_HCOUNTER*);
using RemoveCounterFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER);
using CollectFn = PDH_STATUS(WINAPI*)(PDH_HQUERY);
using FormattedValueFn = PDH_STATUS(WINAPI*)(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE);
using EnumObjectsFn = PDH_STATUS(WINAPI*)(LPCSTR, LPCSTR, LPSTR, LPDWORD, DWORD, BOOL);
using EnumItemsFn = PDH_STATUS(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPSTR, LPDWORD, LPSTR, LPDWORD,
                                        DWORD, DWORD);
using MakePathFn = PDH_STATUS(WINAPI*)(PPDH_COUNTER_PATH_ELEMENTS_A, LPSTR, LPDWORD, DWORD);

// The values the program relies on, written out rather than taken from the header.
constexpr PDH_STATUS kMoreData = static_cast<PDH_STATUS>(0x800007D2);
constexpr DWORD kFormatLong = 0x100;
constexpr DWORD kDetailWizard = 400;

std::vector<std::string> SplitList(const std::vector<char>& buffer, DWORD length) {
    std::vector<std::string> names;
    for (DWORD at = 0; at < length && buffer[at] != '\0';) {
        names.emplace_back(&buffer[at]);
        at += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class PdhSim : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_library.IsLoaded());
        m_open = m_library.Get<OpenQueryFn>("PdhOpenQuery");
        m_close = m_library.Get<CloseQueryFn>("PdhCloseQuery");
        m_add = m_library.Get<AddCounterFn>("PdhAddCounterA");
        m_remove = m_library.Get<RemoveCounterFn>("PdhRemoveCounter");
        m_collect = m_library.Get<CollectFn>("PdhCollectQueryData");
        m_format = m_library.Get<FormattedValueFn>("PdhGetFormattedCounterValue");
        m_enumObjects = m_library.Get<EnumObjectsFn>("PdhEnumObjectsA");
        m_enumItems = m_library.Get<EnumItemsFn>("PdhEnumObjectItemsA");
        m_makePath = m_library.Get<MakePathFn>("PdhMakeCounterPathA");
        ASSERT_TRUE(m_open && m_close && m_add && m_remove && m_collect && m_format &&
                    m_enumObjects && m_enumItems && m_makePath);
        ASSERT_EQ(0, m_open(nullptr, 0, &m_query));
    }
    void TearDown() override {
        if (m_query)
            m_close(m_query);
    }

    // The program's discovery: ask for the size, then fetch.
    std::vector<std::string> Objects() {
        DWORD length = 0;
        EXPECT_EQ(kMoreData,
                  m_enumObjects(nullptr, nullptr, nullptr, &length, kDetailWizard, TRUE));
        std::vector<char> buffer(length);
        EXPECT_EQ(0, m_enumObjects(nullptr, nullptr, buffer.data(), &length, kDetailWizard, TRUE));
        return SplitList(buffer, length);
    }

    struct Items {
        PDH_STATUS status;
        std::vector<std::string> counters;
        DWORD instanceLength;
        std::vector<std::string> instances;
    };

    Items ItemsOf(const char* object) {
        Items items{};
        DWORD counterLength = 0;
        DWORD instanceLength = 0;
        items.status = m_enumItems(nullptr, nullptr, object, nullptr, &counterLength, nullptr,
                                   &instanceLength, kDetailWizard, 0);
        if (items.status != 0 && items.status != kMoreData)
            return items;
        std::vector<char> counters(counterLength + 1);
        std::vector<char> instances(instanceLength + 1);
        items.status = m_enumItems(nullptr, nullptr, object, counters.data(), &counterLength,
                                   instances.data(), &instanceLength, kDetailWizard, 0);
        items.counters = SplitList(counters, counterLength);
        items.instanceLength = instanceLength;
        items.instances = SplitList(instances, instanceLength);
        return items;
    }

    std::string MakePath(const char* object, const char* counter) {
        PDH_COUNTER_PATH_ELEMENTS_A elements{};
        elements.szObjectName = const_cast<LPSTR>(object);
        elements.szCounterName = const_cast<LPSTR>(counter);
        DWORD length = 0;
        EXPECT_EQ(kMoreData, m_makePath(&elements, nullptr, &length, 0));
        std::string path(length, '\0');
        EXPECT_EQ(0, m_makePath(&elements, &path[0], &length, 0));
        path.resize(path.find('\0'));
        return path;
    }

    PDH_HCOUNTER Add(const std::string& path, PDH_STATUS expected = 0) {
        PDH_HCOUNTER counter = nullptr;
        EXPECT_EQ(expected, m_add(m_query, path.c_str(), 0, &counter)) << path;
        return counter;
    }

    PDH_FMT_COUNTERVALUE Value(PDH_HCOUNTER counter, PDH_STATUS expected = 0) {
        PDH_FMT_COUNTERVALUE value{};
        value.CStatus = 0xFFFFFFFF;
        EXPECT_EQ(expected, m_format(counter, kFormatLong, nullptr, &value));
        return value;
    }

    DialupSimState m_state;
    SimLibrary m_library{"pdh.dll"};
    PDH_HQUERY m_query = nullptr;
    OpenQueryFn m_open = nullptr;
    CloseQueryFn m_close = nullptr;
    AddCounterFn m_add = nullptr;
    RemoveCounterFn m_remove = nullptr;
    CollectFn m_collect = nullptr;
    FormattedValueFn m_format = nullptr;
    EnumObjectsFn m_enumObjects = nullptr;
    EnumItemsFn m_enumItems = nullptr;
    MakePathFn m_makePath = nullptr;
};

} // namespace

static_assert(sizeof(PDH_FMT_COUNTERVALUE) == 16, "value record the program passes");
static_assert(sizeof(PDH_COUNTER_PATH_ELEMENTS_A) == 6 * sizeof(void*),
              "path elements the program passes");

TEST_F(PdhSim, AQueryClosesOnce) {
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(0, m_open(nullptr, 0, &query));
    EXPECT_NE(nullptr, query);
    EXPECT_NE(query, m_query);
    EXPECT_EQ(0, m_close(query));
    EXPECT_EQ(static_cast<PDH_STATUS>(PDH_INVALID_HANDLE), m_close(query));
}

TEST_F(PdhSim, ObjectListHasTheDialUpObjectAmongOthers) {
    const std::vector<std::string> objects = Objects();
    EXPECT_TRUE(Contains(objects, "RAS Total"));
    EXPECT_GT(objects.size(), 2u);
}

TEST_F(PdhSim, ObjectListIsEndedByAnEmptyNameAtTheReportedLength) {
    DWORD length = 0;
    ASSERT_EQ(kMoreData, m_enumObjects(nullptr, nullptr, nullptr, &length, kDetailWizard, TRUE));
    ASSERT_GT(length, 2u);
    std::vector<char> buffer(length, 'x');
    DWORD shortLength = length - 1;
    EXPECT_EQ(kMoreData,
              m_enumObjects(nullptr, nullptr, buffer.data(), &shortLength, kDetailWizard, TRUE));
    EXPECT_EQ(length, shortLength);
    ASSERT_EQ(0, m_enumObjects(nullptr, nullptr, buffer.data(), &length, kDetailWizard, TRUE));
    EXPECT_EQ('\0', buffer[length - 1]);
    EXPECT_EQ('\0', buffer[length - 2]);
}

TEST_F(PdhSim, ObjectNameComesFromTheStateAndAnEmptyNameLeavesItOut) {
    m_state.Set("pdh_object", "RAS insgesamt");
    std::vector<std::string> objects = Objects();
    EXPECT_TRUE(Contains(objects, "RAS insgesamt"));
    EXPECT_FALSE(Contains(objects, "RAS Total"));

    m_state.Set("pdh_object", "");
    objects = Objects();
    EXPECT_FALSE(Contains(objects, "RAS insgesamt"));
    EXPECT_FALSE(Contains(objects, "RAS Total"));
    EXPECT_FALSE(objects.empty());
}

TEST_F(PdhSim, DialUpObjectHasTheByteCountersAndNoInstances) {
    const Items items = ItemsOf("RAS Total");
    EXPECT_EQ(0, items.status);
    EXPECT_TRUE(Contains(items.counters, "Bytes Received"));
    EXPECT_TRUE(Contains(items.counters, "Bytes Transmitted"));
    EXPECT_LE(items.instanceLength, 2u);
}

TEST_F(PdhSim, CounterNamesComeFromTheStateAndAnEmptyNameLeavesOneOut) {
    m_state.Set("pdh_object", "RAS insgesamt");
    m_state.Set("pdh_received", "Bytes empfangen");
    m_state.Set("pdh_sent", "");
    const Items items = ItemsOf("ras INSGESAMT");
    EXPECT_EQ(0, items.status);
    EXPECT_TRUE(Contains(items.counters, "Bytes empfangen"));
    EXPECT_FALSE(Contains(items.counters, "Bytes Received"));
    EXPECT_FALSE(Contains(items.counters, "Bytes Transmitted"));
}

TEST_F(PdhSim, ObjectsWithInstancesListThem) {
    const Items items = ItemsOf("Processor");
    EXPECT_EQ(0, items.status);
    EXPECT_GT(items.instanceLength, 2u);
    EXPECT_FALSE(items.instances.empty());
}

TEST_F(PdhSim, UnknownObjectHasNoItems) {
    EXPECT_EQ(static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT), ItemsOf("Kaffeemaschine").status);
}

TEST_F(PdhSim, MakeCounterPathAsksForTheSizeThenFormsThePath) {
    EXPECT_EQ("\\RAS Total\\Bytes Received", MakePath("RAS Total", "Bytes Received"));

    PDH_COUNTER_PATH_ELEMENTS_A elements{};
    elements.szMachineName = const_cast<LPSTR>("PC");
    elements.szObjectName = const_cast<LPSTR>("Processor");
    elements.szInstanceName = const_cast<LPSTR>("0");
    elements.dwInstanceIndex = 1;
    elements.szCounterName = const_cast<LPSTR>("% Processor Time");
    char path[64];
    DWORD length = sizeof path;
    ASSERT_EQ(0, m_makePath(&elements, path, &length, 0));
    EXPECT_STREQ("\\\\PC\\Processor(0#1)\\% Processor Time", path);
    EXPECT_EQ(strlen(path) + 1, length);
}

TEST_F(PdhSim, AddingCountersChecksObjectAndCounter) {
    EXPECT_NE(nullptr, Add(MakePath("RAS Total", "Bytes Received")));
    EXPECT_NE(nullptr, Add("\\ras total\\BYTES TRANSMITTED"));
    Add("\\RAS Total\\Bytes gesendet", PDH_CSTATUS_NO_COUNTER);
    Add("\\RAS insgesamt\\Bytes Received", PDH_CSTATUS_NO_OBJECT);
    Add("RAS Total Bytes Received", PDH_CSTATUS_BAD_COUNTERNAME);
    PDH_HCOUNTER counter = nullptr;
    EXPECT_EQ(
        static_cast<PDH_STATUS>(PDH_INVALID_HANDLE),
        m_add(reinterpret_cast<PDH_HQUERY>(0x1234), "\\RAS Total\\Bytes Received", 0, &counter));
}

TEST_F(PdhSim, ValuesAreTheStateTotalsAtTheLastCollect) {
    m_state.Set("received", 1000);
    m_state.Set("sent", 2000);
    PDH_HCOUNTER received = Add("\\RAS Total\\Bytes Received");
    PDH_HCOUNTER sent = Add("\\RAS Total\\Bytes Transmitted");
    EXPECT_EQ(static_cast<DWORD>(PDH_CSTATUS_INVALID_DATA),
              Value(received, PDH_INVALID_DATA).CStatus);

    ASSERT_EQ(0, m_collect(m_query));
    PDH_FMT_COUNTERVALUE value = Value(received);
    EXPECT_EQ(0u, value.CStatus);
    EXPECT_EQ(1000, value.longValue);
    EXPECT_EQ(2000, Value(sent).longValue);

    m_state.Set("received", 5000);
    EXPECT_EQ(1000, Value(received).longValue);
    ASSERT_EQ(0, m_collect(m_query));
    EXPECT_EQ(5000, Value(received).longValue);
}

TEST_F(PdhSim, TotalsAreShownModuloTwoToThe32) {
    m_state.Set("received", 4294967296ull + 5);
    m_state.Set("sent", 3000000000ull);
    PDH_HCOUNTER received = Add("\\RAS Total\\Bytes Received");
    PDH_HCOUNTER sent = Add("\\RAS Total\\Bytes Transmitted");
    ASSERT_EQ(0, m_collect(m_query));
    EXPECT_EQ(5, Value(received).longValue);
    EXPECT_EQ(3000000000u, static_cast<DWORD>(Value(sent).longValue));

    PDH_FMT_COUNTERVALUE large{};
    ASSERT_EQ(0, m_format(sent, PDH_FMT_LARGE, nullptr, &large));
    EXPECT_EQ(3000000000ll, large.largeValue);
}

// 6 GiB: a 32-bit counter shows 2 GiB, which PDH_FMT_LONG cannot hold either.
TEST_F(PdhSim, CountsPastTwoGiBFollowTheCounterWidthAndTheLongFormat) {
    struct Row {
        const char* bits;
        const char* longFormat;
        LONGLONG large;
        PDH_STATUS longStatus;
        LONG longValue;
    };
    const Row rows[] = {
        {"32", "cast", 0x80000000ll, 0, LONG(0x80000000u)},
        {"32", "clamp", 0x80000000ll, 0, 0x7FFFFFFF},
        {"64", "error", 0x180000000ll, static_cast<PDH_STATUS>(PDH_CALC_NEGATIVE_VALUE), 0}};
    m_state.Set("received", 0x180000000ull);
    PDH_HCOUNTER received = Add("\\RAS Total\\Bytes Received");
    for (const Row& row : rows) {
        m_state.Set("counter_bits", row.bits);
        m_state.Set("pdh_long", row.longFormat);
        ASSERT_EQ(0, m_collect(m_query));
        PDH_FMT_COUNTERVALUE large{};
        ASSERT_EQ(0, m_format(received, PDH_FMT_LARGE, nullptr, &large));
        EXPECT_EQ(row.large, large.largeValue) << row.bits << " " << row.longFormat;
        const PDH_FMT_COUNTERVALUE asLong = Value(received, row.longStatus);
        if (row.longStatus == 0)
            EXPECT_EQ(row.longValue, asLong.longValue) << row.longFormat;
        else
            EXPECT_EQ(static_cast<DWORD>(row.longStatus), asLong.CStatus);
    }
}

TEST_F(PdhSim, NewDataMarksAValueThatChangedWhenAsked) {
    m_state.Set("pdh_cstatus", "new");
    m_state.Set("received", 10);
    PDH_HCOUNTER received = Add("\\RAS Total\\Bytes Received");
    ASSERT_EQ(0, m_collect(m_query));
    EXPECT_EQ(static_cast<DWORD>(PDH_CSTATUS_NEW_DATA), Value(received).CStatus);
    ASSERT_EQ(0, m_collect(m_query));
    EXPECT_EQ(static_cast<DWORD>(PDH_CSTATUS_VALID_DATA), Value(received).CStatus);
    m_state.Set("received", 20);
    ASSERT_EQ(0, m_collect(m_query));
    EXPECT_EQ(static_cast<DWORD>(PDH_CSTATUS_NEW_DATA), Value(received).CStatus);
}

// As on Windows XP: a buffer of the size the first call reported is still too small.
TEST_F(PdhSim, SizesReportedShortLeaveTheirBuffersTooSmall) {
    m_state.Set("pdh_size_short", 1);
    DWORD length = 0;
    ASSERT_EQ(kMoreData, m_enumObjects(nullptr, nullptr, nullptr, &length, kDetailWizard, TRUE));
    std::vector<char> objects(length);
    EXPECT_EQ(kMoreData,
              m_enumObjects(nullptr, nullptr, objects.data(), &length, kDetailWizard, TRUE));

    DWORD counterLength = 0;
    DWORD instanceLength = 0;
    ASSERT_EQ(kMoreData, m_enumItems(nullptr, nullptr, "RAS Total", nullptr, &counterLength,
                                     nullptr, &instanceLength, kDetailWizard, 0));
    std::vector<char> counters(counterLength);
    EXPECT_EQ(kMoreData, m_enumItems(nullptr, nullptr, "RAS Total", counters.data(), &counterLength,
                                     nullptr, &instanceLength, kDetailWizard, 0));
    counters.resize(counterLength + 1);
    ++counterLength;
    EXPECT_EQ(0, m_enumItems(nullptr, nullptr, "RAS Total", counters.data(), &counterLength,
                             nullptr, &instanceLength, kDetailWizard, 0));
}

TEST_F(PdhSim, RenamedCountersCarryTheValues) {
    m_state.Set("pdh_object", "RAS insgesamt");
    m_state.Set("pdh_received", "Bytes empfangen");
    m_state.Set("pdh_sent", "Bytes gesendet");
    m_state.Set("received", 11);
    m_state.Set("sent", 22);
    PDH_HCOUNTER received = Add(MakePath("RAS insgesamt", "Bytes empfangen"));
    PDH_HCOUNTER sent = Add(MakePath("RAS insgesamt", "Bytes gesendet"));
    ASSERT_EQ(0, m_collect(m_query));
    EXPECT_EQ(11, Value(received).longValue);
    EXPECT_EQ(22, Value(sent).longValue);
}

TEST_F(PdhSim, FailedCollectKeepsTheLastValues) {
    m_state.Set("received", 100);
    PDH_HCOUNTER received = Add("\\RAS Total\\Bytes Received");
    ASSERT_EQ(0, m_collect(m_query));
    m_state.Set("collect", "fail");
    m_state.Set("received", 900);
    EXPECT_NE(0, m_collect(m_query));
    EXPECT_EQ(100, Value(received).longValue);
    m_state.Set("collect", "ok");
    EXPECT_EQ(0, m_collect(m_query));
    EXPECT_EQ(900, Value(received).longValue);
}

TEST_F(PdhSim, CollectWithoutCountersFails) {
    EXPECT_NE(0, m_collect(m_query));
}

TEST_F(PdhSim, RemovedAndClosedCountersAreGone) {
    PDH_HCOUNTER removed = Add("\\RAS Total\\Bytes Received");
    PDH_HCOUNTER kept = Add("\\RAS Total\\Bytes Transmitted");
    EXPECT_EQ(0, m_remove(removed));
    EXPECT_EQ(static_cast<PDH_STATUS>(PDH_INVALID_HANDLE), m_remove(removed));
    ASSERT_EQ(0, m_collect(m_query));
    Value(removed, PDH_INVALID_HANDLE);
    Value(kept);

    EXPECT_EQ(0, m_close(m_query));
    m_query = nullptr;
    Value(kept, PDH_INVALID_HANDLE);
}
