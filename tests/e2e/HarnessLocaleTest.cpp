// Under each user locale of the test run, the program under test runs under the same one (the
// reports' number format depends on it), and it gets the environment the test gives it.
#include "ProbeTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace e2e;

TEST_F(Harness, ProgramRunsUnderTheTestsUserLocaleAndGetsTheEnvironmentChanges) {
    _putenv("TARVOLO_E2E_DROPPED=present");
    auto run =
        StartProbe("--env TARVOLO_E2E_GIVEN --env TARVOLO_E2E_DROPPED",
                   {{"TARVOLO_E2E_GIVEN", "C:\\Daten\\sim.txt"}, {"TARVOLO_E2E_DROPPED", ""}});
    ASSERT_NE(nullptr, WaitForWindow({"TarvoloProbe", "", run->ProcessId()}, kPatience));
    _putenv("TARVOLO_E2E_DROPPED=");
    EXPECT_EQ("C:\\Daten\\sim.txt", Reported("env:TARVOLO_E2E_GIVEN"));
    EXPECT_EQ("(unset)", Reported("env:TARVOLO_E2E_DROPPED"));

    const char* lang = std::getenv("LANG");
    ASSERT_NE(nullptr, lang);
    const std::string expected = std::string(lang).rfind("de_DE", 0) == 0 ? "0407" : "0409";
    EXPECT_EQ(expected, Reported("lcid"));
}
