#include "TestFolder.h"

#include "support/TempFolder.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace e2e {
namespace {

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

TestFolder::TestFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    for (unsigned attempt = 0; m_path.empty(); ++attempt) {
        std::ostringstream name;
        name << temp << "tarvolo-e2e-" << GetCurrentProcessId() << "-" << GetTickCount() << "-"
             << attempt;
        if (CreateDirectoryA(name.str().c_str(), nullptr))
            m_path = name.str();
    }
}

TestFolder::~TestFolder() {
    if (!std::getenv("TARVOLO_E2E_KEEP"))
        RemoveFolderTree(m_path);
}

std::string TestFolder::File(const std::string& name) const {
    return m_path + "\\" + name;
}

std::string TestFolder::Copy(const std::string& source, const std::string& name) const {
    const std::string target = File(name.empty() ? BaseName(source) : name);
    return CopyFileA(source.c_str(), target.c_str(), FALSE) ? target : std::string();
}

bool TestFolder::Exists(const std::string& name) const {
    return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> TestFolder::Read(const std::string& name) const {
    return ReadWholeFile(File(name));
}

bool TestFolder::Write(const std::string& name, const std::string& content) const {
    std::ofstream file(File(name), std::ios::binary | std::ios::trunc);
    file << content;
    return static_cast<bool>(file);
}

bool TestFolder::Remove(const std::string& name) const {
    return DeleteFileA(File(name).c_str()) != FALSE;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

} // namespace e2e
