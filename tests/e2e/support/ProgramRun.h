#pragma once
// One run of a program under test: started with arguments, a working folder and changes to the
// environment, waited for, and ended by force if it is still running when the test is done.
#include "framework/ScopedHandles.h"

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace e2e {

// Variables to set for the program; an empty value removes the variable.
using EnvironmentChanges = std::map<std::string, std::string>;

class ProgramRun {
public:
    // Starts program with the arguments (one command-line text), in folder (the program's own
    // folder when empty).
    ProgramRun(const std::string& program, const std::string& arguments,
               const std::string& folder = {}, const EnvironmentChanges& environment = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD ProcessId() const { return m_processId; }

    // The exit code once the program has ended within the time, or none.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs);
    bool IsRunning() const;
    // Whether the program has come to wait for input (its start-up done) within the time.
    bool WaitUntilIdle(DWORD timeoutMs) const;

    // Ends the program by force (it is the test's own child); returns its exit code.
    std::optional<DWORD> Terminate();

private:
    fw::ScopedHandle m_process;
    DWORD m_processId = 0;
};

// The current environment with the changes applied, as a block for CreateProcessA.
std::string BuildEnvironmentBlock(const EnvironmentChanges& changes);

} // namespace e2e
