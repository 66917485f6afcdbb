#include "ShellOpenRecorder.h"

#include "TestFolder.h"
#include "WindowSearch.h"

#include <sstream>
#include <utility>

namespace e2e {
namespace {

std::optional<std::string> ReadDefaultValue(const std::string& key) {
    char value[1024] = {};
    LONG size = sizeof value;
    if (RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(value);
}

} // namespace

ShellOpenRecorder::ShellOpenRecorder(const std::string& recorderProgram, std::string recordFile)
    : m_recordFile(std::move(recordFile)) {
    const std::string command = "\"" + recorderProgram + "\" \"" + m_recordFile + "\" \"%1\"";
    for (const char* extension : {".htm", ".html"})
        m_registered &= SetDefaultValue(extension, "htmlfile");
    m_registered &= SetDefaultValue("htmlfile\\shell\\open\\command", command);
}

ShellOpenRecorder::~ShellOpenRecorder() {
    for (auto saved = m_saved.rbegin(); saved != m_saved.rend(); ++saved) {
        if (saved->value) {
            RegSetValueA(HKEY_CLASSES_ROOT, saved->key.c_str(), REG_SZ, saved->value->c_str(),
                         static_cast<DWORD>(saved->value->size()));
        } else {
            HKEY key = nullptr;
            if (RegOpenKeyA(HKEY_CLASSES_ROOT, saved->key.c_str(), &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, nullptr);
                RegCloseKey(key);
            }
        }
    }
}

bool ShellOpenRecorder::SetDefaultValue(const std::string& key, const std::string& value) {
    m_saved.push_back({key, ReadDefaultValue(key)});
    return RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(),
                        static_cast<DWORD>(value.size())) == ERROR_SUCCESS;
}

std::vector<std::string> ShellOpenRecorder::Openings() const {
    std::vector<std::string> openings;
    std::istringstream lines(ReadWholeFile(m_recordFile).value_or(""));
    std::string line;
    while (std::getline(lines, line)) {
        std::string unquoted;
        for (char c : line)
            if (c != '"' && c != '\r')
                unquoted += c;
        openings.push_back(unquoted);
    }
    return openings;
}

bool ShellOpenRecorder::WaitForOpenings(size_t count, DWORD timeoutMs) const {
    return WaitUntil([&] { return Openings().size() >= count; }, timeoutMs);
}

} // namespace e2e
