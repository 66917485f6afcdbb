#pragma once
// Loads a library by name the way the program does (LoadLibraryA, so the copy in the program's
// folder comes first) and hands out its functions by their exported names.
#include "framework/ScopedHandles.h"

#include <windows.h>

#include <string>

class SimLibrary {
public:
    explicit SimLibrary(const char* name) : m_module(LoadLibraryA(name)) {}

    bool IsLoaded() const { return static_cast<bool>(m_module); }

    template <typename Function> Function Get(const char* name) const {
        if (!m_module)
            return nullptr;
        // Through the generic function pointer type, which any function pointer converts from.
        return reinterpret_cast<Function>(
            reinterpret_cast<void (*)()>(GetProcAddress(m_module.Get(), name)));
    }

    std::string FileName() const {
        char path[MAX_PATH] = "";
        if (m_module)
            GetModuleFileNameA(m_module.Get(), path, MAX_PATH);
        return path;
    }

private:
    fw::ScopedLibrary m_module;
};

inline std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

inline std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(path);
}
