#pragma once
// Runs the counters probe as a child process under a name of the test's own, with Wine's
// per-program settings (HKCU\Software\Wine\AppDefaults\<name>) set for that name only, and
// hands back what it printed and how it ended. Copy and settings are removed afterwards.
#include <windows.h>

#include <map>
#include <string>

struct ProbeResult {
    bool bStarted = false;
    DWORD dwExitCode = 0;
    std::string output;
};

// appDefaults: value name to text below the AppDefaults key; a name with a backslash
// ("DllOverrides\\pdh") goes to that subkey.
ProbeResult RunProbe(const std::string& mode,
                     const std::map<std::string, std::string>& appDefaults);
