#pragma once
// The performance objects the simulated PDH lists: a few of any system's, and the dial-up
// object with the byte counters under the names of the state file.
#include "SimState.h"

#include <string>
#include <vector>

namespace dialup_sim {

enum class CounterKind { Received, Sent, Other };

struct PerfObject {
    std::string name;
    std::vector<std::string> counters;
    std::vector<std::string> instances;
    bool isDialUp = false;
};

class PerfCatalog {
public:
    explicit PerfCatalog(const SimState& state);

    const std::vector<PerfObject>& Objects() const { return m_objects; }
    // Names compare without regard to case, as PDH does.
    const PerfObject* FindObject(const std::string& name) const;
    bool HasCounter(const PerfObject& object, const std::string& counter) const;
    CounterKind KindOf(const PerfObject& object, const std::string& counter) const;

private:
    SimState m_state;
    std::vector<PerfObject> m_objects;
};

// Names each ended by a NUL, the list ended by one more; an empty list is empty.
std::string MultiString(const std::vector<std::string>& names);

} // namespace dialup_sim
