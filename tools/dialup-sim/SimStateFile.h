#pragma once
// Where the simulator's state file lives and how it is read.
#include "SimState.h"

#include <string>

namespace dialup_sim {

// DIALUP_SIM_STATE if set and not empty, else dialup-sim.txt in the folder of the program.
std::string StateFilePath();

// Reads the state file afresh; a missing file yields the defaults.
SimState LoadSimState();
SimState LoadSimState(const std::string& path);

} // namespace dialup_sim
