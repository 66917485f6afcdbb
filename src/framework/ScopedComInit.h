#pragma once
// Initialises COM for the calling thread for the length of one operation. Only a successful
// initialisation (S_OK, or S_FALSE when the thread already had one) is undone: undoing a failed
// one, for example on a thread already in the multithreaded apartment, would tear down the
// caller's own COM.
#include <objbase.h>

namespace fw {

class ScopedComInit {
public:
    ScopedComInit() : m_hr(CoInitialize(nullptr)) {}
    ~ScopedComInit() {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

private:
    HRESULT m_hr;
};

} // namespace fw
