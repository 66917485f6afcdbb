// The start-up check of the dial-up interface, against the simulator, and on plain Windows 95
// with the library or its function taken away.
#include "Win95Setting.h"

#include "ras/RasApi.h"
#include "ras/RasAvailability.h"
#include "support/DialupSimState.h"
#include "support/LateSlotOverride.h"
#include "support/MessageCapture.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::atomic<int> g_nEnumDevicesCalls;

DWORD WINAPI CountedEnumDevices(ras::RASDEVINFO*, LPDWORD lpcb, LPDWORD lpcDevices) {
    ++g_nEnumDevicesCalls;
    *lpcb = 2 * sizeof(ras::RASDEVINFO);
    *lpcDevices = 2;
    return ras::RAS_ERROR_BUFFER_TOO_SMALL;
}

class CheckRasAvailableTest : public ::testing::Test {
protected:
    CheckRasAvailableTest() { g_nEnumDevicesCalls = 0; }
    DialupSimState m_sim;
    MessageCapture m_messages; // a failed late binding would show its text here
};

} // namespace

TEST_F(CheckRasAvailableTest, ReturnsTheNumberOfDevices) {
    EXPECT_EQ(1, CheckRasAvailable());
    m_sim.Set("devices", 3);
    EXPECT_EQ(3, CheckRasAvailable());
}

TEST_F(CheckRasAvailableTest, NoDevicesIsStillAWorkingInterface) {
    m_sim.Set("devices", 0);
    EXPECT_EQ(0, CheckRasAvailable());
}

TEST_F(CheckRasAvailableTest, ARemoteAccessManagerThatCannotStartIsMinusTwo) {
    m_sim.Set("rasman", "fail");
    EXPECT_EQ(RAS_CHECK_RASMAN_FAILED, CheckRasAvailable());
    EXPECT_EQ(-2, RAS_CHECK_RASMAN_FAILED);
}

TEST_F(CheckRasAvailableTest, AnyOtherErrorIsMinusThree) {
    m_sim.Set("rasman", "error");
    EXPECT_EQ(RAS_CHECK_FAILED, CheckRasAvailable());
    EXPECT_EQ(-3, RAS_CHECK_FAILED);
}

TEST_F(CheckRasAvailableTest, OutsideWindows95NothingIsProbed) {
    DialupLoader loader;
    LateSlotOverride<ras::RasEnumDevicesAFn> fake(g_ras.RasEnumDevicesA, &CountedEnumDevices);
    EXPECT_EQ(2, CheckRasAvailable());
    EXPECT_EQ(0, loader.DialupLoads());
    EXPECT_EQ(1, g_nEnumDevicesCalls);
}

TEST_F(CheckRasAvailableTest, OnWindows95AProbeLoadsAndReleasesTheLibraryFirst) {
    ScopedWin95 win95;
    DialupLoader loader;
    LateSlotOverride<ras::RasEnumDevicesAFn> fake(g_ras.RasEnumDevicesA, &CountedEnumDevices);
    EXPECT_EQ(2, CheckRasAvailable());
    EXPECT_EQ(1, loader.DialupLoads());
    EXPECT_EQ(1, loader.DialupReleases());
    EXPECT_EQ(1, g_nEnumDevicesCalls);
}

TEST_F(CheckRasAvailableTest, OnWindows95TheSimulatorsDevicesAreCounted) {
    ScopedWin95 win95;
    DialupLoader loader;
    m_sim.Set("devices", 4);
    EXPECT_EQ(4, CheckRasAvailable());
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(CheckRasAvailableTest, OnWindows95AMissingLibraryIsMinusOneWithoutACall) {
    ScopedWin95 win95;
    DialupLoader loader;
    loader.LoseLibrary();
    LateSlotOverride<ras::RasEnumDevicesAFn> fake(g_ras.RasEnumDevicesA, &CountedEnumDevices);
    EXPECT_EQ(RAS_CHECK_MISSING, CheckRasAvailable());
    EXPECT_EQ(-1, RAS_CHECK_MISSING);
    EXPECT_EQ(0, g_nEnumDevicesCalls);
    EXPECT_EQ(1, loader.DialupLoads());
    EXPECT_TRUE(m_messages.Texts().empty());
}

TEST_F(CheckRasAvailableTest, OnWindows95AMissingFunctionIsMinusOneAndTheLibraryIsReleased) {
    ScopedWin95 win95;
    DialupLoader loader;
    loader.LoseFunction("RasEnumDevicesA");
    LateSlotOverride<ras::RasEnumDevicesAFn> fake(g_ras.RasEnumDevicesA, &CountedEnumDevices);
    EXPECT_EQ(RAS_CHECK_MISSING, CheckRasAvailable());
    EXPECT_EQ(0, g_nEnumDevicesCalls);
    EXPECT_EQ(1, loader.DialupLoads());
    EXPECT_EQ(1, loader.DialupReleases());
    EXPECT_TRUE(m_messages.Texts().empty());
}

// Windows 98 and later have the whole interface; only plain Windows 95 is probed.
TEST_F(CheckRasAvailableTest, Windows98IsNotProbed) {
    const OSVERSIONINFOEXA saved = g_osvi;
    g_osvi.dwPlatformId = PLATFORM_WIN9X;
    g_osvi.dwMajorVersion = 4;
    g_osvi.dwMinorVersion = 10;
    DialupLoader loader;
    loader.LoseLibrary();
    LateSlotOverride<ras::RasEnumDevicesAFn> fake(g_ras.RasEnumDevicesA, &CountedEnumDevices);
    EXPECT_EQ(2, CheckRasAvailable());
    EXPECT_EQ(0, loader.DialupLoads());
    g_osvi = saved;
}
