#pragma once
// The application object: decides at start whether this process becomes the running instance
// or only passes a request (open the settings, or "/quit") to the instance that runs already;
// loads the settings and saves them at the end; creates the hidden main frame; shows the About
// dialog.
#include "framework/CWinApp.h"
#include "shell/CAppSettings.h"
#include "shell/CSingleInstance.h"
#include "shell/CMainFrame.h"

#include <string>

class CCounterApp : public CWinApp, public CAppSettings {
public:
    CCounterApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL OnCmdMsg(UINT nID) override;

    void OnAppAbout();

    // Whether the command line asks the running instance to quit: "/quit" anywhere in it, in
    // any letter case.
    static bool IsQuitRequest(const std::string& commandLine);

    // Whether the log's files fit into the program's folder within the system's path limit;
    // if not, tells the user. The system would cut a longer path to a parent folder.
    static bool ProgramFolderUsable();

protected:
    // What the frame's creation builds; tests replace it.
    virtual CMainFrame::PARTS FrameParts() const { return CMainFrame::SystemParts(); }

private:
    void PrepareSettings();
    bool CreateMainFrame();

    CSingleInstance m_singleInstance;
};
