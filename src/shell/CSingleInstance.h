#pragma once
// One running Tarvolo per user session, however close together its starts come.
//
// The running instance is the process that claimed the instance's name at the very start,
// before anything is read or written: a mutex in the session's namespace, held until the
// process ends, so that two starts at the same moment cannot both take it. Its frame window
// carries the single-instance class, by which every other start finds it and hands it the
// request of its command line: open the options sheet, or quit. A start that finds the name
// claimed but no frame (the other program is still starting, or is ending) waits a while for the
// frame or for the name to come free; it never becomes a second program. A frame that does not
// answer is a hung program: the start gives up.
#include "framework/ScopedHandles.h"

#include <windows.h>

#include <string>

class CSingleInstance {
public:
    // The class of the running instance's frame window.
    static const char WINDOW_CLASS[];
    // The name claimed by the running instance.
    static const char CLAIM_NAME[];
    // Gives the quitting instance time to save before the process that asked ends.
    static constexpr DWORD QUIT_PAUSE_MS = 1000;

    // How long a start waits; tests shorten it.
    struct PATIENCE {
        // for the frame of a program that has claimed the name, or for the name of one that ends
        DWORD nFrameMs = 15000;
        // for the frame's answer to the request of the sheet; a frame still there then is hung
        DWORD nAnswerMs = 10000;
        // for the options sheet asked for to show
        DWORD nSheetMs = 5000;
    };

    CSingleInstance() = default;
    explicit CSingleInstance(const PATIENCE& patience) : m_patience(patience) {}

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
    bool PassRequest(HWND hRunning, bool bQuit, const std::string& sheetCaption) const;

    PATIENCE m_patience;
    fw::ScopedHandle m_hClaim;
    bool m_bClassRegistered = false;
};
