#pragma once
// A test of the harness itself: the stand-in program installed in a fresh folder, started with
// a report file in which it notes what it saw.
#include "E2ePaths.h"
#include "ProgramInstall.h"
#include "WindowSearch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace e2e {

constexpr DWORD kPatience = 15000;
const std::string kNotReported = "(not reported)";

class Harness : public ::testing::Test {
protected:
    ProgramInstall install{ProbeProgram()};

    std::unique_ptr<ProgramRun> StartProbe(const std::string& arguments,
                                           EnvironmentChanges environment = {}) {
        return install.Start("--report report.txt " + arguments, std::move(environment));
    }

    // The value of "key=value" in the probe's report, once the probe has written it.
    std::string Reported(const std::string& key) {
        std::string value;
        WaitUntil([&] { return (value = ReportedNow(key)) != kNotReported; }, kPatience);
        return value;
    }

    std::string ReportedNow(const std::string& key) {
        const std::string report = install.Folder().Read("report.txt").value_or("");
        const std::string start = key + "=";
        for (size_t line = 0; line < report.size();) {
            size_t end = report.find('\n', line);
            if (end == std::string::npos)
                end = report.size();
            if (report.compare(line, start.size(), start) == 0)
                return report.substr(line + start.size(), end - line - start.size());
            line = end + 1;
        }
        return kNotReported;
    }
};

} // namespace e2e
