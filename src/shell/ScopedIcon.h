#pragma once
// Owns an icon handle and destroys it with the owner.
#include <windows.h>

class CScopedIcon {
public:
    explicit CScopedIcon(HICON hIcon = nullptr) : m_hIcon(hIcon) {}
    ~CScopedIcon() { Reset(); }
    CScopedIcon(const CScopedIcon&) = delete;
    CScopedIcon& operator=(const CScopedIcon&) = delete;

    HICON Get() const { return m_hIcon; }

    // Destroys the current icon and takes another one (or none).
    void Reset(HICON hIcon = nullptr) {
        if (m_hIcon)
            DestroyIcon(m_hIcon);
        m_hIcon = hIcon;
    }

private:
    HICON m_hIcon;
};
