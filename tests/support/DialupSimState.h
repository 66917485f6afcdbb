#pragma once
// Drives the dial-up simulator from a test: a state file of the test's own, named in
// DIALUP_SIM_STATE while the object lives, and replaced whole (temporary file, then rename) on
// every change, so that the simulator's readers never see half a file.
#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>

class DialupSimState {
public:
    DialupSimState() : m_path(UniquePath()) {
        SetEnvironmentVariableA("DIALUP_SIM_STATE", m_path.c_str());
        Write();
    }
    ~DialupSimState() {
        SetEnvironmentVariableA("DIALUP_SIM_STATE", nullptr);
        DeleteFileA(m_path.c_str());
    }
    DialupSimState(const DialupSimState&) = delete;
    DialupSimState& operator=(const DialupSimState&) = delete;

    void Set(const std::string& key, const std::string& value) {
        m_values[key] = value;
        Write();
    }
    void Set(const std::string& key, unsigned long long value) { Set(key, std::to_string(value)); }
    void Set(const std::string& key, int value) { Set(key, std::to_string(value)); }

    // Back to an empty file: every key at its default.
    void Reset() {
        m_values.clear();
        Write();
    }

    // The file exactly as given, for tests of the format itself.
    void WriteRaw(const std::string& text) { Replace(m_path, text); }

    const std::string& Path() const { return m_path; }

    // Writes text to path through a temporary file beside it and a rename. Wine refuses to
    // rename over a file that a reader holds open (the simulator reads it every 100 ms and on
    // every call), so the rename is tried again until the reader has let go. A change that
    // cannot be made fails the test rather than vanish.
    static void Replace(const std::string& path, const std::string& text) {
        const std::string temporary = path + ".tmp";
        HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw std::runtime_error("cannot write " + temporary);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        const DWORD start = GetTickCount();
        while (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            if (GetTickCount() - start > kReplaceTimeoutMs)
                throw std::runtime_error("cannot replace " + path);
            Sleep(1);
        }
    }

private:
    static const DWORD kReplaceTimeoutMs = 5000;

    static std::string UniquePath() {
        static int serial = 0;
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        return std::string(folder) + "dialup-sim-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++serial) + ".txt";
    }

    void Write() {
        std::string text;
        for (const auto& entry : m_values)
            text += entry.first + "=" + entry.second + "\r\n";
        Replace(m_path, text);
    }

    std::string m_path;
    std::map<std::string, std::string> m_values;
};
