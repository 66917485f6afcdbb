#pragma once
// Places of a test's own in the temporary folder, removed again with the object: a new, empty
// folder (TempFolder) or a new, empty file (TempPath). Test processes run side by side, so
// every test gets names of its own.
#include <windows.h>

#include <string>

// Removes the folder (given with or without its final backslash) with everything in it.
inline void RemoveFolderTree(std::string folder) {
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// A name not taken yet in the temporary folder, reserved by an empty file of that name.
inline std::string NewTempFile(const char* prefix) {
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, name);
    return name;
}

class TempFolder {
public:
    TempFolder() {
        const std::string name = NewTempFile("tvd");
        DeleteFileA(name.c_str());
        CreateDirectoryA(name.c_str(), nullptr);
        m_path = name + "\\";
    }
    ~TempFolder() { RemoveFolderTree(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with its final backslash.
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

class TempPath {
public:
    TempPath() : m_path(NewTempFile("tv")) {}
    ~TempPath() { DeleteFileA(m_path.c_str()); }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};
