#include "ProgramRun.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace e2e {
namespace {

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Windows compares variable names without regard to case and expects the block sorted.
std::map<std::string, std::string> CurrentEnvironment() {
    std::map<std::string, std::string> variables;
    char* block = GetEnvironmentStringsA();
    for (const char* p = block; p && *p; p += std::strlen(p) + 1) {
        const std::string entry = p;
        const auto equals = entry.find('=', 1); // names like "=C:" start with '='
        if (equals != std::string::npos)
            variables[UpperCase(entry.substr(0, equals))] = entry;
    }
    FreeEnvironmentStringsA(block);
    return variables;
}

} // namespace

std::string BuildEnvironmentBlock(const EnvironmentChanges& changes) {
    auto variables = CurrentEnvironment();
    for (const auto& change : changes) {
        if (change.second.empty())
            variables.erase(UpperCase(change.first));
        else
            variables[UpperCase(change.first)] = change.first + "=" + change.second;
    }
    std::string block;
    for (const auto& variable : variables)
        block += variable.second + '\0';
    block += '\0';
    return block;
}

ProgramRun::ProgramRun(const std::string& program, const std::string& arguments,
                       const std::string& folder, const EnvironmentChanges& environment) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
    mutableCommandLine.push_back('\0');
    std::string block = BuildEnvironmentBlock(environment);
    const std::string workingFolder = folder.empty() ? FolderOf(program) : folder;

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(program.c_str(), mutableCommandLine.data(), nullptr, nullptr, FALSE, 0,
                       &block[0], workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                       &process)) {
        CloseHandle(process.hThread);
        m_process.Reset(process.hProcess);
        m_processId = process.dwProcessId;
        WaitForInputIdle(m_process.Get(), 5000);
    }
}

ProgramRun::~ProgramRun() {
    if (!m_process)
        return;
    if (IsRunning())
        Terminate();
}

std::optional<DWORD> ProgramRun::WaitForExit(DWORD timeoutMs) {
    if (!m_process || WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_process.Get(), &code);
    return code;
}

bool ProgramRun::IsRunning() const {
    return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

bool ProgramRun::WaitUntilIdle(DWORD timeoutMs) const {
    return m_process && WaitForInputIdle(m_process.Get(), timeoutMs) == 0;
}

std::optional<DWORD> ProgramRun::Terminate() {
    if (!m_process)
        return std::nullopt;
    TerminateProcess(m_process.Get(), 0xDEAD);
    return WaitForExit(10000);
}

} // namespace e2e
