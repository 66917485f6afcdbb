#pragma once
// A program copied into a fresh folder, with the dial-up simulator and its state file beside
// it when the build has the simulator, ready to be started as often as a test needs.
//
// Wine keeps its built-in rasapi32, pdh and wlanapi even when a copy lies beside the program,
// unless told otherwise. WINEDLLOVERRIDES cannot tell it from here: Wine gives a child process the
// value of its own Linux environment, whatever the Windows environment block says. So the load
// order is set in the prefix's registry for the program's file name (AppDefaults), which every
// later start of that name follows.
#include "SimulatorStateFile.h"
#include "ProgramRun.h"
#include "TestFolder.h"

#include <memory>
#include <string>

namespace e2e {

class ProgramInstall {
public:
    // program: the exe to copy (tarvolo.exe by default).
    explicit ProgramInstall(const std::string& program = {});

    TestFolder& Folder() { return m_folder; }
    SimulatorStateFile& Simulator() { return m_simulator; }
    const std::string& Program() const { return m_program; }
    bool HasSimulator() const { return m_hasSimulator; }
    bool Installed() const { return !m_program.empty(); }

    // Sets Wine's load order of a library for programs of this file name: "native,builtin" (the
    // copy beside the program first), "native" (only a copy; none there = the library is
    // missing), "builtin" or "" (Wine's).
    bool SetLibraryLoadOrder(const std::string& library, const std::string& order) const;

    // Starts the copy in its folder.
    std::unique_ptr<ProgramRun> Start(const std::string& arguments = {},
                                      EnvironmentChanges environment = {}) const;

private:
    TestFolder m_folder;
    std::string m_program;
    bool m_hasSimulator = false;
    SimulatorStateFile m_simulator;
};

} // namespace e2e
