#include "SimulatorStateFile.h"

#include <windows.h>

#include <fstream>
#include <utility>

namespace e2e {

namespace {

const DWORD kReplacePatienceMs = 2000;

} // namespace

SimulatorStateFile::SimulatorStateFile(std::string path) : m_path(std::move(path)) {}

bool SimulatorStateFile::Set(const std::string& key, const std::string& value) {
    return Set(std::map<std::string, std::string>{{key, value}});
}

bool SimulatorStateFile::Set(const std::string& key, long long value) {
    return Set(key, std::to_string(value));
}

bool SimulatorStateFile::Set(const std::map<std::string, std::string>& values) {
    for (const auto& value : values)
        m_values[value.first] = value.second;
    return Write();
}

std::string SimulatorStateFile::Content() const {
    std::string content;
    for (const auto& value : m_values)
        content += value.first + "=" + value.second + "\n";
    return content;
}

bool SimulatorStateFile::Write() const {
    const std::string temporary = m_path + ".new";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << Content();
        if (!file.flush())
            return false;
    }
    // The simulator reads the file at every call of the program and while it watches the
    // connections; Wine refuses to replace a file at the moment another process opens it. Such a
    // read is over within moments, so the replacement is tried again for a while: a change lost
    // here would reach the program only with the next one.
    const DWORD start = GetTickCount();
    while (!MoveFileExA(temporary.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        if (GetTickCount() - start >= kReplacePatienceMs)
            return false;
        Sleep(5);
    }
    return true;
}

} // namespace e2e
