#pragma once
// Holds one reference to a COM interface and releases it at the end of its life.
#include <unknwn.h>

namespace fw {

template <class T> class ScopedComPtr {
public:
    ScopedComPtr() = default;
    ~ScopedComPtr() { Reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    // For the out-parameter of CoCreateInstance and QueryInterface.
    void** Receive() {
        Reset();
        return reinterpret_cast<void**>(&m_p);
    }

    void Reset() {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    T* m_p = nullptr;
};

} // namespace fw
