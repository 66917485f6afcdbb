#pragma once
// Owns a kernel object handle (event, thread) and closes it with the owner.
#include <windows.h>

class CScopedHandle {
public:
    explicit CScopedHandle(HANDLE hObject = nullptr) : m_hObject(hObject) {}
    ~CScopedHandle() { Reset(); }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    HANDLE Get() const { return m_hObject; }
    explicit operator bool() const { return m_hObject != nullptr; }

    // Closes the current handle and takes another one (or none).
    void Reset(HANDLE hObject = nullptr) {
        if (m_hObject)
            CloseHandle(m_hObject);
        m_hObject = hObject;
    }

private:
    HANDLE m_hObject;
};
