#include "ChildProcess.h"

#include "framework/ScopedHandles.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

namespace {

std::string ExeFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

// The probe under its own name, and Wine's settings for that name, for one run.
class ProbeCopy {
public:
    explicit ProbeCopy(const std::map<std::string, std::string>& appDefaults) {
        static int number = 0;
        m_name = "tarvolo_probe_" + std::to_string(GetCurrentProcessId()) + "_" +
                 std::to_string(++number) + ".exe";
        m_path = ExeFolder() + "\\" + m_name;
        m_key = "Software\\Wine\\AppDefaults\\" + m_name;
        CopyFileA((ExeFolder() + "\\counters_probe.exe").c_str(), m_path.c_str(), FALSE);
        for (const auto& setting : appDefaults) {
            const size_t slash = setting.first.find_last_of('\\');
            const std::string key =
                slash == std::string::npos ? m_key : m_key + "\\" + setting.first.substr(0, slash);
            const std::string name =
                slash == std::string::npos ? setting.first : setting.first.substr(slash + 1);
            SHSetValueA(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ,
                        setting.second.c_str(), static_cast<DWORD>(setting.second.size() + 1));
        }
    }
    ~ProbeCopy() {
        SHDeleteKeyA(HKEY_CURRENT_USER, m_key.c_str());
        DeleteFileA(m_path.c_str());
    }
    ProbeCopy(const ProbeCopy&) = delete;
    ProbeCopy& operator=(const ProbeCopy&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_name, m_path, m_key;
};

} // namespace

ProbeResult RunProbe(const std::string& mode,
                     const std::map<std::string, std::string>& appDefaults) {
    ProbeResult result;
    ProbeCopy probe(appDefaults);

    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    fw::ScopedHandle readEnd, writeEnd;
    if (!CreatePipe(readEnd.Receive(), writeEnd.Receive(), &inherit, 0))
        return result;
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + probe.Path() + "\" " + mode;
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    if (!CreateProcessA(probe.Path().c_str(), mutableLine.data(), nullptr, nullptr, TRUE, 0,
                        nullptr, nullptr, &startup, &process))
        return result;
    fw::ScopedHandle processHandle(process.hProcess), threadHandle(process.hThread);
    writeEnd.Reset(); // the read ends when the child's copy closes

    result.bStarted = true;
    char buffer[512];
    DWORD cbRead = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof buffer, &cbRead, nullptr) && cbRead > 0)
        result.output.append(buffer, cbRead);
    WaitForSingleObject(processHandle.Get(), 60000);
    GetExitCodeProcess(processHandle.Get(), &result.dwExitCode);
    // The child's C library writes text mode: line ends arrive as CR LF.
    result.output.erase(std::remove(result.output.begin(), result.output.end(), '\r'),
                        result.output.end());
    return result;
}
