#pragma once
// One running Tarvolo per user session, however close together its starts come.
//
// The running instance is the process that claimed the instance's name at the very start,
// before anything is read or written: a mutex in the session's namespace, held until the
// process ends, so that two starts at the same moment cannot both take it. Its frame window
// carries the single-instance class, by which every other start finds it and hands it the
// request of its command line: open the options sheet, or quit. A start that finds the name
// claimed but no frame yet (the other program is still starting) waits a while for the frame;
// it never becomes a second program.
#include "framework/ScopedHandles.h"

#include <windows.h>

#include <string>

class CSingleInstance {
public:
    // The class of the running instance's frame window.
    static const char WINDOW_CLASS[];
    // The name claimed by the running instance.
    static const char CLAIM_NAME[];
    // How long a start waits for the frame of a program that has claimed the name.
    static constexpr DWORD FRAME_PATIENCE_MS = 15000;
    // How long a start waits for the options sheet it asked for to show.
    static constexpr DWORD SHEET_PATIENCE_MS = 5000;
    // Gives the quitting instance time to save before the process that asked ends.
    static constexpr DWORD QUIT_PAUSE_MS = 1000;

    // Claims the instance for this process, or hands the request to the program that holds it.
    // Returns whether this process is the running instance now; a quit request never makes
    // one, and a quit with no program running does nothing.
    bool ClaimOrPass(bool bQuit, const std::string& sheetCaption);

    // Registers the frame's window class; false when it cannot be registered, and then the
    // frame is created with the framework's class.
    bool RegisterWindowClass(HINSTANCE hInstance, HICON hIcon);
    void UnregisterWindowClass(HINSTANCE hInstance);

    // This process holds the claim and its frame carries the single-instance class: it saves the
    // settings at the end, and other starts find it.
    bool IsRunningInstance() const { return m_hClaim && m_bClassRegistered; }
    // The class the frame is created with: the single-instance class, or none for the
    // framework's own.
    const char* FrameClassName() const { return IsRunningInstance() ? WINDOW_CLASS : nullptr; }

private:
    bool TryClaim();
    static bool IsClaimed();
    static void PassRequest(HWND hRunning, bool bQuit, const std::string& sheetCaption);

    fw::ScopedHandle m_hClaim;
    bool m_bClassRegistered = false;
};
