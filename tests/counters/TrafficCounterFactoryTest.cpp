// The byte counter that fits the platform, and the end of a program without its libraries.
#include "counters/TrafficCounterFactory.h"

#include "counters/DialUpPerfStatsCounter.h"
#include "counters/LateBinding.h"
#include "counters/RasPdhCounter.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

OSVERSIONINFOEXA Version(DWORD dwPlatform, DWORD dwMajor, DWORD dwMinor) {
    OSVERSIONINFOEXA osvi = {};
    osvi.dwPlatformId = dwPlatform;
    osvi.dwMajorVersion = dwMajor;
    osvi.dwMinorVersion = dwMinor;
    return osvi;
}

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lX", value);
    return text;
}

} // namespace

TEST(TrafficCounterFactory, TheNtFamilyGetsThePdhBackEnd) {
    const auto counter = CreateTrafficCounter(Version(2, 5, 0));
    EXPECT_NE(nullptr, dynamic_cast<CRasPdhCounter*>(counter.get()));
}

TEST(TrafficCounterFactory, TheWin9xFamilyGetsThePerfStatsBackEnd) {
    for (DWORD dwMinor : {0, 10, 90}) {
        const auto counter = CreateTrafficCounter(Version(1, 4, dwMinor));
        EXPECT_NE(nullptr, dynamic_cast<CDialUpPerfStatsCounter*>(counter.get())) << dwMinor;
    }
}

TEST(TrafficCounterFactory, AZeroedVersionRecordGetsThePerfStatsBackEnd) {
    const auto counter = CreateTrafficCounter(OSVERSIONINFOEXA{});
    EXPECT_NE(nullptr, dynamic_cast<CDialUpPerfStatsCounter*>(counter.get()));
}

// A system without pdh.dll: the first call into it, while the counter is opened, names the
// library and ends the program; Open never comes back.
TEST(LateBindingEnd, AProgramWithoutPdhEndsAtItsFirstCall) {
    const ProbeResult probe = RunProbe("pdh", {{"DllOverrides\\pdh", ""}});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ(Hex(EXIT_LIBRARY_NOT_FOUND), Hex(probe.dwExitCode));
    EXPECT_EQ("box 0 Dll not found: pdh.dll\n", probe.output);
}

TEST(LateBindingEnd, AProgramWithoutTheDialUpLibraryEndsAtItsFirstCall) {
    const ProbeResult probe = RunProbe("ras", {{"DllOverrides\\rasapi32", ""}});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ(Hex(EXIT_LIBRARY_NOT_FOUND), Hex(probe.dwExitCode));
    EXPECT_EQ("box 0 Dll not found: RASAPI32.dll\n", probe.output);
}

TEST(LateBindingEnd, WithTheLibraryPresentTheCallComesBack) {
    const ProbeResult probe = RunProbe("ras", {});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ(0u, probe.dwExitCode);
    EXPECT_EQ(0u, probe.output.find("after "));
    EXPECT_EQ(std::string::npos, probe.output.find("box"));
}
