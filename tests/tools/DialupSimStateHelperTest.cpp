// The tests' way of changing the simulator's state: no change may get lost while the simulator
// holds the file open for reading, as it does on every call and every 100 ms.
#include "RasRecords.h"
#include "SimLibrary.h"
#include "support/DialupSimState.h"
#include "support/TestThread.h"

#include <gtest/gtest.h>

#include <atomic>

TEST(DialupSimStateHelper, EveryChangeArrivesWhileTheSimulatorKeepsReading) {
    using RasEnumConnectionsFn = DWORD(WINAPI*)(dialup_sim::RasConnA*, DWORD*, DWORD*);
    SimLibrary ras("rasapi32.dll");
    const auto enumConnections = ras.Get<RasEnumConnectionsFn>("RasEnumConnectionsA");
    ASSERT_NE(nullptr, enumConnections);
    const auto count = [enumConnections] {
        dialup_sim::RasConnA probe{};
        probe.dwSize = sizeof probe;
        DWORD size = 0;
        DWORD connections = 0;
        enumConnections(&probe, &size, &connections);
        return connections;
    };

    DialupSimState state;
    std::atomic<bool> bDone{false};
    TestThread reader([&] {
        while (!bDone)
            count();
    });
    int nLost = 0;
    for (DWORD i = 1; i <= 200; ++i) {
        state.Set("connections", static_cast<int>(i % 7));
        if (count() != i % 7)
            ++nLost;
    }
    bDone = true;
    reader.Join();
    EXPECT_EQ(0, nLost);
}
