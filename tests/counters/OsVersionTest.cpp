// The platform version record and the four platform predicates.
#include "counters/OsVersion.h"

#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

OSVERSIONINFOEXA Version(DWORD dwPlatform, DWORD dwMajor, DWORD dwMinor) {
    OSVERSIONINFOEXA osvi = {};
    osvi.dwOSVersionInfoSize = sizeof osvi;
    osvi.dwPlatformId = dwPlatform;
    osvi.dwMajorVersion = dwMajor;
    osvi.dwMinorVersion = dwMinor;
    return osvi;
}

struct PredicateCase {
    const char* name;
    OSVERSIONINFOEXA osvi;
    BOOL b9x, bNt, b98, b95;
};

// Keeps the 156-byte record out of the test's name in listings.
void PrintTo(const PredicateCase& c, std::ostream* os) {
    *os << c.name;
}

class PlatformPredicates : public ::testing::TestWithParam<PredicateCase> {};

// The sizes handed to GetVersionExA, and how many calls succeed from which size on.
std::vector<DWORD> g_sizesAsked;
DWORD g_sizeAccepted = 0;

BOOL WINAPI FakeGetVersion(LPOSVERSIONINFOA osvi) {
    g_sizesAsked.push_back(osvi->dwOSVersionInfoSize);
    if (osvi->dwOSVersionInfoSize != g_sizeAccepted)
        return FALSE;
    osvi->dwPlatformId = 1;
    osvi->dwMajorVersion = 4;
    osvi->dwMinorVersion = 10;
    return TRUE;
}

} // namespace

TEST_P(PlatformPredicates, FollowPlatformAndVersion) {
    const PredicateCase& c = GetParam();
    EXPECT_EQ(c.b9x, IsWin9xFamily(c.osvi));
    EXPECT_EQ(c.bNt, IsNtFamily(c.osvi));
    EXPECT_EQ(c.b98, IsWin98OrLater(c.osvi));
    EXPECT_EQ(c.b95, IsWin95(c.osvi));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, PlatformPredicates,
    ::testing::Values(PredicateCase{"Win95", Version(1, 4, 0), TRUE, FALSE, FALSE, TRUE},
                      PredicateCase{"Win98", Version(1, 4, 10), TRUE, FALSE, TRUE, FALSE},
                      PredicateCase{"WinMe", Version(1, 4, 90), TRUE, FALSE, TRUE, FALSE},
                      PredicateCase{"Win9x5", Version(1, 5, 0), TRUE, FALSE, TRUE, FALSE},
                      PredicateCase{"Win9x3", Version(1, 3, 95), TRUE, FALSE, FALSE, TRUE},
                      PredicateCase{"NT4", Version(2, 4, 0), FALSE, TRUE, FALSE, FALSE},
                      PredicateCase{"Win2000", Version(2, 5, 0), FALSE, TRUE, FALSE, FALSE},
                      PredicateCase{"Win32s", Version(0, 3, 10), FALSE, FALSE, FALSE, FALSE},
                      PredicateCase{"Zeroed", OSVERSIONINFOEXA{}, FALSE, FALSE, FALSE, FALSE}),
    [](const ::testing::TestParamInfo<PredicateCase>& info) { return info.param.name; });

TEST(QueryOsVersion, AsksForTheExtendedRecordFirst) {
    g_sizesAsked.clear();
    g_sizeAccepted = 156;
    OSVERSIONINFOEXA osvi;
    std::memset(&osvi, 0xCC, sizeof osvi);
    QueryOsVersion(osvi, FakeGetVersion);
    EXPECT_EQ(std::vector<DWORD>{156}, g_sizesAsked);
    EXPECT_EQ(156u, osvi.dwOSVersionInfoSize);
    EXPECT_EQ(0, osvi.wSuiteMask) << "the record is zeroed before the call";
    EXPECT_TRUE(IsWin98OrLater(osvi));
}

TEST(QueryOsVersion, FallsBackToTheBasicRecord) {
    g_sizesAsked.clear();
    g_sizeAccepted = 148;
    OSVERSIONINFOEXA osvi;
    QueryOsVersion(osvi, FakeGetVersion);
    EXPECT_EQ((std::vector<DWORD>{156, 148}), g_sizesAsked);
    EXPECT_EQ(148u, osvi.dwOSVersionInfoSize);
    EXPECT_EQ(10u, osvi.dwMinorVersion);
}

TEST(QueryOsVersion, ZeroesEverythingWhenTheSystemWillNotTell) {
    g_sizesAsked.clear();
    g_sizeAccepted = 1;
    OSVERSIONINFOEXA osvi;
    std::memset(&osvi, 0xCC, sizeof osvi);
    QueryOsVersion(osvi, FakeGetVersion);
    EXPECT_EQ(2u, g_sizesAsked.size());
    const OSVERSIONINFOEXA zero = {};
    EXPECT_EQ(0, std::memcmp(&zero, &osvi, sizeof osvi));
    EXPECT_FALSE(IsWin9xFamily(osvi) || IsNtFamily(osvi));
}

TEST(OsVersionRecord, IsFilledBeforeTheProgramRuns) {
    OSVERSIONINFOA osvi = {};
    osvi.dwOSVersionInfoSize = sizeof osvi;
    ASSERT_TRUE(GetVersionExA(&osvi));
    EXPECT_EQ(156u, g_osvi.dwOSVersionInfoSize);
    EXPECT_EQ(osvi.dwPlatformId, g_osvi.dwPlatformId);
    EXPECT_EQ(osvi.dwMajorVersion, g_osvi.dwMajorVersion);
    EXPECT_EQ(osvi.dwMinorVersion, g_osvi.dwMinorVersion);
    EXPECT_EQ(IsNtFamily(g_osvi), IsNtFamily());
}

// Wine reports an old version to a program named in its AppDefaults key.
TEST(OsVersionRecord, Windows95AsTheSystemReportsIt) {
    const ProbeResult probe = RunProbe("osversion", {{"Version", "win95"}});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ(0u, probe.dwExitCode);
    EXPECT_EQ("size=156 platform=1 version=4.0 9x=1 nt=0 98=0 95=1\n", probe.output);
}

TEST(OsVersionRecord, Windows98AsTheSystemReportsIt) {
    const ProbeResult probe = RunProbe("osversion", {{"Version", "win98"}});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ("size=156 platform=1 version=4.10 9x=1 nt=0 98=1 95=0\n", probe.output);
}

TEST(OsVersionRecord, WindowsXpAsTheSystemReportsIt) {
    const ProbeResult probe = RunProbe("osversion", {{"Version", "winxp"}});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ("size=156 platform=2 version=5.1 9x=0 nt=1 98=0 95=0\n", probe.output);
}
