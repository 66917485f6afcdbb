#include "ui/DesktopShortcut.h"

#include "framework/AppMessageBox.h"
#include "framework/LoadStringResource.h"
#include "framework/ScopedHandles.h"
#include "framework/CFileLocation.h"
#include "resource.h"

#include <shlobj.h>

namespace {

// The shell's path buffers are MAX_PATH characters on both sides.
void ToWide(const std::string& path, WCHAR (&wide)[MAX_PATH]) {
    wide[0] = 0;
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        wide[0] = 0;
}

// A new shell link and the file interface that loads and saves it.
HRESULT CreateShellLink(fw::ScopedComPtr<IShellLinkA>& link, fw::ScopedComPtr<IPersistFile>& file) {
    const HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                        IID_IShellLinkA, link.Receive());
    if (FAILED(hr))
        return hr;
    return link->QueryInterface(IID_IPersistFile, file.Receive());
}

// A target path that the link yields and that differs from programPath makes -1.
HRESULT CompareTarget(IShellLinkA* pLink, const std::string& shortcutPath,
                      const std::string& programPath) {
    char target[MAX_PATH];
    lstrcpynA(target, shortcutPath.c_str(), MAX_PATH);
    WIN32_FIND_DATAA findData;
    HRESULT hr = pLink->GetPath(target, MAX_PATH, &findData, 0);
    if (SUCCEEDED(hr) && lstrcmpiA(target, programPath.c_str()) != 0)
        hr = -1;
    return hr;
}

} // namespace

HRESULT IsShortcutToProgram(HWND hOwner, const std::string& shortcutPath,
                            const std::string& programPath) {
    fw::ScopedComInit com;
    fw::ScopedComPtr<IShellLinkA> link;
    fw::ScopedComPtr<IPersistFile> file;
    HRESULT hr = CreateShellLink(link, file);
    if (FAILED(hr))
        return hr;
    WCHAR widePath[MAX_PATH];
    ToWide(shortcutPath, widePath);
    hr = file->Load(widePath, STGM_READ);
    if (FAILED(hr))
        return hr;
    hr = link->Resolve(hOwner, SLR_NO_UI | SLR_ANY_MATCH | SLR_NOSEARCH);
    if (FAILED(hr))
        return hr;
    return CompareTarget(link.Get(), shortcutPath, programPath);
}

HRESULT CreateShortcut(const std::string& targetPath, const std::string& shortcutPath,
                       const std::string& description) {
    fw::ScopedComInit com;
    fw::ScopedComPtr<IShellLinkA> link;
    fw::ScopedComPtr<IPersistFile> file;
    const HRESULT hr = CreateShellLink(link, file);
    if (FAILED(hr))
        return hr;
    link->SetPath(targetPath.c_str());
    link->SetDescription(description.c_str());
    WCHAR widePath[MAX_PATH];
    ToWide(shortcutPath, widePath);
    return file->Save(widePath, TRUE);
}

void OfferShortcut(HWND hOwner, const std::string& shortcutPath, const std::string& programPath) {
    if (IsShortcutToProgram(hOwner, shortcutPath, programPath) >= 0)
        return;
    if (fw::AppMessageBox(hOwner, fw::LoadStringResource(IDS_SHORTCUT_QUESTION), MB_YESNO) == IDYES)
        CreateShortcut(programPath, shortcutPath, "");
}

void OfferDesktopShortcut(HWND hOwner) {
    CFileLocation shortcut;
    // Without the desktop folder there is no place for a shortcut, so nothing is offered.
    if (!shortcut.SetLocation(CFileLocation::LOCATION_DESKTOP_FOLDER))
        return;
    shortcut.SetFileName(fw::LoadStringResource(IDS_SHORTCUT_FILE));
    CFileLocation program(CFileLocation::LOCATION_PROGRAM_FILE);
    OfferShortcut(hOwner, shortcut.GetPath(), program.GetPath());
}
