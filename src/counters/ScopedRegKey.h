#pragma once
// Owns one open registry key and closes it when it goes out of scope.
#include <windows.h>

class CScopedRegKey {
public:
    CScopedRegKey() = default;
    explicit CScopedRegKey(HKEY hKey) : m_hKey(hKey) {}
    ~CScopedRegKey() { Close(); }
    CScopedRegKey(const CScopedRegKey&) = delete;
    CScopedRegKey& operator=(const CScopedRegKey&) = delete;

    HKEY Get() const { return m_hKey; }
    // For the out parameter of RegOpenKeyExA and RegCreateKeyExA; closes what is held first.
    HKEY* Receive() {
        Close();
        return &m_hKey;
    }
    void Close() {
        if (m_hKey) {
            RegCloseKey(m_hKey);
            m_hKey = nullptr;
        }
    }

private:
    HKEY m_hKey = nullptr;
};
