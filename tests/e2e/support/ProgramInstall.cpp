#include "ProgramInstall.h"

#include "E2ePaths.h"
#include "Registry.h"

namespace e2e {

ProgramInstall::ProgramInstall(const std::string& program)
    : m_simulator(m_folder.File("dialup-sim.txt")) {
    m_program = m_folder.Copy(program.empty() ? TarvoloProgram() : program);
    const auto libraries = DialupSimulatorLibraries();
    m_hasSimulator = !libraries.empty();
    for (const auto& library : libraries)
        m_hasSimulator &= !m_folder.Copy(library).empty();
    for (const char* library : {"rasapi32", "pdh", "wlanapi"})
        SetLibraryLoadOrder(library, m_hasSimulator ? "native,builtin" : "");
}

bool ProgramInstall::SetLibraryLoadOrder(const std::string& library,
                                         const std::string& order) const {
    const std::string name = m_program.substr(m_program.find_last_of('\\') + 1);
    const std::string key = "Software\\Wine\\AppDefaults\\" + name + "\\DllOverrides";
    if (order.empty())
        return DeleteRegistryValue(HKEY_CURRENT_USER, key, library);
    return WriteRegistryString(HKEY_CURRENT_USER, key, library, order);
}

std::unique_ptr<ProgramRun> ProgramInstall::Start(const std::string& arguments,
                                                  EnvironmentChanges environment) const {
    return std::make_unique<ProgramRun>(m_program, arguments, m_folder.Path(), environment);
}

} // namespace e2e
