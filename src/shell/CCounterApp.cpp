#include "shell/CCounterApp.h"

#include "framework/AppMessageBox.h"
#include "framework/CFileLocation.h"
#include "framework/LoadStringResource.h"
#include "framework/Profile.h"
#include "resource.h"
#include "system/TimeZoneVariable.h"
#include "ui/CAboutDlg.h"

#include <commctrl.h>

#include <clocale>
#include <vector>

namespace {

const char REGISTRY_KEY[] = "Brenkor";
// The frame's style: an overlapped window with the title's document part, never shown.
const DWORD FRAME_STYLE = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;

} // namespace

CCounterApp::CCounterApp() = default;

bool CCounterApp::IsQuitRequest(const std::string& commandLine) {
    // Lower case the way the system does it, also for the multi-byte characters of a path.
    std::vector<char> lower(commandLine.begin(), commandLine.end());
    if (!lower.empty())
        CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return std::string(lower.begin(), lower.end()).find("/quit") != std::string::npos;
}

BOOL CCounterApp::InitInstance() {
    const bool bQuit = IsQuitRequest(m_strCmdLine);
    if (!m_singleInstance.ClaimOrPass(bQuit, fw::LoadStringResource(IDS_SHEET_CAPTION)))
        return FALSE; // the running instance does the work, or nothing runs that could quit
    if (!ProgramFolderUsable())
        return FALSE; // before anything is written, the settings at the end included
    m_singleInstance.RegisterWindowClass(m_hInstance,
                                         LoadIconA(m_hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME)));
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    PrepareSettings();
    return CreateMainFrame();
}

bool CCounterApp::ProgramFolderUsable() {
    CFileLocation folder;
    if (folder.SetLocation(CFileLocation::LOCATION_PROGRAM_FOLDER) &&
        folder.GetPath().size() + CConnectionLog::LongestFileName() < MAX_PATH)
        return true;
    fw::AppMessageBox(fw::LoadStringResource(IDS_FOLDER_TOO_LONG), MB_ICONHAND);
    return false;
}

void CCounterApp::PrepareSettings() {
    ClearUnreadableTimeZoneVariable();
    // Numbers and times in the reports follow the user's locale from here on.
    setlocale(LC_ALL, "");
    fw::SetRegistryKey(REGISTRY_KEY);
    fw::SetProfileName(fw::LoadStringResource(IDS_PROFILE_NAME));
    LoadSettings();
    SetHelpFilePath(DefaultHelpFilePath());
}

bool CCounterApp::CreateMainFrame() {
    // The frame deletes itself once its window is gone, also when its creation fails.
    CMainFrame* pFrame = new CMainFrame(*this, m_singleInstance, FrameParts());
    if (!pFrame->LoadFrame(IDR_MAINFRAME, FRAME_STYLE, nullptr, nullptr))
        return false; // the frame has told the user why
    m_pMainWnd = pFrame;
    SetMainWindow(pFrame->m_hWnd);
    return true;
}

int CCounterApp::ExitInstance() {
    if (m_singleInstance.IsRunningInstance())
        SaveSettings();
    // A quit posted by another instance ends the loop with the frame still there.
    if (m_pMainWnd && m_pMainWnd->m_hWnd)
        m_pMainWnd->DestroyWindow();
    SetMainWindow(nullptr);
    m_singleInstance.UnregisterWindowClass(m_hInstance);
    return CWinApp::ExitInstance();
}

BOOL CCounterApp::OnCmdMsg(UINT nID) {
    if (nID != ID_APP_ABOUT)
        return CWinApp::OnCmdMsg(nID);
    OnAppAbout();
    return TRUE;
}

void CCounterApp::OnAppAbout() {
    CAboutDlg dialog;
    dialog.DoModal(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr);
}
