// The byte counter that fits the platform, and the end of a program without its libraries.
#include "counters/TrafficCounterFactory.h"

#include "counters/DialUpPerfStatsCounter.h"
#include "system/LateBinding.h"
#include "counters/RasPdhCounter.h"

#include "ChildProcess.h"
#include "support/TableRow.h"

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

// A system without one of the late-bound libraries: the first call into it, while the counter
// is opened or the devices are counted, names the library and ends the program; the call never
// comes back.
struct MissingLibraryCase {
    const char* name;
    const char* mode;          // the probe's first call into the library
    const char* hidingSetting; // Wine's setting that hides the library
    const char* output;
};

void PrintTo(const MissingLibraryCase& c, std::ostream* os) {
    *os << c.name;
}

class MissingLibrary : public ::testing::TestWithParam<MissingLibraryCase> {};

const MissingLibraryCase MISSING_LIBRARIES[] = {
    {"Pdh", "pdh", "DllOverrides\\pdh", "box 0 Dll not found: pdh.dll\n"},
    {"DialUp", "ras", "DllOverrides\\rasapi32", "box 0 Dll not found: RASAPI32.dll\n"}};

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

TEST_P(MissingLibrary, EndsTheProgramAtItsFirstCall) {
    const MissingLibraryCase& c = GetParam();
    const ProbeResult probe = RunProbe(c.mode, {{c.hidingSetting, ""}});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ(Hex(EXIT_LIBRARY_NOT_FOUND), Hex(probe.dwExitCode));
    EXPECT_EQ(c.output, probe.output);
}

INSTANTIATE_TEST_SUITE_P(Libraries, MissingLibrary, ::testing::ValuesIn(MISSING_LIBRARIES),
                         RowName());

TEST(LateBindingEnd, WithTheLibraryPresentTheCallComesBack) {
    const ProbeResult probe = RunProbe("ras", {});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ(0u, probe.dwExitCode);
    EXPECT_EQ(0u, probe.output.find("after "));
    EXPECT_EQ(std::string::npos, probe.output.find("box"));
}
