#include "framework/CFileLocation.h"

#include "framework/CRegKey.h"
#include "framework/ScopedHandles.h"

#include <windows.h>

#include <io.h>

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

namespace {

const char SHELL_FOLDERS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
                                 "Folders";

struct PathParts {
    std::string drive, folder, name, extension;
};

// The C library's split. Every part gets room for the whole path, so that no part of a long
// path can overflow its buffer.
PathParts SplitPath(const std::string& path) {
    const std::size_t size = path.size() + 3;
    std::vector<char> drive(size), folder(size), name(size), extension(size);
    _splitpath(path.c_str(), drive.data(), folder.data(), name.data(), extension.data());
    return {drive.data(), folder.data(), name.data(), extension.data()};
}

bool ReadStringValue(const fw::CRegKey& key, const char* valueName, std::string& text) {
    char buffer[MAX_PATH + 1] = {}; // one more than the value may fill: always terminated
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (key.QueryValue(valueName, type, buffer, size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    text = buffer;
    return !text.empty();
}

CFileLocation::ModuleFileNameReader& ModuleFileNameSource() {
    static CFileLocation::ModuleFileNameReader reader;
    return reader;
}

// Empty when the path does not fit: the system hands back its first MAX_PATH - 1 characters,
// whose last backslash lies in a parent folder.
std::string ModuleFileName() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = ModuleFileNameSource() ? ModuleFileNameSource()(path, MAX_PATH)
                                                : GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(path, length);
}

std::string TempFolder() {
    char path[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, path);
    return path;
}

template <UINT(WINAPI* Query)(LPSTR, UINT)> std::string SystemFolder() {
    char path[MAX_PATH + 1] = {};
    Query(path, MAX_PATH);
    return path;
}

} // namespace

CFileLocation::CFileLocation(int kind) {
    SetLocation(kind);
}

CFileLocation::CFileLocation(const char* path) {
    SetPath(path ? path : "");
}

bool CFileLocation::SetLocation(int kind) {
    Clear();
    switch (kind) {
    case LOCATION_PROGRAM_FILE:
        return SetProgramFile();
    case LOCATION_PROGRAM_FOLDER:
        if (!SetProgramFile())
            return false;
        m_strName.clear();
        m_strExtension.clear();
        return true;
    case LOCATION_WINDOWS_FOLDER:
        SetFolder(SystemFolder<GetWindowsDirectoryA>());
        return true;
    case LOCATION_SYSTEM_FOLDER:
        SetFolder(SystemFolder<GetSystemDirectoryA>());
        return true;
    case LOCATION_TEMP_FOLDER:
        SetFolder(TempFolder());
        return true;
    case LOCATION_DESKTOP_FOLDER:
        return SetShellFolder("Desktop");
    case LOCATION_FAVORITES_FOLDER:
        return SetShellFolder("Favorites");
    case LOCATION_TEMP_FILE:
        return SetTempFile();
    case LOCATION_LOCAL_APPDATA:
        return SetLocalAppDataFolder();
    default:
        return false;
    }
}

void CFileLocation::SetPath(const std::string& path) {
    PathParts parts = SplitPath(path);
    m_strDrive = std::move(parts.drive);
    m_strFolder = std::move(parts.folder);
    m_strName = std::move(parts.name);
    m_strExtension = std::move(parts.extension);
}

void CFileLocation::SetFolder(const std::string& folder) {
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        SetPath(folder + "\\");
    else
        SetPath(folder);
}

void CFileLocation::SetFileName(const std::string& name) {
    PathParts parts = SplitPath(name);
    m_strName = std::move(parts.name);
    m_strExtension = std::move(parts.extension);
}

std::string CFileLocation::GetPath() const {
    return m_strDrive + m_strFolder + m_strName + m_strExtension;
}

bool CFileLocation::Exists() const {
    return _access(GetPath().c_str(), 0) == 0;
}

void CFileLocation::Clear() {
    m_strDrive.clear();
    m_strFolder.clear();
    m_strName.clear();
    m_strExtension.clear();
}

bool CFileLocation::SetProgramFile() {
    const std::string path = ModuleFileName();
    SetPath(path);
    return !path.empty();
}

CFileLocation::ModuleFileNameReader
CFileLocation::SetModuleFileNameReader(ModuleFileNameReader reader) {
    return std::exchange(ModuleFileNameSource(), std::move(reader));
}

bool CFileLocation::SetShellFolder(const char* valueName) {
    fw::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, SHELL_FOLDERS_KEY, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return false;
    std::string folder;
    if (!ReadStringValue(key, valueName, folder))
        return false;
    SetFolder(folder);
    return true;
}

bool CFileLocation::SetTempFile() {
    std::unique_ptr<char, decltype(&std::free)> name(_tempnam(TempFolder().c_str(), "~"),
                                                     &std::free);
    if (!name)
        return false;
    SetPath(name.get());
    return true;
}

// The shell knows the folder from Windows 2000 on, and from older systems with the shell folder
// library installed; bound at run time, so that the program still loads where neither has it.
bool CFileLocation::SetLocalAppDataFolder() {
    using GetFolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
    const int CSIDL_LOCAL_APPDATA_ID = 0x001C; // CSIDL_LOCAL_APPDATA
    for (const char* library : {"shell32.dll", "shfolder.dll"}) {
        const fw::ScopedLibrary module(LoadLibraryA(library));
        const FARPROC proc = module ? GetProcAddress(module.Get(), "SHGetFolderPathA") : nullptr;
        const auto pfnGetFolderPath =
            reinterpret_cast<GetFolderPathFunction>(reinterpret_cast<void*>(proc));
        char path[MAX_PATH] = {};
        if (pfnGetFolderPath &&
            SUCCEEDED(pfnGetFolderPath(nullptr, CSIDL_LOCAL_APPDATA_ID, nullptr, 0, path)) &&
            path[0] != '\0') {
            SetFolder(path);
            return true;
        }
    }
    return false;
}
