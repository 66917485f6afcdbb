#pragma once
// The state file of the dial-up simulator: one key=value a line (connections, received, sent,
// devices, rasman, notify, pdh_object, pdh_received, pdh_sent, collect). The simulator reads it
// afresh on every call, so each change is written whole into a temporary file that then
// replaces the old one: a reader sees the old state or the new one, never half of it.
#include <map>
#include <string>

namespace e2e {

class SimulatorStateFile {
public:
    // The state file, usually dialup-sim.txt beside the program.
    explicit SimulatorStateFile(std::string path);

    // Sets a value and writes the whole state; false when the file could not be replaced.
    bool Set(const std::string& key, const std::string& value);
    bool Set(const std::string& key, long long value);
    bool Set(const std::map<std::string, std::string>& values);

    const std::string& Path() const { return m_path; }
    std::string Content() const;

private:
    bool Write() const;

    std::string m_path;
    std::map<std::string, std::string> m_values;
};

} // namespace e2e
