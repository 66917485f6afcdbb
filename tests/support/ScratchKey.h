#pragma once
// A registry key of the running test's own, made with the plain registry API and removed with
// its whole tree when the test ends, so that tests running side by side never meet.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ScratchKey {
public:
    explicit ScratchKey(HKEY hRoot, const std::string& parent = "Software\\TarvoloTests")
        : m_hRoot(hRoot), m_parent(parent) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = parent + "\\" +
                 (info ? std::string(info->test_suite_name()) + "." + info->name()
                       : std::string("scratch")) +
                 "." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(NextNumber());
        SHDeleteKeyA(m_hRoot, m_path.c_str());
    }
    ~ScratchKey() {
        SHDeleteKeyA(m_hRoot, m_path.c_str());
        RegDeleteKeyA(m_hRoot, m_parent.c_str()); // only succeeds once no other test uses it
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    HKEY Root() const { return m_hRoot; }
    const std::string& Path() const { return m_path; }
    std::string Sub(const std::string& relative) const { return m_path + "\\" + relative; }

    // Creates the key below the scratch key and sets one value in it.
    bool SetRaw(const std::string& relative, const char* name, DWORD type, const void* data,
                DWORD cb, DWORD options = REG_OPTION_NON_VOLATILE) const {
        HKEY key = nullptr;
        const std::string path = relative.empty() ? m_path : Sub(relative);
        if (RegCreateKeyExA(m_hRoot, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            return false;
        const bool ok = !name || RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data),
                                                cb) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }
    bool SetString(const std::string& relative, const char* name, const std::string& text,
                   DWORD type = REG_SZ) const {
        return SetRaw(relative, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    bool CreateKey(const std::string& relative) const {
        return SetRaw(relative, nullptr, 0, nullptr, 0);
    }

    bool KeyExists(const std::string& relative) const {
        HKEY key = nullptr;
        const std::string path = relative.empty() ? m_path : Sub(relative);
        if (RegOpenKeyExA(m_hRoot, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    // Type and bytes of a value as the registry holds them; false when it cannot be read.
    bool GetRaw(const std::string& relative, const char* name, DWORD& type,
                std::vector<BYTE>& data) const {
        HKEY key = nullptr;
        const std::string path = relative.empty() ? m_path : Sub(relative);
        if (RegOpenKeyExA(m_hRoot, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        DWORD cb = 0;
        LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &cb);
        if (rc == ERROR_SUCCESS) {
            data.resize(cb);
            rc = RegQueryValueExA(key, name, nullptr, &type, data.data(), &cb);
        }
        RegCloseKey(key);
        return rc == ERROR_SUCCESS;
    }

private:
    static int NextNumber() {
        static int number = 0;
        return ++number;
    }

    HKEY m_hRoot;
    std::string m_parent;
    std::string m_path;
};
