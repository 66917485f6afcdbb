#pragma once
// A file or folder as drive, folder, file name and extension, set from a well-known place of
// the system or from a full path.
#include <functional>
#include <string>

class CFileLocation {
public:
    enum Kind {
        LOCATION_NONE = 0,       // not set yet
        LOCATION_PROGRAM_FILE,   // the running program's own file
        LOCATION_PROGRAM_FOLDER, // the folder of that file
        LOCATION_WINDOWS_FOLDER,
        LOCATION_SYSTEM_FOLDER,
        LOCATION_TEMP_FOLDER,
        LOCATION_DESKTOP_FOLDER,   // "Desktop" of the user's shell folders
        LOCATION_FAVORITES_FOLDER, // "Favorites" of the user's shell folders
        LOCATION_TEMP_FILE,        // a name not taken yet in the temporary folder, "~" first
        LOCATION_LOCAL_APPDATA     // the user's local application data folder (not roaming)
    };

    explicit CFileLocation(int kind = LOCATION_NONE);
    explicit CFileLocation(const char* path);

    // Sets all four parts from the kind. A kind that is not known, a shell folder that cannot
    // be read, or a program path longer than the system's path limit (which the system would
    // cut, naming another folder) leaves the location empty and returns false.
    bool SetLocation(int kind);
    // Splits the path into the four parts.
    void SetPath(const std::string& path);
    // Sets the location to a folder, adding the final backslash when it is missing.
    void SetFolder(const std::string& folder);
    // Takes only the file name and extension of name; drive and folder stay.
    void SetFileName(const std::string& name);

    std::string GetPath() const;
    const std::string& GetDrive() const { return m_strDrive; }
    const std::string& GetFolder() const { return m_strFolder; }
    const std::string& GetName() const { return m_strName; }
    const std::string& GetExtension() const { return m_strExtension; }
    // File name and extension together.
    std::string GetFileName() const { return m_strName + m_strExtension; }

    // True when the full path can be accessed.
    bool Exists() const;

    // Fills a buffer of the given size with the running program's path, as
    // GetModuleFileNameA(nullptr, ...) does, and returns its length. Tests put a program in a
    // deeper folder in its place; an empty reader restores the system's. Returns the previous.
    using ModuleFileNameReader = std::function<unsigned long(char* buffer, unsigned long size)>;
    static ModuleFileNameReader SetModuleFileNameReader(ModuleFileNameReader reader);

private:
    void Clear();
    bool SetProgramFile();
    bool SetShellFolder(const char* valueName);
    bool SetLocalAppDataFolder();
    bool SetTempFile();

    std::string m_strDrive;
    std::string m_strFolder;
    std::string m_strName;
    std::string m_strExtension;
};
