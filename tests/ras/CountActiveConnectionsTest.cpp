// Counting the active dial-up connections: against the simulator, and with scripted dial-up
// functions for what the simulator does not play (a list that grows between the two calls, a
// failed enumeration).
#include "ras/RasApi.h"
#include "ras/CRasWatcher.h"
#include "support/DialupSimState.h"
#include "support/LateSlotOverride.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What the scripted RasEnumConnectionsA and RasGetConnectStatusA answer, call by call.
struct EnumAnswer {
    DWORD dwResult;
    DWORD nCount; // count reported; entries filled when the result is 0
};

struct EnumCall {
    DWORD dwFirstEntrySize;
    DWORD cbIn;
    bool bWithBuffer;
};

struct Script {
    std::vector<EnumAnswer> enumAnswers;
    std::vector<EnumCall> enumCalls;
    // Per connection handle 1, 2, ...: the status call's result and state.
    std::vector<std::pair<DWORD, ras::RASCONNSTATE>> statuses;
    std::vector<DWORD> statusSizes;
    bool bOverrun = false;
};

Script& TheScript() {
    static Script script;
    return script;
}

DWORD WINAPI ScriptedEnum(ras::RASCONN* pEntries, LPDWORD lpcb, LPDWORD lpcCount) {
    Script& script = TheScript();
    const size_t nCall = script.enumCalls.size();
    script.enumCalls.push_back({pEntries ? pEntries->dwSize : 0, *lpcb, pEntries != nullptr});
    const EnumAnswer answer = nCall < script.enumAnswers.size()
                                  ? script.enumAnswers[nCall]
                                  : EnumAnswer{ERROR_INVALID_PARAMETER, 0};
    const DWORD cbNeeded = answer.nCount * sizeof(ras::RASCONN);
    if (answer.dwResult == ras::RAS_SUCCESS) {
        if (*lpcb < cbNeeded) {
            script.bOverrun = true; // the caller announced less room than it wants filled
            return ras::RAS_ERROR_BUFFER_TOO_SMALL;
        }
        for (DWORD i = 0; i < answer.nCount; ++i) {
            pEntries[i].dwSize = sizeof(ras::RASCONN);
            pEntries[i].hrasconn = reinterpret_cast<ras::HRASCONN>(static_cast<UINT_PTR>(i + 1));
        }
    }
    *lpcb = cbNeeded;
    *lpcCount = answer.nCount;
    return answer.dwResult;
}

DWORD WINAPI ScriptedStatus(ras::HRASCONN hConnection, ras::RASCONNSTATUS* pStatus) {
    Script& script = TheScript();
    script.statusSizes.push_back(pStatus->dwSize);
    const UINT_PTR index = reinterpret_cast<UINT_PTR>(hConnection) - 1;
    if (index >= script.statuses.size())
        return ERROR_INVALID_HANDLE;
    pStatus->rasconnstate = script.statuses[index].second;
    return script.statuses[index].first;
}

class ScriptedCount : public ::testing::Test {
protected:
    ScriptedCount()
        : m_enum(g_ras.RasEnumConnectionsA, &ScriptedEnum),
          m_status(g_ras.RasGetConnectStatusA, &ScriptedStatus) {
        TheScript() = Script();
    }

    LateSlotOverride<ras::RasEnumConnectionsAFn> m_enum;
    LateSlotOverride<ras::RasGetConnectStatusAFn> m_status;
};

const DWORD kEntrySize = sizeof(void*) == 4 ? 412 : 424;
const DWORD kStatusSize = 160;
const DWORD kOtherError = 621;

} // namespace

TEST(CountActiveConnections, FollowsTheSimulator) {
    DialupSimState sim;
    EXPECT_EQ(0, CRasWatcher::CountActiveConnections());
    sim.Set("connections", 3);
    EXPECT_EQ(3, CRasWatcher::CountActiveConnections());
    sim.Set("connections", 1);
    EXPECT_EQ(1, CRasWatcher::CountActiveConnections());
}

// Still dialling, already down or unreadable: only a connection that is through counts.
TEST(CountActiveConnections, CountsOnlyConnectedOnes) {
    DialupSimState sim;
    sim.Set("connections", 4);
    sim.Set("connection2", "dialling");
    sim.Set("connection3", "disconnected");
    sim.Set("connection4", "668");
    EXPECT_EQ(1, CRasWatcher::CountActiveConnections());
}

TEST(CountActiveConnections, SizesTheListFromTheBytesNeededWhenNoCountComesBack) {
    DialupSimState sim;
    sim.Set("connections", 3);
    sim.Set("enum_count", "written");
    EXPECT_EQ(3, CRasWatcher::CountActiveConnections());
}

TEST_F(ScriptedCount, AsksForTheSizeThenReadsTheListWithTheRecordSizes) {
    TheScript().enumAnswers = {{ras::RAS_ERROR_BUFFER_TOO_SMALL, 2}, {ras::RAS_SUCCESS, 2}};
    TheScript().statuses = {{0, ras::RASCS_Connected}, {0, ras::RASCS_Connected}};
    EXPECT_EQ(2, CRasWatcher::CountActiveConnections());

    const std::vector<EnumCall>& calls = TheScript().enumCalls;
    ASSERT_EQ(2u, calls.size());
    EXPECT_TRUE(calls[0].bWithBuffer);
    EXPECT_EQ(kEntrySize, calls[0].dwFirstEntrySize);
    EXPECT_EQ(0u, calls[0].cbIn);
    EXPECT_EQ(kEntrySize, calls[1].dwFirstEntrySize);
    EXPECT_EQ(2 * kEntrySize, calls[1].cbIn);
    EXPECT_EQ(std::vector<DWORD>({kStatusSize, kStatusSize}), TheScript().statusSizes);
    EXPECT_FALSE(TheScript().bOverrun);
}

TEST_F(ScriptedCount, NoConnectionListedIsZeroWithoutASecondCall) {
    TheScript().enumAnswers = {{ras::RAS_SUCCESS, 0}};
    EXPECT_EQ(0, CRasWatcher::CountActiveConnections());
    EXPECT_EQ(1u, TheScript().enumCalls.size());
    EXPECT_TRUE(TheScript().statusSizes.empty());
}

TEST_F(ScriptedCount, AFailedEnumerationIsZero) {
    TheScript().enumAnswers = {{kOtherError, 0}};
    EXPECT_EQ(0, CRasWatcher::CountActiveConnections());
    EXPECT_TRUE(TheScript().statusSizes.empty());
}

TEST_F(ScriptedCount, ASecondCallThatFailsCountsNothing) {
    TheScript().enumAnswers = {{ras::RAS_ERROR_BUFFER_TOO_SMALL, 2}, {kOtherError, 2}};
    TheScript().statuses = {{0, ras::RASCS_Connected}, {0, ras::RASCS_Connected}};
    EXPECT_EQ(0, CRasWatcher::CountActiveConnections());
    EXPECT_TRUE(TheScript().statusSizes.empty());
}

// A connection that comes up between the two calls must not make the count read past the list.
TEST_F(ScriptedCount, AListThatGrowsBetweenTheCallsIsReadAgainWithMoreRoom) {
    TheScript().enumAnswers = {{ras::RAS_ERROR_BUFFER_TOO_SMALL, 1},
                               {ras::RAS_ERROR_BUFFER_TOO_SMALL, 3},
                               {ras::RAS_SUCCESS, 3}};
    TheScript().statuses = {
        {0, ras::RASCS_Connected}, {0, ras::RASCS_Connected}, {0, ras::RASCS_Connected}};
    EXPECT_EQ(3, CRasWatcher::CountActiveConnections());
    const std::vector<EnumCall>& calls = TheScript().enumCalls;
    ASSERT_EQ(3u, calls.size());
    EXPECT_EQ(1 * kEntrySize, calls[1].cbIn);
    EXPECT_EQ(3 * kEntrySize, calls[2].cbIn);
    EXPECT_FALSE(TheScript().bOverrun);
}

TEST_F(ScriptedCount, AListThatKeepsGrowingIsGivenUpOn) {
    TheScript().enumAnswers = {{ras::RAS_ERROR_BUFFER_TOO_SMALL, 1},
                               {ras::RAS_ERROR_BUFFER_TOO_SMALL, 2},
                               {ras::RAS_ERROR_BUFFER_TOO_SMALL, 3},
                               {ras::RAS_ERROR_BUFFER_TOO_SMALL, 4},
                               {ras::RAS_SUCCESS, 4}};
    EXPECT_EQ(0, CRasWatcher::CountActiveConnections());
    EXPECT_LE(TheScript().enumCalls.size(), 4u);
    EXPECT_TRUE(TheScript().statusSizes.empty());
}
