#pragma once
// A new, empty folder in the temporary folder, removed with everything in it when the object
// goes. Test processes run side by side, so every test gets a folder of its own.
#include <windows.h>

#include <string>

class TempFolder {
public:
    TempFolder() {
        char temp[MAX_PATH] = {};
        char name[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        GetTempFileNameA(temp, "tvd", 0, name); // reserves a unique name as a file
        DeleteFileA(name);
        CreateDirectoryA(name, nullptr);
        m_path = std::string(name) + "\\";
    }
    ~TempFolder() { RemoveTree(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with its final backslash.
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }

private:
    static void RemoveTree(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string path = folder + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path + "\\");
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string m_path;
};
