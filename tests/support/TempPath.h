#pragma once
// A unique file name in the temporary folder, deleted again with the object. Test processes run
// side by side, so every test works on a name of its own.
#include <windows.h>

#include <string>

class TempPath {
public:
    TempPath() {
        char folder[MAX_PATH] = {};
        char name[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        GetTempFileNameA(folder, "tv", 0, name); // creates the empty file
        m_path = name;
    }
    ~TempPath() { DeleteFileA(m_path.c_str()); }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
