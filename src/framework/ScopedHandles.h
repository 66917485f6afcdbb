#pragma once
// The owners of the system's handles: each holds one handle (or COM reference) and gives it back
// to the system when it goes out of scope. One family, one set of operations:
//   Get()      the handle, still owned
//   Receive()  for an out parameter (CreatePipe, CoCreateInstance, ...); gives back what was
//              held first
//   Reset(h)   gives back what is held and takes h (or nothing)
//   Detach()   the handle, no longer owned: for a caller that gives it back itself
//   bool       whether a handle is held
// An owner moves where it must be handed on; the one moved from is left empty.
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace fw {

// Traits name the handle type, its empty value and how it is given back.
template <class Traits> class ScopedResource {
public:
    using Handle = typename Traits::Handle;

    ScopedResource() = default;
    explicit ScopedResource(Handle h) : m_h(h) {}
    ~ScopedResource() { Reset(); }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;
    ScopedResource(ScopedResource&& other) noexcept : m_h(other.Detach()) {}
    ScopedResource& operator=(ScopedResource&& other) noexcept {
        Reset(other.Detach());
        return *this;
    }

    Handle Get() const { return m_h; }
    explicit operator bool() const { return m_h != Traits::Empty(); }
    Handle* Receive() {
        Reset();
        return &m_h;
    }
    void Reset(Handle h = Traits::Empty()) {
        if (m_h != Traits::Empty())
            Traits::Close(m_h);
        m_h = h;
    }
    Handle Detach() { return std::exchange(m_h, Traits::Empty()); }

private:
    Handle m_h = Traits::Empty();
};

// Handles that are empty as null and given back with one call.
template <class THandle, auto pfnClose> struct NullIsEmptyTraits {
    using Handle = THandle;
    static THandle Empty() { return nullptr; }
    static void Close(THandle h) { pfnClose(h); }
};
// Handles of files, which CreateFileA returns as INVALID_HANDLE_VALUE when it fails.
struct FileHandleTraits {
    using Handle = HANDLE;
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using ScopedHandle = ScopedResource<NullIsEmptyTraits<HANDLE, &CloseHandle>>;
using ScopedFileHandle = ScopedResource<FileHandleTraits>;
using ScopedRegKey = ScopedResource<NullIsEmptyTraits<HKEY, &RegCloseKey>>;
// An icon loaded with LoadImage without LR_SHARED.
using ScopedIcon = ScopedResource<NullIsEmptyTraits<HICON, &DestroyIcon>>;
using ScopedMenu = ScopedResource<NullIsEmptyTraits<HMENU, &DestroyMenu>>;
using ScopedLibrary = ScopedResource<NullIsEmptyTraits<HMODULE, &FreeLibrary>>;
// A pen, brush, bitmap or font of one's own, and a memory device context.
using ScopedGdiObject = ScopedResource<NullIsEmptyTraits<HGDIOBJ, &DeleteObject>>;
using ScopedMemoryDC = ScopedResource<NullIsEmptyTraits<HDC, &DeleteDC>>;

// An object selected into a device context for the length of a scope: the one it replaced
// goes back, so that the object can be deleted after it.
class ScopedSelection {
public:
    ScopedSelection(HDC hdc, HGDIOBJ hObject) : m_hdc(hdc), m_hOld(SelectObject(hdc, hObject)) {}
    ~ScopedSelection() {
        if (m_hOld)
            SelectObject(m_hdc, m_hOld);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hOld;
};

// One reference to a COM interface.
template <class T> class ScopedComPtr {
public:
    ScopedComPtr() = default;
    ~ScopedComPtr() { Reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
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

// COM for the calling thread for the length of one operation. Only a successful initialisation
// (S_OK, or S_FALSE when the thread already had one) is undone: undoing a failed one, for
// example on a thread already in the multithreaded apartment, would tear down the caller's own.
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
