#pragma once
// Owns an open registry key and closes it when it goes out of scope.
#include <windows.h>

namespace fw {

class ScopedRegKey {
public:
    ScopedRegKey() = default;
    explicit ScopedRegKey(HKEY hKey) : m_hKey(hKey) {}
    ~ScopedRegKey() { Close(); }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;

    HKEY Get() const { return m_hKey; }
    // For the out-parameter of RegOpenKeyEx and friends; closes a key held before.
    HKEY* Receive() {
        Close();
        return &m_hKey;
    }
    explicit operator bool() const { return m_hKey != nullptr; }

private:
    void Close() {
        if (m_hKey)
            RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }

    HKEY m_hKey = nullptr;
};

} // namespace fw
