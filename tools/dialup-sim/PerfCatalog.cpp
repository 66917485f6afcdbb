#include "PerfCatalog.h"

#include <windows.h>

namespace dialup_sim {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

PerfObject DialUpObject(const SimState& state) {
    PerfObject object{state.pdhObject, {}, {}, true};
    if (!state.pdhSent.empty())
        object.counters.push_back(state.pdhSent);
    if (!state.pdhReceived.empty())
        object.counters.push_back(state.pdhReceived);
    // Neighbours whose names merely start like the byte counters.
    for (const char* name : {"Frames Transmitted", "Frames Received", "Bytes Transmitted/Sec",
                             "Bytes Received/Sec", "Total Errors"})
        object.counters.push_back(name);
    return object;
}

} // namespace

PerfCatalog::PerfCatalog(const SimState& state) : m_state(state) {
    m_objects.push_back({"Processor", {"% Processor Time", "Interrupts/sec"}, {"0", "_Total"}});
    m_objects.push_back({"Memory", {"Available Bytes", "Pages/sec"}, {}});
    m_objects.push_back({"RAS Port", {"Bytes Transmitted", "Bytes Received"}, {"COM1"}});
    if (!state.pdhObject.empty())
        m_objects.push_back(DialUpObject(state));
    m_objects.push_back({"System", {"Processes", "Threads"}, {}});
}

const PerfObject* PerfCatalog::FindObject(const std::string& name) const {
    for (const PerfObject& object : m_objects) {
        if (SameName(object.name, name))
            return &object;
    }
    return nullptr;
}

bool PerfCatalog::HasCounter(const PerfObject& object, const std::string& counter) const {
    for (const std::string& name : object.counters) {
        if (SameName(name, counter))
            return true;
    }
    return false;
}

CounterKind PerfCatalog::KindOf(const PerfObject& object, const std::string& counter) const {
    if (object.isDialUp && !m_state.pdhReceived.empty() && SameName(counter, m_state.pdhReceived))
        return CounterKind::Received;
    if (object.isDialUp && !m_state.pdhSent.empty() && SameName(counter, m_state.pdhSent))
        return CounterKind::Sent;
    return CounterKind::Other;
}

std::string MultiString(const std::vector<std::string>& names) {
    if (names.empty())
        return std::string();
    std::string list;
    for (const std::string& name : names) {
        list += name;
        list += '\0';
    }
    list += '\0';
    return list;
}

} // namespace dialup_sim
