#include "log/DataFolder.h"

#include "framework/CFileLocation.h"
#include "framework/FolderTakesFiles.h"

#include <windows.h>

namespace {

const char OWN_FOLDER[] = "Tarvolo";

std::string InFolder(const std::string& folder, const std::string& name) {
    CFileLocation location;
    location.SetFolder(folder);
    location.SetFileName(name);
    return location.GetPath();
}

} // namespace

std::string ChooseDataFolder(const std::string& programFolder, const std::string& localAppData) {
    if (fw::FolderTakesFiles(programFolder) || localAppData.empty())
        return programFolder;
    const std::string own = InFolder(localAppData, OWN_FOLDER) + "\\";
    CreateDirectoryA(own.c_str(), nullptr);
    return own;
}

std::string DataFolder() {
    static const std::string folder =
        ChooseDataFolder(CFileLocation(CFileLocation::LOCATION_PROGRAM_FOLDER).GetPath(),
                         CFileLocation(CFileLocation::LOCATION_LOCAL_APPDATA).GetPath());
    return folder;
}
