#include "TestFolder.h"

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

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
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
        RemoveTree(m_path);
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
