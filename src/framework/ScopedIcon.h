#pragma once
// Owns an icon loaded with LoadImage (not LR_SHARED) and destroys it at the end of its life.
#include <windows.h>

namespace fw {

class ScopedIcon {
public:
    ScopedIcon() = default;
    explicit ScopedIcon(HICON hIcon) : m_hIcon(hIcon) {}
    ~ScopedIcon() {
        if (m_hIcon)
            DestroyIcon(m_hIcon);
    }
    ScopedIcon(const ScopedIcon&) = delete;
    ScopedIcon& operator=(const ScopedIcon&) = delete;

    HICON Get() const { return m_hIcon; }

private:
    HICON m_hIcon = nullptr;
};

} // namespace fw
