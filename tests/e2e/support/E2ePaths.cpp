#include "E2ePaths.h"

#include <windows.h>

#include <sstream>

namespace e2e {

std::string WindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return path;
    std::string windowsPath = "Z:" + path;
    for (char& c : windowsPath)
        if (c == '/')
            c = '\\';
    return windowsPath;
}

std::string TarvoloProgram() {
    return WindowsPath(TARVOLO_E2E_PROGRAM);
}

std::string ProbeProgram() {
    return WindowsPath(TARVOLO_E2E_PROBE);
}

std::string RecorderProgram() {
    return WindowsPath(TARVOLO_E2E_RECORDER);
}

std::vector<std::string> DialupSimulatorLibraries() {
    std::vector<std::string> libraries;
    std::istringstream list(TARVOLO_E2E_SIMULATOR);
    std::string path;
    while (std::getline(list, path, '|'))
        if (!path.empty())
            libraries.push_back(WindowsPath(path));
    return libraries;
}

std::string SystemProgram(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\" + name;
}

} // namespace e2e
