#include "SimStateFile.h"

#include "framework/ScopedHandles.h"

#include <windows.h>

#include <vector>

namespace dialup_sim {
namespace {

constexpr char kStateVariable[] = "DIALUP_SIM_STATE";
constexpr char kDefaultFileName[] = "dialup-sim.txt";
// The file is replaced by a rename; on a system that refuses to open it for a moment meanwhile,
// a few short retries keep a reader from seeing the defaults in between.
constexpr int kOpenAttempts = 5;
constexpr DWORD kRetryDelayMs = 10;

std::string ProgramFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::string();
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::string folder(path.data());
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

HANDLE OpenStateFile(const std::string& path) {
    for (int attempt = 1;; ++attempt) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE || IsMissing(GetLastError()) || attempt == kOpenAttempts)
            return file;
        Sleep(kRetryDelayMs);
    }
}

std::string ReadAll(HANDLE file) {
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

} // namespace

std::string StateFilePath() {
    char value[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableA(kStateVariable, value, sizeof value);
    if (length > 0 && length < sizeof value)
        return std::string(value, length);
    return ProgramFolder() + kDefaultFileName;
}

SimState LoadSimState() {
    return LoadSimState(StateFilePath());
}

SimState LoadSimState(const std::string& path) {
    fw::ScopedFileHandle file(OpenStateFile(path));
    if (!file)
        return SimState();
    return ParseSimState(ReadAll(file.Get()));
}

} // namespace dialup_sim
