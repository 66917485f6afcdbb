// The platform version record and the four platform predicates.
#include "system/OsVersion.h"

#include "ChildProcess.h"
#include "support/TableRow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

OSVERSIONINFOEXA Version(DWORD dwPlatform, DWORD dwMajor, DWORD dwMinor,
                         DWORD dwSize = sizeof(OSVERSIONINFOEXA)) {
    OSVERSIONINFOEXA osvi = {};
    osvi.dwOSVersionInfoSize = dwSize;
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

// A system that accepts one record size (or none) and what QueryOsVersion makes of it.
struct QueryCase {
    const char* name;
    DWORD dwSizeAccepted;
    std::vector<DWORD> sizesAsked;
    // The whole record: what the system did not fill in must be zero.
    OSVERSIONINFOEXA expected;
    BOOL b9x, bNt, b98;
};

void PrintTo(const QueryCase& c, std::ostream* os) {
    *os << c.name;
}

class VersionQuery : public ::testing::TestWithParam<QueryCase> {};

const QueryCase QUERIES[] = {
    {"AsksForTheExtendedRecordFirst", 156, {156}, Version(1, 4, 10, 156), TRUE, FALSE, TRUE},
    {"FallsBackToTheBasicRecord", 148, {156, 148}, Version(1, 4, 10, 148), TRUE, FALSE, TRUE},
    {"ZeroesEverythingWhenTheSystemWillNotTell", 1, {156, 148}, {}, FALSE, FALSE, FALSE}};

// How Wine describes itself to a program named in its AppDefaults key, as the program sees it.
struct ReportedVersionCase {
    const char* name;
    const char* wineVersion;
    const char* output;
};

void PrintTo(const ReportedVersionCase& c, std::ostream* os) {
    *os << c.name;
}

class OsVersionReported : public ::testing::TestWithParam<ReportedVersionCase> {};

const ReportedVersionCase REPORTED_VERSIONS[] = {
    {"Windows95", "win95", "size=156 platform=1 version=4.0 9x=1 nt=0 98=0 95=1\n"},
    {"Windows98", "win98", "size=156 platform=1 version=4.10 9x=1 nt=0 98=1 95=0\n"},
    {"WindowsXp", "winxp", "size=156 platform=2 version=5.1 9x=0 nt=1 98=0 95=0\n"}};

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
    RowName());

TEST_P(VersionQuery, FillsTheRecord) {
    const QueryCase& c = GetParam();
    g_sizesAsked.clear();
    g_sizeAccepted = c.dwSizeAccepted;
    OSVERSIONINFOEXA osvi;
    // Whatever the record held before must not show through.
    std::memset(&osvi, 0xCC, sizeof osvi);
    QueryOsVersion(osvi, FakeGetVersion);
    EXPECT_EQ(c.sizesAsked, g_sizesAsked);
    EXPECT_EQ(c.expected.dwOSVersionInfoSize, osvi.dwOSVersionInfoSize);
    EXPECT_EQ(c.expected.dwMinorVersion, osvi.dwMinorVersion);
    EXPECT_EQ(0, osvi.wSuiteMask) << "the record is zeroed before the call";
    EXPECT_EQ(0, std::memcmp(&c.expected, &osvi, sizeof osvi));
    EXPECT_EQ(c.b9x, IsWin9xFamily(osvi));
    EXPECT_EQ(c.bNt, IsNtFamily(osvi));
    EXPECT_EQ(c.b98, IsWin98OrLater(osvi));
}

INSTANTIATE_TEST_SUITE_P(Systems, VersionQuery, ::testing::ValuesIn(QUERIES), RowName());

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

TEST_P(OsVersionReported, AsTheSystemReportsIt) {
    const ReportedVersionCase& c = GetParam();
    const ProbeResult probe = RunProbe("osversion", {{"Version", c.wineVersion}});
    ASSERT_TRUE(probe.bStarted);
    EXPECT_EQ(0u, probe.dwExitCode);
    EXPECT_EQ(c.output, probe.output);
}

INSTANTIATE_TEST_SUITE_P(Systems, OsVersionReported, ::testing::ValuesIn(REPORTED_VERSIONS),
                         RowName());
