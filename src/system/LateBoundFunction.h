#pragma once
// The address slot of one late-bound function: empty until the first call, which binds it
// through its library; later calls go straight to the function. A test may put a fake into
// the slot, which then is called instead.
#include "system/LateBoundLibrary.h"

#include <atomic>
#include <type_traits>
#include <utility>

template <typename Fn> class CLateBoundFunction {
    static_assert(std::is_pointer<Fn>::value &&
                      std::is_function<typename std::remove_pointer<Fn>::type>::value,
                  "a slot holds a pointer to a function");

public:
    constexpr CLateBoundFunction(CLateBoundLibrary& library, const char* szName)
        : m_library(library), m_szName(szName), m_pfn(nullptr), m_bMissing(false) {}
    CLateBoundFunction(const CLateBoundFunction&) = delete;
    CLateBoundFunction& operator=(const CLateBoundFunction&) = delete;

    template <typename... Args> decltype(auto) operator()(Args&&... args) {
        return Get()(std::forward<Args>(args)...);
    }

    // The function's address, bound at the first use.
    Fn Get() {
        const Fn pfn = m_pfn.load(std::memory_order_acquire);
        return pfn ? pfn : Bind();
    }
    // The function's address, or null where the system lacks it; either is found out once.
    Fn TryGet() {
        const Fn pfn = m_pfn.load(std::memory_order_acquire);
        if (pfn || m_bMissing.load())
            return pfn;
        const Fn found =
            reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(m_library.TryResolve(m_szName)));
        if (found)
            m_pfn.store(found, std::memory_order_release);
        else
            m_bMissing.store(true);
        return found;
    }
    // Puts another function into the slot (null: unbound again) and returns the previous.
    Fn Set(Fn pfn) {
        m_bMissing.store(false);
        return m_pfn.exchange(pfn);
    }
    bool IsBound() const { return m_pfn.load() != nullptr; }

    const char* GetName() const { return m_szName; }
    CLateBoundLibrary& GetLibrary() const { return m_library; }

private:
    // Concurrent first calls may both resolve; they store the same address.
    Fn Bind() {
        const FARPROC proc = m_library.Resolve(m_szName);
        const Fn pfn = reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
        m_pfn.store(pfn, std::memory_order_release);
        return pfn;
    }

    CLateBoundLibrary& m_library;
    const char* m_szName;
    std::atomic<Fn> m_pfn;
    std::atomic<bool> m_bMissing; // TryGet found none
};
