#pragma once
// Owns an icon loaded with LoadImage (not LR_SHARED) and destroys it at the end of its life.
#include <windows.h>

namespace fw {

class ScopedIcon {
public:
    ScopedIcon() = default;
    explicit ScopedIcon(HICON hIcon) : m_hIcon(hIcon) {}
    ~ScopedIcon() { Reset(); }
    ScopedIcon(const ScopedIcon&) = delete;
    ScopedIcon& operator=(const ScopedIcon&) = delete;

    HICON Get() const { return m_hIcon; }

    // Destroys the current icon and takes another one (or none).
    void Reset(HICON hIcon = nullptr) {
        if (m_hIcon)
            DestroyIcon(m_hIcon);
        m_hIcon = hIcon;
    }

private:
    HICON m_hIcon = nullptr;
};

} // namespace fw
