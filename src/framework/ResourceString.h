#pragma once
// Texts from the program's string table.
#include <string>

namespace fw {

// The string with the given id from the program's own resources; empty when there is none.
std::string LoadResourceString(unsigned id);

} // namespace fw
